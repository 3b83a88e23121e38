#pragma once
// A desktop program on a private settings file, with message boxes and file prompts answered
// by the test, a launcher that only records, and the user's actions on the open dialog.

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <functional>

#include "gui/Application.h"
#include "gui/ExportWindow.h"
#include "gui/ImportWindow.h"
#include "gui/QtFilePrompt.h"
#include "gui/QtUserInterface.h"
#include "gui/Widgets.h"
#include "platform/RegistryFile.h"
#include "platform/RegistrySettings.h"

namespace talvik::gui::test {

struct RecordingLauncher : ProcessLauncher {
    bool Start(std::string_view commandLine) override {
        commandLines.emplace_back(commandLine);
        return true;
    }
    std::vector<std::string> commandLines;
};

class Harness {
    QTemporaryDir config_, files_;
    // The settings file lives under XDG_CONFIG_HOME, so every harness starts with none.
    bool configHome_ = qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
    QtUserInterface ui_{[this](const MessageBoxSetup& setup) {
        messages.push_back(setup);
        if (duringMessage) duringMessage();
        return Answer::Ok;
    }};
    QtFilePrompt prompt_{[this](const FileDialogSetup& setup) {
        prompts.push_back(setup);
        return pick;
    }};

  public:
    RegistryFile registry{RegistryFile::DefaultPath()};
    RegistrySettings settings{registry};
    RecordingLauncher launcher;
    std::vector<MessageBoxSetup> messages;
    std::vector<FileDialogSetup> prompts;
    QString pick;                         // every file prompt's answer; empty cancels
    std::function<void()> duringMessage;  // the user's action while a message is shown
    bool finished = false;
    int exitCode = -1;
    std::unique_ptr<Application> app;

    // A folder for the job's files, examples/<name> copied into it, a host using it as data.
    QString Folder() const { return files_.path(); }
    std::string FolderBytes() const { return Folder().toStdString(); }
    void CopyExample(const QString& name) const {
        QFile::copy(QStringLiteral(TALVIK_EXAMPLES_DIR "/") + name, Folder() + '/' + name);
    }
    void InstallHost(const std::string& release = "5.0") {
        const std::string zev = "SOFTWARE\\ORNWALD\\KAVRIN\\" + release + "\\ZEV";
        RegKey key = 0;
        registry.CreateKey(kHkeyCurrentUser, zev, key);
        registry.CloseKey(key);
        registry.SetStringValue(kHkeyCurrentUser, zev, "DataPath", FolderBytes());
    }
    std::string Stored(const char* key) { return settings.Get(key, "<none>"); }

    // Runs the start-up with no opening delay; when a dialog opens and `wait` is set, runs the
    // event loop until it is shown or the job ended.
    bool Start(const std::string& commandLine, bool wait = true) {
        app.reset();
        finished = false;
        app = std::make_unique<Application>(
            AppServices{ui_, prompt_, settings, registry, launcher, "/opt/talvik/talvik", 0});
        QObject::connect(app.get(), &Application::finished, [this](int code) {
            finished = true;
            exitCode = code;
        });
        const bool opening = app->Start(commandLine);
        if (opening && wait) WaitForDialog();
        return opening;
    }
    bool WaitForDialog() {
        return QTest::qWaitFor([this] { return finished || Window()->isVisible(); }, 10000);
    }

    // The user at the open dialog.
    QWidget* Window() const {
        return app->Export() ? static_cast<QWidget*>(app->Export()) : app->Import();
    }
    template <typename T = QLineEdit>
    T* Find(const char* name) const {
        return Window()->findChild<T*>(QString::fromLatin1(name));
    }
    QString Text(const char* box) const { return Find(box)->text(); }
    void Type(const char* box, const QString& text) {  // replaces the box's text
        Find(box)->selectAll();
        QTest::keyClick(Find(box), Qt::Key_Delete);
        QTest::keyClicks(Find(box), text);
    }
    void Click(const char* button) {
        QTest::mouseClick(Find<QAbstractButton>(button), Qt::LeftButton);
    }
    void Arrow(bool up) {
        auto* arrows = Find<UpDownArrows>("UpDown1");
        QTest::mouseClick(up ? arrows->UpButton() : arrows->DownButton(), Qt::LeftButton);
    }
};

}  // namespace talvik::gui::test
