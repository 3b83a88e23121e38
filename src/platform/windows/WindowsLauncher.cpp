#include "platform/windows/WindowsLauncher.h"

#include <windows.h>

#include <string>

namespace talvik {

bool WindowsLauncher::Start(std::string_view commandLine) {
    // CreateProcessA may write into the command line, so it gets a copy of its own.
    std::string line(commandLine);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const BOOL started =
        ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS,
                         nullptr, nullptr, &startup, &process);
    if (!started) return false;
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

}  // namespace talvik
