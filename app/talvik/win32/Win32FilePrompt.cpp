#include "win32/Win32FilePrompt.h"

#include <commdlg.h>

#include <vector>

namespace talvik::win32 {

std::string DialogFilter(std::string_view barFilter) {
    std::string filter(barFilter);
    if (!filter.empty() && filter.back() != '|') filter.push_back('|');
    for (char& c : filter) {
        if (c == '|') c = '\0';
    }
    filter.push_back('\0');
    return filter;
}

FileDialogSetup MakeFileDialogSetup(const FilePromptRequest& request) {
    return FileDialogSetup{request.title, request.startFolder, request.initialName,
                           DialogFilter(request.filter)};
}

Win32FilePrompt::Win32FilePrompt(FilePresenter presenter) : presenter_(std::move(presenter)) {}

std::string Win32FilePrompt::PickFile(const FilePromptRequest& request) {
    const FileDialogSetup setup = MakeFileDialogSetup(request);
    if (presenter_) return presenter_(setup);

    std::vector<char> file(32768, '\0');
    setup.initialName.copy(file.data(), file.size() - 1);
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = parent_ && IsWindow(parent_) && IsWindowVisible(parent_) ? parent_ : nullptr;
    dialog.lpstrFilter = setup.filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = setup.folder.empty() ? nullptr : setup.folder.c_str();
    dialog.lpstrTitle = setup.title.c_str();
    // No existence test: a new project is named here, and a missing file is reported by the
    // run that reads it.
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameA(&dialog)) return {};
    return std::string(file.data());
}

}  // namespace talvik::win32
