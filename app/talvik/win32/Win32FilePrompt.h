#pragma once
// The desktop's FilePrompt on Windows: the system's open-file dialog. The dialog can be
// replaced by a presenter, so tests pick files without a modal window.

#include "win32/Win32.h"

#include <functional>
#include <string>

#include "platform/FilePrompt.h"

namespace talvik::win32 {

// Everything the open-file dialog is given.
struct FileDialogSetup {
    std::string title;
    std::string folder;
    std::string initialName;
    // The filter list as the dialog takes it: description, NUL, pattern, NUL, ..., NUL.
    std::string filter;
};

// Turns "description|pattern|description|pattern" into the dialog's NUL-separated list.
std::string DialogFilter(std::string_view barFilter);

FileDialogSetup MakeFileDialogSetup(const FilePromptRequest& request);

using FilePresenter = std::function<std::string(const FileDialogSetup&)>;

class Win32FilePrompt : public FilePrompt {
  public:
    explicit Win32FilePrompt(FilePresenter presenter = {});
    void SetPresenter(FilePresenter presenter) { presenter_ = std::move(presenter); }
    void SetParentWindow(HWND parent) { parent_ = parent; }

    std::string PickFile(const FilePromptRequest& request) override;

  private:
    FilePresenter presenter_;
    HWND parent_ = nullptr;
};

}  // namespace talvik::win32
