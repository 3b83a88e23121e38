#include "GuiHarness.h"

#include <QAbstractButton>
#include <QEventLoop>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "gui/ExportWindow.h"
#include "gui/ImportWindow.h"
#include "gui/Widgets.h"

namespace talvik::gui::test {

template <typename T>
T Next(std::deque<T>& script, T otherwise) {
    if (script.empty()) return otherwise;
    T next = script.front();
    script.pop_front();
    return next;
}

Harness::Harness() : oldConfigHome_(qgetenv("XDG_CONFIG_HOME")) {
    qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
    registry_ = std::make_unique<RegistryFile>(RegistryFile::DefaultPath());
    settings_ = std::make_unique<RegistrySettings>(*registry_);
    ui_.SetPresenter([this](const MessageBoxSetup& setup) {
        messages.push_back(setup);
        return Next(answers, Answer::Ok);
    });
    prompt_.SetPresenter([this](const FileDialogSetup& setup) {
        prompts.push_back(setup);
        return Next(picks, QString());
    });
}

Harness::~Harness() {
    app_.reset();
    qputenv("XDG_CONFIG_HOME", oldConfigHome_);
}

void Harness::CopyExample(const QString& name) const {
    QFile::copy(QStringLiteral(TALVIK_EXAMPLES_DIR "/") + name, Folder() + '/' + name);
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
    // The dialog opens from a zero-delay timer: the loop ends as soon as it has run.
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
    if (!finished) loop.exec();
}

QWidget* Harness::Window() const {
    if (app_->Export()) return app_->Export();
    return app_->Import();
}

void Harness::Type(const char* box, const QString& text) {
    QLineEdit* edit = Find(box);
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    else
        QTest::keyClicks(edit, text);
}

void Harness::Click(const char* button) {
    QTest::mouseClick(Find<QAbstractButton>(button), Qt::LeftButton);
}

void Harness::Arrow(bool up) {
    auto* arrows = Find<UpDownArrows>("UpDown1");
    QTest::mouseClick(up ? arrows->UpButton() : arrows->DownButton(), Qt::LeftButton);
}

}  // namespace talvik::gui::test
