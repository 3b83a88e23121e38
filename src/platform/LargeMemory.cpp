#include "platform/LargeMemory.h"

#include <filesystem>
#include <system_error>

namespace talvik {

std::uint64_t InputBytes(std::initializer_list<std::string> paths) {
    std::uint64_t input = 0;
    for (const std::string& path : paths) {
        std::error_code error;
        if (path.empty() || !std::filesystem::is_regular_file(path, error)) continue;
        const std::uintmax_t size = std::filesystem::file_size(path, error);
        if (!error) input += size;
    }
    return input;
}

}  // namespace talvik
