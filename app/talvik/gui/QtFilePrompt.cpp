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
        const QString suffix = QStringLiteral("(") + pattern + QStringLiteral(")");
        if (description.endsWith(suffix, Qt::CaseInsensitive)) {
            filters << description;
        } else {
            filters << (description.isEmpty() ? suffix : description + QLatin1Char(' ') + suffix);
        }
    }
    return filters;
}

FileDialogSpec MakeFileDialogSpec(const FilePromptRequest& request) {
    FileDialogSpec spec;
    spec.title = BoxText(request.title);
    spec.folder = PathText(request.startFolder);
    // The host ends its folders with a backslash, which is no separator here.
    if (spec.folder.size() > 1 && spec.folder.endsWith(QLatin1Char('\\')) &&
        QDir::separator() != QLatin1Char('\\'))
        spec.folder.chop(1);
    spec.initialName = BoxText(request.initialName);
    spec.nameFilters = NameFilters(request.filter);
    return spec;
}

void ConfigureFileDialog(QFileDialog& dialog, const FileDialogSpec& spec) {
    dialog.setObjectName(QStringLiteral("CommonDialog1"));
    dialog.setWindowTitle(spec.title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (!spec.folder.isEmpty() && QDir(spec.folder).exists()) dialog.setDirectory(spec.folder);
    dialog.setNameFilters(spec.nameFilters);
    if (!spec.nameFilters.isEmpty()) dialog.selectNameFilter(spec.nameFilters.front());
    if (!spec.initialName.isEmpty()) dialog.selectFile(spec.initialName);
}

QString ShowFileDialog(const FileDialogSpec& spec, QWidget* parent) {
    QFileDialog dialog(parent);
    ConfigureFileDialog(dialog, spec);
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : QDir::toNativeSeparators(files.front());
}

QtFilePrompt::QtFilePrompt(FilePresenter presenter) : presenter_(std::move(presenter)) {}

std::string QtFilePrompt::PickFile(const FilePromptRequest& request) {
    const FileDialogSpec spec = MakeFileDialogSpec(request);
    const QString picked = presenter_ ? presenter_(spec) : ShowFileDialog(spec, parent_);
    return ModelPath(picked);
}

}  // namespace talvik::gui
