#pragma once
// Where byte texts meet the screen: the core speaks Windows-1252, Qt speaks Unicode.

#include <QString>
#include <string>
#include <string_view>

namespace talvik::gui {

// A Windows-1252 text as shown on screen. Line breaks written as CR LF or as a lone CR become
// line feeds, so a box shows them as separate lines.
QString ScreenText(std::string_view bytes);

// A single-line Windows-1252 text (file name, code, value) shown in a box, unchanged.
QString BoxText(std::string_view bytes);

// What the user typed, as the Windows-1252 text the core works with.
std::string ModelText(const QString& text);

// A path as the file system names it (the bytes of a command-line argument, a picked file),
// shown in a box, and a path typed in a box as the bytes the file system expects.
QString PathText(std::string_view bytes);
std::string ModelPath(const QString& text);

}  // namespace talvik::gui
