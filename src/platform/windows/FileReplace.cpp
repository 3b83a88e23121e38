#include <windows.h>
// windows.h names its own ReplaceFile function by a macro.
#undef ReplaceFile

#include "platform/FileReplace.h"

namespace talvik {

// rename() of the C runtime refuses an existing target here; MoveFileExA replaces it.
bool ReplaceFile(const std::string& from, const std::string& to) {
    return ::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

}  // namespace talvik
