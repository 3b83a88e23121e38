#pragma once
// The few POSIX file calls of the REGEDIT4 store, on top of the Windows C runtime, so that the
// store builds here too (the tests use it as a registry kept in a file). Included before the
// store's own sources by the build; every standard header that could name one of these calls
// is included first, so that the macros below touch only the store's code.
//
// - files are opened in binary mode and not inherited by started programs;
// - the lock is LockFileEx on the whole file;
// - a rename replaces the target (the C runtime's rename() refuses an existing one);
// - there are no symbolic links and no permission bits to carry over.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#include <windows.h>
#undef ReplaceFile

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#define O_CLOEXEC (_O_NOINHERIT | _O_BINARY)
#define O_NONBLOCK 0
#define LOCK_EX 2
#define S_ISLNK(mode) false

inline int talvik_flock(int fd, int) {
    const HANDLE file = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    OVERLAPPED whole{};
    return ::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole) ? 0 : -1;
}

inline int talvik_mkdir(const char* path, int) {
    return ::_mkdir(path);
}

inline int talvik_fsync(int fd) {
    return ::_commit(fd);
}

inline int talvik_fchmod(int, int) {
    return 0;
}

inline char* talvik_realpath(const char* path, char* resolved) {
    return ::_fullpath(resolved, path, resolved == nullptr ? 0 : _MAX_PATH);
}

inline int talvik_rename(const char* from, const char* to) {
    if (::MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING)) return 0;
    errno = EACCES;
    return -1;
}

#undef fsync
#define flock talvik_flock
#define mkdir talvik_mkdir
#define fsync talvik_fsync
#define fchmod talvik_fchmod
#define realpath talvik_realpath
#define rename talvik_rename
#define lstat stat
