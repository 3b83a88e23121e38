#pragma once
// Temporary folders and hand-written registry files for the registry and host tests.

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>

#include "support/TempFolder.h"

namespace talvik::testing {

using test::TempFolder;

// Writes the bytes, creating the folders on the way.
inline void WriteBytes(const std::string& path, std::string_view bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::ssize(bytes));
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A registry file: the header, a blank line and the lines, each line ended with CR LF.
inline std::string RegFile(std::initializer_list<std::string_view> lines) {
    std::string text = "REGEDIT4\r\n\r\n";
    for (const std::string_view line : lines)
        (text += line) += "\r\n";
    return text;
}

}  // namespace talvik::testing
