#include "platform/FileReplace.h"

#include <cstdio>

namespace talvik {

bool ReplaceFile(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace talvik
