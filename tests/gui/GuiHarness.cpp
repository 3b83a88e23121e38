#include "GuiHarness.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include "gui/ExportWindow.h"
#include "gui/ImportWindow.h"

namespace talvik::gui::test {

Harness::Harness() : oldConfigHome_(qgetenv("XDG_CONFIG_HOME")) {
    qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
    registry_ = std::make_unique<RegistryFile>(RegistryFile::DefaultPath());
    settings_ = std::make_unique<RegistrySettings>(*registry_);
    ui_.SetPresenter([this](const MessageBoxSpec& spec) {
        messages.push_back(spec);
        if (answers.empty()) return Answer::Ok;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    });
    prompt_.SetPresenter([this](const FileDialogSpec& spec) {
        prompts.push_back(spec);
        if (picks.empty()) return QString();
        const QString pick = picks.front();
        picks.pop_front();
        return pick;
    });
}

Harness::~Harness() {
    app_.reset();
    qputenv("XDG_CONFIG_HOME", oldConfigHome_);
}

std::string Harness::CopyExample(const QString& name) const {
    const QString source = QStringLiteral(TALVIK_EXAMPLES_DIR "/") + name;
    const QString target = files_.path() + QLatin1Char('/') + name;
    QFile::remove(target);
    QFile::copy(source, target);
    return target.toStdString();
}

void Harness::InstallHost(const std::string& release) {
    const std::string zev = "SOFTWARE\\ORNWALD\\KAVRIN\\" + release + "\\ZEV";
    RegKey key = 0;
    registry_->CreateKey(kHkeyCurrentUser, zev, key);
    registry_->CloseKey(key);
    registry_->SetStringValue(kHkeyCurrentUser, zev, "DataPath", FolderBytes());
}

bool Harness::Start(const std::string& commandLine, bool wait) {
    app_.reset();
    finished = false;
    exitCode = -1;
    AppServices services{ui_, prompt_, *settings_, *registry_, launcher, "/opt/talvik/talvik", 0};
    app_ = std::make_unique<Application>(services);
    QObject::connect(app_.get(), &Application::finished, [this](int code) {
        finished = true;
        exitCode = code;
    });
    if (!app_->Start(commandLine)) return false;
    if (wait) WaitForDialog();
    return true;
}

void Harness::WaitForDialog() {
    if (finished) return;
    // The dialog opens from a zero-delay timer: one pass of the event loop runs it.
    QEventLoop loop;
    if (app_->Export()) {
        QObject::connect(app_->Export(), &ExportWindow::opened, &loop, &QEventLoop::quit);
        QObject::connect(app_->Export(), &ExportWindow::finished, &loop, &QEventLoop::quit);
    }
    if (app_->Import()) {
        QObject::connect(app_->Import(), &ImportWindow::opened, &loop, &QEventLoop::quit);
        QObject::connect(app_->Import(), &ImportWindow::finished, &loop, &QEventLoop::quit);
    }
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);  // a broken dialog fails, not hangs
    loop.exec();
}

void Harness::Stop() {
    app_.reset();
}

}  // namespace talvik::gui::test
