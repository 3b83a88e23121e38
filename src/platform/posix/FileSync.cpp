#include "platform/FileSync.h"

#include <fcntl.h>
#include <unistd.h>

namespace talvik {

bool SyncFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

FileHold::FileHold(const std::string& path) : handle_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}

FileHold::~FileHold() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

}  // namespace talvik
