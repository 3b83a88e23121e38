// The desktop program on Windows: started by the host with a mode number and two quoted paths,
// by the installer with the registration switch, or by hand without arguments.

#include "win32/Win32.h"

#include <memory>
#include <string>

#include "platform/Platform.h"
#include "platform/RegistrySettings.h"
#include "win32/Application.h"
#include "win32/Win32FilePrompt.h"
#include "win32/Win32UserInterface.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof(controls),
                                  ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    const std::string commandLine(talvik::ArgumentsAfterProgramName(GetCommandLineA()));
    const std::unique_ptr<talvik::Registry> registry = talvik::MakeUserRegistry();
    talvik::RegistrySettings settings(*registry);
    const std::unique_ptr<talvik::ProcessLauncher> launcher = talvik::MakeLauncher();
    talvik::win32::Win32UserInterface ui;
    talvik::win32::Win32FilePrompt prompt;

    const std::string problem = talvik::CheckUserRegistry(*registry);
    if (!problem.empty())
        ui.Message(problem, talvik::Buttons::Ok, talvik::Icon::Critical, talvik::kAppTitle);

    talvik::win32::Application application(
        {ui, prompt, settings, *registry, *launcher, talvik::ProgramPath()});
    application.finished = [](int exitCode) { PostQuitMessage(exitCode); };
    if (!application.Start(commandLine)) return 0;
    return talvik::win32::RunMessageLoop();
}
