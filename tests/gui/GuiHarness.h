#pragma once
// A desktop program on a private settings file, with message boxes and file prompts answered
// from scripts, a launcher that only records, and the user's actions on the open dialog.

#include <QLineEdit>
#include <QString>
#include <QTemporaryDir>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "gui/Application.h"
#include "gui/QtFilePrompt.h"
#include "gui/QtUserInterface.h"
#include "platform/ProcessLauncher.h"
#include "platform/RegistryFile.h"
#include "platform/RegistrySettings.h"

namespace talvik::gui::test {

class RecordingLauncher : public ProcessLauncher {
  public:
    bool Start(std::string_view commandLine) override {
        commandLines.emplace_back(commandLine);
        return true;
    }
    std::vector<std::string> commandLines;
};

class Harness {
  public:
    // Points XDG_CONFIG_HOME at a fresh folder, so the settings file starts empty.
    Harness();
    ~Harness();

    // A folder for the job's files, and examples/<name> copied into it.
    QString Folder() const { return files_.path(); }
    std::string FolderBytes() const { return files_.path().toStdString(); }
    void CopyExample(const QString& name) const;
    // Installs a host release whose data folder is Folder().
    void InstallHost(const std::string& release = "5.0");

    // Creates the program and runs its start-up with no opening delay; Start()'s answer. When
    // a dialog opens and `wait` is set, runs the event loop until it is shown or the job ended.
    bool Start(const std::string& commandLine, bool wait = true);
    void WaitForDialog();

    Application& App() { return *app_; }
    SettingsStore& Settings() { return *settings_; }
    Registry& Reg() { return *registry_; }
    // The stored value, or "<none>".
    std::string Stored(const char* key) { return settings_->Get(key, "<none>"); }

    // The user at the open dialog.
    QWidget* Window() const;
    template <typename T = QLineEdit>
    T* Find(const char* name) const {
        return Window()->findChild<T*>(QString::fromLatin1(name));
    }
    QString Text(const char* box) const { return Find(box)->text(); }
    void Type(const char* box, const QString& text);  // replaces the box's text
    void Click(const char* button);
    void Arrow(bool up);

    std::vector<MessageBoxSetup> messages;
    std::deque<Answer> answers;  // Ok when empty
    std::vector<FileDialogSetup> prompts;
    std::deque<QString> picks;  // cancel when empty
    RecordingLauncher launcher;
    bool finished = false;
    int exitCode = -1;

  private:
    QTemporaryDir config_;
    QTemporaryDir files_;
    QByteArray oldConfigHome_;
    std::unique_ptr<RegistryFile> registry_;
    std::unique_ptr<RegistrySettings> settings_;
    QtUserInterface ui_;
    QtFilePrompt prompt_;
    std::unique_ptr<Application> app_;
};

}  // namespace talvik::gui::test
