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

FileDialogSetup MakeFileDialogSetup(const FilePromptRequest& request);

// Sets up an open-file dialog from the setup: existing files only, first filter selected.
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

  private:
    FilePresenter presenter_;
    QWidget* parent_ = nullptr;
};

}  // namespace talvik::gui
