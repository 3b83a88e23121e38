#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
// windows.h names its own ReplaceFile function by a macro.
#undef ReplaceFile

#include <cerrno>
#include <cstdio>

#include "platform/FileCalls.h"
#include "platform/FileReplace.h"

namespace talvik {

std::string TemporaryNameFor(const std::string& target) {
    // The ANSI calls take paths up to MAX_PATH characters with the closing zero.
    return TemporaryNameFor(target, 255, MAX_PATH - 1);
}

std::string LastFileProblem() {
    const int error = errno;
    const DWORD code = ::GetLastError();
    switch (code) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return "schijf vol";
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_USER_MAPPED_FILE:
            return "in gebruik door een ander programma";
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
            return "geen toegang";
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_BUFFER_OVERFLOW:
            return "naam te lang";
        case ERROR_PATH_NOT_FOUND:
        case ERROR_FILE_NOT_FOUND:
        case ERROR_INVALID_NAME:
            return "map bestaat niet";
        case ERROR_ALREADY_EXISTS:
        case ERROR_FILE_EXISTS:
            return "er staat al iets met die naam";
        default:
            break;
    }
    const std::string text = ProblemOfErrno(error);
    return text.empty() ? "systeemfout " + std::to_string(code) : text;
}

// The system's C runtime does not know fopen's "x"; the exclusive open is the same thing.
std::FILE* CreateNewFile(const std::string& path) {
    const int fd = ::_open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                           _S_IREAD | _S_IWRITE);
    if (fd < 0) return nullptr;
    std::FILE* file = ::_fdopen(fd, "wb");
    if (file == nullptr) ::_close(fd);
    return file;
}

// rename() of the C runtime refuses an existing target here; MoveFileExA replaces it.
bool ReplaceFile(const std::string& from, const std::string& to) {
    return ::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

// A file another program holds open without FILE_SHARE_DELETE cannot be renamed: this is
// where a commit learns that it cannot replace it.
bool RenameEntry(const std::string& from, const std::string& to) {
    return ::MoveFileExA(from.c_str(), to.c_str(), 0) != 0;
}

bool RemoveEntry(const std::string& path) {
    return ::DeleteFileA(path.c_str()) != 0 || ::GetLastError() == ERROR_FILE_NOT_FOUND;
}

// The renames of a folder are on the disk when MoveFileEx returns.
void SyncFolderOf(const std::string&) {}

bool SyncStream(std::FILE* file) {
    return ::_commit(::_fileno(file)) == 0;
}

// Files have no permission bits here; the read-only attribute is refused before.
void KeepPermissions(const std::string&, const std::string&) {}

bool FileLock::TryOnce() {
    busy_ = false;
    // Removed by the system when the last process that has it open closes it.
    const HANDLE file =
        ::CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        // A file on its way out (its last holder closing it) cannot be opened for a moment; a
        // folder or a read-only file at the name never can.
        const DWORD error = ::GetLastError();
        const DWORD attributes = ::GetFileAttributesA(path_.c_str());
        if (error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
            problem_ = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                           ? "er staat een map met die naam"
                           : "alleen-lezen";
            return false;
        }
        ::SetLastError(error);
        busy_ = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
        if (!busy_) problem_ = LastFileProblem();
        return false;
    }
    OVERLAPPED first{};
    if (!::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &first)) {
        busy_ = true;
        ::CloseHandle(file);
        return false;
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    return true;
}

void FileLock::Release() {
    if (handle_ == -1) return;
    ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
    handle_ = -1;
}

}  // namespace talvik

namespace talvik {

std::FILE* OpenWithoutWaiting(const std::string& path) {
    return std::fopen(path.c_str(), "rb");
}

}  // namespace talvik
