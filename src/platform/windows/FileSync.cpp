#include <windows.h>

#include "platform/FileSync.h"

namespace talvik {

bool SyncFile(const std::string& path) {
    const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool synced = ::FlushFileBuffers(file) != 0;
    return ::CloseHandle(file) != 0 && synced;
}

// Windows writes behind and frees a replaced file's data by itself.
void StartWriteBack(std::FILE*, std::uint64_t, std::uint64_t) {}
void DropCachedData(const std::string&) {}

// A file open here cannot be replaced: nothing is held.
FileHold::FileHold(const std::string&) {}

FileHold::~FileHold() = default;

}  // namespace talvik
