#pragma once
// One start of the desktop program on Windows: the start-up window, the decision taken from
// the command line, and the one job it leads to (registration, export dialog, import dialog,
// or the message for a too-old host).

#include "win32/Win32.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "host/JobContext.h"
#include "host/Releases.h"

namespace talvik::win32 {

class ExportWindow;
class ImportWindow;
class SplashWindow;
class Win32FilePrompt;
class Win32UserInterface;

// What the program talks to; main wires the real ones, tests their own.
struct AppServices {
    Win32UserInterface& ui;
    Win32FilePrompt& prompt;
    SettingsStore& settings;
    Registry& registry;
    ProcessLauncher& launcher;
    // This program's file, entered in the host's menus by the registration.
    std::string programPath;
    // How long a dialog waits, with the start-up window showing, before it opens.
    UINT openDelayMs = 2000;
};

class Application {
  public:
    explicit Application(AppServices services);
    ~Application();

    // Called once when the job is over, with the exit code of the process.
    std::function<void(int)> finished;

    // Runs the start-up for one command line. True when a dialog is opening and messages have
    // to flow until finished; false when the job is already done (registration, old-host
    // message, or a window that could not be made).
    bool Start(std::string_view commandLine);

    SplashWindow* Splash() const { return splash_.get(); }
    ExportWindow* Export() const { return export_.get(); }
    ImportWindow* Import() const { return import_.get(); }

  private:
    AppServices services_;
    KavrinReleases releases_;
    JobContext context_;
    std::unique_ptr<SplashWindow> splash_;
    std::unique_ptr<ExportWindow> export_;
    std::unique_ptr<ImportWindow> import_;
};

// Delivers messages until the job posts its end; the dialogs get their keyboard handling (tab
// order, access keys, default button). Returns the exit code.
int RunMessageLoop();

}  // namespace talvik::win32
