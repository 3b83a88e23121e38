#include "platform/FileReplace.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/FileCalls.h"

namespace talvik {

std::string TemporaryNameFor(const std::string& target) {
    return TemporaryNameFor(target, NAME_MAX, PATH_MAX - 1);
}

std::string LastFileProblem() {
    const int error = errno;
    const std::string text = ProblemOfErrno(error);
    return text.empty() ? "systeemfout " + std::to_string(error) : text;
}

std::FILE* CreateNewFile(const std::string& path) {
    return std::fopen(path.c_str(), "wbx");
}

bool ReplaceFile(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool RenameEntry(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool RemoveEntry(const std::string& path) {
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

void SyncFolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : path.substr(0, slash);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

bool SyncStream(std::FILE* file) {
    return ::fsync(::fileno(file)) == 0;
}

void KeepPermissions(const std::string& target, const std::string& fresh) {
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) ::chmod(fresh.c_str(), st.st_mode & 07777);
}

namespace {

// Takes away a lock file that this user may not open for writing (another user's, made under a
// stricter umask) when nobody holds it: a read lock on it keeps every other run from taking
// it meanwhile, and a run that opened it before finds it is no longer the file of that name.
// False (with errno set) when it cannot be removed; true when it was removed or is held (the
// next try tells which).
bool RemoveUnheldLock(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0) return false;
    struct stat held {
    }, named{};
    struct flock first {};
    first.l_type = F_RDLCK;
    first.l_whence = SEEK_SET;
    first.l_start = 0;
    first.l_len = 1;
    bool ok = true;
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::fcntl(fd, F_SETLK, &first) == 0 &&
        ::stat(path.c_str(), &named) == 0 && held.st_ino == named.st_ino &&
        held.st_dev == named.st_dev)
        ok = ::unlink(path.c_str()) == 0;
    const int error = errno;
    ::close(fd);
    errno = error;
    return ok;
}

}  // namespace

bool FileLock::TryOnce() {
    busy_ = false;
    // Made as any file the user writes (0666 less the umask), so that whoever may write the
    // project may lock it too.
    const auto open = [this] {
        return ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW, 0666);
    };
    // True when a file (not a folder, a link, ...) stands at the name; errno is kept.
    const auto fileThere = [this] {
        const int error = errno;
        struct stat there {};
        const bool file = ::lstat(path_.c_str(), &there) == 0 && S_ISREG(there.st_mode);
        errno = error;
        return file;
    };
    int fd = open();
    if (fd < 0 && errno == EACCES && fileThere()) {
        // Someone else's lock file that this user may not write: gone when nobody holds it.
        if (!RemoveUnheldLock(path_)) {
            problem_ = LastFileProblem();
            return false;
        }
        fd = open();
        if (fd < 0 && errno == EACCES && fileThere()) {  // held, or made again since
            busy_ = true;
            return false;
        }
    }
    if (fd < 0) {
        problem_ = LastFileProblem();
        return false;
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        problem_ = "geen gewoon bestand";
        ::close(fd);
        return false;
    }
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    whole.l_start = 0;
    whole.l_len = 1;
    if (::fcntl(fd, F_SETLK, &whole) != 0) {
        busy_ = errno == EACCES || errno == EAGAIN || errno == EINTR;
        if (!busy_) problem_ = LastFileProblem();
        ::close(fd);
        return false;
    }
    // The holder before may have removed the file after this one opened it: the lock then
    // guards nothing, and the file of that name is taken afresh.
    struct stat held {
    }, named{};
    if (::fstat(fd, &held) != 0 || ::stat(path_.c_str(), &named) != 0 ||
        held.st_ino != named.st_ino || held.st_dev != named.st_dev) {
        ::close(fd);
        busy_ = true;
        return false;
    }
    handle_ = fd;
    return true;
}

void FileLock::Release() {
    if (handle_ < 0) return;
    // Removed while still held, so that a waiting process that opened it finds it gone; a
    // lock file is empty, so a file with something in it is someone else's and stays.
    struct stat held {};
    if (::fstat(static_cast<int>(handle_), &held) == 0 && held.st_size == 0)
        ::unlink(path_.c_str());
    ::close(static_cast<int>(handle_));
    handle_ = -1;
}

}  // namespace talvik

namespace talvik {

std::FILE* OpenWithoutWaiting(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return nullptr;
    // Open: from here on a read waits for data as on any stream, and ends when every writer
    // has closed it.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    std::FILE* file = ::fdopen(fd, "rb");
    if (file == nullptr) ::close(fd);
    return file;
}

}  // namespace talvik
