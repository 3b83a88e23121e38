#pragma once
// The command line of one start: the host passes a mode number and two quoted paths, an
// installer passes the registration switch, a user may pass nothing.
//
// Encoding: on Linux the arguments arrive as the bytes of file-system names (usually UTF-8).
// They are kept as those bytes, not converted to Windows-1252: the two paths are only ever
// opened as files, and the switch and the mode number are plain ASCII, which reads the same
// in both encodings. A front that shows a path converts it where it meets the screen.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/UserInterface.h"

namespace talvik {

struct StartupArgs {
    std::int16_t Mode = 0;    // 1 import, anything else export
    std::string PackageFile;  // project file to create, or coordinate file to import
    std::string IdexFile;     // IDEX file read on export, written on import
};

enum class StartupOutcome {
    Register,      // "/KAVRIN" on the line: register with the host, then end
    ExportDialog,  // open the export dialog
    ImportDialog,  // open the import dialog
    OldHost,       // no quoted path: show kOldHostMessage, then end
};

struct StartupDecision {
    StartupOutcome outcome = StartupOutcome::ExportDialog;
    StartupArgs args;
};

inline constexpr std::string_view kRegisterSwitch = "/KAVRIN";
// Shown when a host release too old to pass the file names starts the program.
inline constexpr std::string_view kOldHostMessage =
    "Kavrin 5.0 dient te worden opgewaardeerd naar Build 110 of hoger.\r"
    "Neem contact op met:\r"
    "     Draxmoor B.V.\r"
    "of   Pellvane B.V.\r"
    "     Afd. Support.";

// Decides the job of this start from the command-line text. Rules of the parse:
// - the switch, in any case, as a word of its own (between blanks, outside double quotes)
//   anywhere on the line: nothing else is read; inside a word or a quoted path it is a path;
// - an empty line opens the export dialog with empty paths;
// - the mode is the number at the front (leading blanks skipped, blanks inside the number
//   ignored), rounded half to even; no number gives 0, a number beyond 16 bits opens the
//   export dialog (Mode 0);
// - the first path lies between the first two double quotes; an opening quote without a
//   closing one makes the rest of the line the first path, with no second path;
// - the rest after the first path, trimmed, is the second path; when it begins with a double
//   quote its first and last characters are dropped.
StartupDecision ParseCommandLine(std::string_view line);

// The single command-line text from arguments already split by the system: none gives an empty
// line, a single one is taken unchanged (it may hold the whole line), otherwise the first one
// unchanged and every further one in double quotes, joined by single blanks.
std::string RebuildCommandLine(int argc, const char* const* argv);

// The message for a host release that is too old.
void ShowOldHostMessage(UserInterface& ui);

// What the desktop program prints on standard output, before any window, for `--help` (or
// `-h`) and `--version` as the whole command line; nothing for every other line. The host
// never passes these.
std::optional<std::string> DesktopInfoText(std::string_view line);

}  // namespace talvik
