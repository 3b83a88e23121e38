#include "gui/QtFilePrompt.h"

#include <QDir>
#include <QFileDialog>
#include <vector>

#include "gui/ScreenText.h"

namespace talvik::gui {

namespace {

std::vector<std::string_view> SplitBars(std::string_view text) {
    std::vector<std::string_view> parts;
    while (!text.empty()) {
        const std::size_t bar = text.find('|');
        parts.push_back(text.substr(0, bar));
        if (bar == std::string_view::npos) break;
        text.remove_prefix(bar + 1);
    }
    return parts;
}

}  // namespace

QStringList NameFilters(std::string_view barFilter) {
    const std::vector<std::string_view> parts = SplitBars(barFilter);
    QStringList filters;
    for (std::size_t i = 0; i < parts.size(); i += 2) {
        const QString description = BoxText(parts[i]).trimmed();
        const QString pattern = i + 1 < parts.size() ? BoxText(parts[i + 1]).trimmed() : QString();
        if (description.isEmpty() && pattern.isEmpty()) continue;
        if (pattern.isEmpty()) {
            filters << description;
            continue;
        }
        // The dialog shows the description alone (its details are hidden) and matches the
        // pattern; "*.*" means every file, also those without a dot in their names.
        const QString match = pattern == QStringLiteral("*.*") ? QStringLiteral("*") : pattern;
        const QString suffix = QStringLiteral("(") + match + QStringLiteral(")");
        filters << (description.isEmpty() ? suffix : description + QLatin1Char(' ') + suffix);
    }
    return filters;
}

FileDialogSetup MakeFileDialogSetup(const FilePromptRequest& request) {
    if (request.program) {
        // Programs here have no ".exe" and do not live in "C:\Program Files": the search starts
        // where programs of other makers are installed and offers the names that begin with
        // the package's (the dialog matches names in any case).
        FilePromptRequest here = request;
        here.program = false;
        here.startFolder = QDir(QStringLiteral("/opt")).exists() ? std::string("/opt")
                                                                 : ModelPath(QDir::homePath());
        here.initialName.clear();
        here.filter = "KORVU|korvu*|All Files (*.*)|*.*";
        return MakeFileDialogSetup(here);
    }
    FileDialogSetup setup;
    setup.title = BoxText(request.title);
    setup.folder = PathText(request.startFolder);
    // The host ends its folders with a backslash, which is no separator here.
    if (setup.folder.size() > 1 && setup.folder.endsWith(QLatin1Char('\\')) &&
        QDir::separator() != QLatin1Char('\\'))
        setup.folder.chop(1);
    setup.initialName = BoxText(request.initialName);
    setup.nameFilters = NameFilters(request.filter);
    return setup;
}

void ConfigureFileDialog(QFileDialog& dialog, const FileDialogSetup& setup) {
    dialog.setObjectName(QStringLiteral("CommonDialog1"));
    dialog.setWindowTitle(setup.title);
    // Qt's own dialog, in Dutch on every desktop; it takes a typed name of a file that does not
    // exist yet (a new project), and the run reports a missing input file itself.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!setup.folder.isEmpty() && QDir(setup.folder).exists()) dialog.setDirectory(setup.folder);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(setup.nameFilters);
    if (!setup.nameFilters.isEmpty()) dialog.selectNameFilter(setup.nameFilters.front());
    if (!setup.initialName.isEmpty()) dialog.selectFile(setup.initialName);
}

QString ShowFileDialog(const FileDialogSetup& setup, QWidget* parent) {
    QFileDialog dialog(parent);
    ConfigureFileDialog(dialog, setup);
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : QDir::toNativeSeparators(files.front());
}

QtFilePrompt::QtFilePrompt(FilePresenter presenter) : presenter_(std::move(presenter)) {}

std::optional<std::string> QtFilePrompt::FolderWithoutHost() {
    return ModelPath(QDir::homePath());
}

std::string QtFilePrompt::PickFile(const FilePromptRequest& request) {
    const FileDialogSetup setup = MakeFileDialogSetup(request);
    // Before the dialog shows (the IDEX file asked for at the start) the prompt centres on the
    // screen.
    QWidget* parent = parent_ && parent_->isVisible() ? parent_ : nullptr;
    const QString picked = presenter_ ? presenter_(setup) : ShowFileDialog(setup, parent);
    return ModelPath(picked);
}

}  // namespace talvik::gui
