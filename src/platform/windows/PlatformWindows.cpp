#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "platform/Platform.h"
#include "platform/windows/WindowsLauncher.h"
#include "platform/windows/WindowsRegistry.h"

namespace talvik {

std::unique_ptr<Registry> MakeUserRegistry() {
    return std::make_unique<WindowsRegistry>();
}

std::string CheckUserRegistry(Registry&) {
    return {};
}

std::unique_ptr<ProcessLauncher> MakeLauncher() {
    return std::make_unique<WindowsLauncher>();
}

std::string ProgramPath() {
    // MAX_PATH is not the limit of a path: grow the buffer while the name is cut.
    std::string path(MAX_PATH, '\0');
    while (true) {
        const DWORD length =
            ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
}

std::optional<std::string> RawCommandLine() {
    const char* line = ::GetCommandLineA();
    return std::string(ArgumentsAfterProgramName(line != nullptr ? line : ""));
}

void UseBinaryStandardStreams() {
    std::fflush(stdout);
    std::fflush(stderr);
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
}

// Writes to a closed stream fail here without ending the process.
void GuardStandardStreams() {}

}  // namespace talvik
