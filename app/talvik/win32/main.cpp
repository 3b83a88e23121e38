// The desktop program on Windows: started by the host with a mode number and two quoted paths,
// by the installer with the registration switch, or by hand without arguments.

#include "win32/Win32.h"

#include <memory>
#include <string>
#include <string_view>

#include "platform/Platform.h"
#include "platform/RegistrySettings.h"
#include "startup/CommandLine.h"
#include "win32/Application.h"
#include "win32/Win32FilePrompt.h"
#include "win32/Win32UserInterface.h"

namespace {

// Prints text for whoever started the program. A windowed program gets no console of its own:
// it writes to the standard output it was handed (a pipe or a file), else to the console of
// the command prompt it was started from, if any. Lines end in CR LF.
void PrintForCaller(std::string_view text) {
    std::string lines;
    for (char c : text) {
        if (c == '\n') lines += '\r';
        lines += c;
    }
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out == nullptr || out == INVALID_HANDLE_VALUE) {
        if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
        out = CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, 0, nullptr);
        if (out == INVALID_HANDLE_VALUE) return;
    }
    DWORD written = 0;
    WriteFile(out, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::string commandLine(talvik::ArgumentsAfterProgramName(GetCommandLineA()));
    // Answered before any window, on the caller's output.
    if (const auto info = talvik::DesktopInfoText(commandLine)) {
        PrintForCaller(*info);
        return 0;
    }

    INITCOMMONCONTROLSEX controls{sizeof(controls),
                                  ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

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
