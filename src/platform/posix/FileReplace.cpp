#include "platform/FileReplace.h"

#include <cstdio>

namespace talvik {

std::FILE* CreateNewFile(const std::string& path) {
    return std::fopen(path.c_str(), "wbx");
}

bool ReplaceFile(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace talvik
