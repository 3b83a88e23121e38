#pragma once
// The desktop's FilePrompt: an open-file dialog. The dialog can be replaced by a presenter, so
// tests pick files without a modal window.

#include <QString>
#include <QStringList>
#include <functional>
#include <string_view>

#include "platform/FilePrompt.h"

class QFileDialog;
class QWidget;

namespace talvik::gui {

// Everything the open-file dialog shows, already converted for the screen.
struct FileDialogSetup {
    QString title;
    QString folder;
    QString initialName;
    QStringList nameFilters;  // the first one is selected
};

// Turns "description|pattern|description|pattern|" into the dialog's entries, each
// "description (pattern)"; a description that already ends with its pattern in parentheses is
// kept as it is, so "All Files (*.*)" stays "All Files (*.*)".
QStringList NameFilters(std::string_view barFilter);

// The search for the package's program gets this platform's folder and names.
FileDialogSetup MakeFileDialogSetup(const FilePromptRequest& request);

// Sets up an open-file dialog from the setup: Qt's own dialog, any name (also of a file that
// does not exist), first filter selected.
void ConfigureFileDialog(QFileDialog& dialog, const FileDialogSetup& setup);

// Shows the dialog modally; the picked path, or empty text when cancelled.
QString ShowFileDialog(const FileDialogSetup& setup, QWidget* parent);

using FilePresenter = std::function<QString(const FileDialogSetup&)>;

class QtFilePrompt : public FilePrompt {
  public:
    explicit QtFilePrompt(FilePresenter presenter = {});
    void SetPresenter(FilePresenter presenter) { presenter_ = std::move(presenter); }
    void SetParentWindow(QWidget* parent) { parent_ = parent; }

    std::string PickFile(const FilePromptRequest& request) override;
    // No host release registered (nothing in the user's registry file): the user's home folder,
    // so a program started from the desktop's menu still works.
    std::optional<std::string> FolderWithoutHost() override;

  private:
    FilePresenter presenter_;
    QWidget* parent_ = nullptr;
};

}  // namespace talvik::gui
