// Writes the users' page of the windows' texts from the texts table:
//   talvik_windows_page FILE           writes the page to FILE
//   talvik_windows_page --check FILE   fails unless FILE holds the page as it would be written
// The page is UTF-8 Markdown with LF line ends, like the other pages under docs/.

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

#include "text/Text.h"
#include "texts/WindowTexts.h"

namespace {

using namespace talvik;

// A caption as code, so that its spaces and access-key mark stay as the window has them.
std::string Code(std::string_view text) {
    return text.empty() ? std::string() : '`' + Utf8From1252(text) + '`';
}

// A tooltip as plain text, with the characters that mean something to Markdown escaped.
std::string Plain(std::string_view text) {
    std::string out;
    for (char c : Utf8From1252(text)) {
        if (std::string_view("\\|*_<>[]`").find(c) != std::string_view::npos) out += '\\';
        out += c;
    }
    return out;
}

std::string Page() {
    std::ostringstream page;
    page << "# The windows' texts\n"
            "\n"
            "<!-- Written by talvik_windows_page from app/talvik/texts/WindowTexts.h: change the "
            "texts there,\n"
            "     then run `cmake --build build --target windows_page`. -->\n"
            "\n"
            "Every caption and tooltip of the desktop program's windows, the same on Linux and "
            "on Windows.\n"
            "Each window lists its controls in the order the Tab key visits them, with the "
            "labels and frames\n"
            "where they stand. In a caption, `&` comes before the access key: that letter is "
            "underlined, and\n"
            "Alt with it presses the control. The start of a control's name tells its kind: "
            "`txt` text box,\n"
            "`cmd` push button, `chk` check box, `opt` option button, `fra` or `Frame` frame, "
            "`lbl` or `Label`\n"
            "label, `UpDown` the arrows beside a set number.\n";
    for (const texts::WindowText* window : texts::kWindows) {
        page << "\n## " << window->heading << " (`" << window->name << "`)\n\n"
             << "Title: " << Plain(window->title) << ". " << window->about << "\n\n"
             << "| Control | Caption | Tooltip |\n"
             << "|---|---|---|\n";
        for (const texts::ControlText& control : window->controls) {
            page << "| `" << control.name << "` | " << Code(control.caption) << " | "
                 << Plain(control.tip) << " |\n";
        }
    }
    page << "\n## Keys, prompts and installing\n"
            "\n"
            "The two fronts behave alike. Neither the export nor the import window has a default "
            "button:\n"
            "Enter in a text box starts nothing, a job starts only from a start button (a click, "
            "Space on\n"
            "it, or its access key). Each window opens with the focus in its first text box, and "
            "after a\n"
            "message about a box the focus is back in that box. The arrow keys move only between "
            "the\n"
            "options of one group.\n"
            "\n"
            "The prompts of the `Bladeren` buttons and the one for the IDEX file do not test "
            "whether the\n"
            "picked file exists: a new project is named there, and a missing file is reported "
            "by the run\n"
            "that reads it.\n"
            "\n"
            "No window can be maximised or made larger than its natural size, and the About box "
            "has a\n"
            "fixed size. On a screen too small for a window at its scale, the window fits the "
            "screen's work\n"
            "area: on Windows it is laid out smaller, on Linux its body scrolls.\n"
            "\n"
            "On Windows the installer is per user: it asks for no administrator rights, puts the "
            "programs in\n"
            "`%LOCALAPPDATA%\\Programs\\Talvik` and the entries `Talvik` and `Talvik verwijderen` "
            "in the user's\n"
            "Start menu, and registers Talvik in that user's host menus once. Run again (a newer "
            "version or\n"
            "the same one, interactive or `/S`), it installs over the installed programs in their "
            "folder:\n"
            "nothing is removed first, and cancelling its wizard on any page leaves the installed "
            "version\n"
            "working and in the host's menus. The installer keeps its own values in its Uninstall "
            "key only\n"
            "(`HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Talvik`)"
            "; the two\n"
            "that an older installer kept among the user's choices (the unnamed value, the install "
            "folder,\n"
            "and `Start Menu Folder`) it takes out. The uninstaller (interactive or `/S`) first "
            "runs\n"
            "`talvik-cli unregister`, which takes Talvik's entries out of those menus and leaves "
            "other\n"
            "converters' entries.\n"
            "\n"
            "Installing, installing again and uninstalling leave the user's choices as they were: "
            "the\n"
            "selection sets, the standard deviations, face 2, the KORVU version and program and "
            "the import\n"
            "sets in `HKEY_CURRENT_USER\\Software\\Kelvaris\\Talvik` stay for the next "
            "installation. To\n"
            "remove them by hand, after uninstalling, type `reg delete "
            "HKCU\\Software\\Kelvaris\\Talvik /f`\n"
            "in a command prompt, or delete that key in the Registry Editor (`regedit`).\n";
    return page.str();
}

}  // namespace

int main(int argc, char** argv) {
    const std::string_view usage = "usage: talvik_windows_page [--check] FILE\n";
    const bool check = argc == 3 && std::string_view(argv[1]) == "--check";
    if (argc != 2 && !check) {
        std::cerr << usage;
        return 2;
    }
    const char* path = argv[argc - 1];
    const std::string page = Page();
    if (check) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream committed;
        committed << in.rdbuf();
        if (committed.str() == page) return 0;
        std::cerr << path
                  << " does not match the texts table; run `cmake --build build --target "
                     "windows_page` and commit the page.\n";
        return 1;
    }
    std::ofstream out(path, std::ios::binary);
    out << page;
    out.close();
    if (out) return 0;
    std::cerr << "talvik_windows_page: cannot write " << path << '\n';
    return 1;
}
