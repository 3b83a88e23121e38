#pragma once
// Whole files as bytes, for tests, and hand-written registry files.

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>

namespace talvik::testing {

// The file's bytes; empty text when it cannot be read.
inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Writes the bytes, creating the folders on the way.
inline void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::ssize(bytes));
}

// A registry file: the header, a blank line and the lines, each line ended with CR LF.
inline std::string RegFile(std::initializer_list<std::string_view> lines) {
    std::string text = "REGEDIT4\r\n\r\n";
    for (const std::string_view line : lines)
        (text += line) += "\r\n";
    return text;
}

}  // namespace talvik::testing
