#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <system_error>

#include "platform/Platform.h"
#include "platform/RegistryFile.h"
#include "platform/posix/PosixLauncher.h"

namespace talvik {

std::unique_ptr<Registry> MakeUserRegistry() {
    return std::make_unique<RegistryFile>(RegistryFile::DefaultPath());
}

std::string CheckUserRegistry(Registry& registry) {
    auto* file = dynamic_cast<RegistryFile*>(&registry);
    return file != nullptr ? file->CheckFile() : std::string();
}

std::unique_ptr<ProcessLauncher> MakeLauncher() {
    return std::make_unique<PosixLauncher>();
}

std::string ProgramPath() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : self.string();
}

std::optional<std::string> RawCommandLine() {
    return std::nullopt;
}

void UseBinaryStandardStreams() {}

void GuardStandardStreams() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF) continue;
        const int null = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (null >= 0 && null != fd) {
            ::dup2(null, fd);
            ::close(null);
        }
    }
    std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace talvik
