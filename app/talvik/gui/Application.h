#pragma once
// One start of the desktop program: the start-up window, the decision taken from the command
// line, and the one job it leads to (registration, export dialog, import dialog, or the
// message for a too-old host).

#include <QApplication>
#include <QObject>
#include <QPointer>
#include <memory>
#include <string>
#include <string_view>

#include "host/JobContext.h"
#include "host/Releases.h"
#include "platform/FilePrompt.h"
#include "platform/ProcessLauncher.h"
#include "platform/Registry.h"
#include "platform/Settings.h"

namespace talvik::gui {

// Starts Qt on the program's arguments. Qt takes the options it knows (-style, -platform, ...)
// out of argc/argv; the job's command line is then rebuilt from what is left (on Windows, where
// the system keeps the line, it is taken as passed).
std::unique_ptr<QApplication> StartQt(int& argc, char** argv, std::string& commandLine);

class ExportWindow;
class ImportWindow;
class QtUserInterface;
class SplashWindow;

// What the program talks to; main wires the real ones, tests their own.
struct AppServices {
    QtUserInterface& ui;
    FilePrompt& prompt;
    SettingsStore& settings;
    Registry& registry;
    ProcessLauncher& launcher;
    // This program's file, entered in the host's menus by the registration.
    std::string programPath;
    // How long a dialog waits, with the start-up window showing, before it opens.
    int openDelayMs = 2000;
};

class Application : public QObject {
    Q_OBJECT
  public:
    explicit Application(AppServices services, QObject* parent = nullptr);
    ~Application() override;

    // Runs the start-up for one command line. True when a dialog is opening and the event loop
    // has to run until finished(); false when the job is already done (registration, old-host
    // message).
    bool Start(std::string_view commandLine);

    SplashWindow* Splash() const { return splash_.get(); }
    ExportWindow* Export() const { return export_.get(); }
    ImportWindow* Import() const { return import_.get(); }
    JobContext& Context() { return context_; }

  signals:
    // The job is over; the process ends with this code.
    void finished(int exitCode);

  private:
    AppServices services_;
    KavrinReleases releases_;
    JobContext context_;
    std::unique_ptr<SplashWindow> splash_;
    std::unique_ptr<ExportWindow> export_;
    std::unique_ptr<ImportWindow> import_;
};

}  // namespace talvik::gui
