#include "platform/FileSync.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace talvik {

namespace {

// Opens an existing regular file for reading without ever waiting: a pipe or device put in a
// file's place is neither waited for nor read. -1 when there is no such file.
int OpenRegular(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

void StartWriteBack(std::FILE* file, std::uint64_t offset, std::uint64_t length) {
#if defined(__linux__)
    ::sync_file_range(::fileno(file), static_cast<off_t>(offset), static_cast<off_t>(length),
                      SYNC_FILE_RANGE_WRITE);
#else
    (void)file, (void)offset, (void)length;
#endif
}

void DropCachedData(const std::string& path) {
    const int fd = OpenRegular(path);
    if (fd < 0) return;
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
}

FileHold::FileHold(const std::string& path) : handle_(OpenRegular(path)) {}

FileHold::~FileHold() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

}  // namespace talvik
