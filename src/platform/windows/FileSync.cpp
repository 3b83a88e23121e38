#include <windows.h>

#include "platform/FileSync.h"

namespace talvik {

// Windows writes behind and frees a replaced file's data by itself.
void StartWriteBack(std::FILE*, std::uint64_t, std::uint64_t) {}
void DropCachedData(const std::string&) {}

// A file open here cannot be replaced: nothing is held.
FileHold::FileHold(const std::string&) {}

FileHold::~FileHold() = default;

}  // namespace talvik
