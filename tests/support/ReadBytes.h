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

// A file of the example project as the golden files of tests/cli/data have it: they were
// written for the project C:\DATA\NET1, and the network name is the project path in upper case.
inline std::string AsGolden(const std::filesystem::path& path, std::string_view network) {
    std::string bytes = ReadBytes(path);
    for (std::size_t at; (at = bytes.find(network)) != std::string::npos;)
        bytes.replace(at, network.size(), "C:\\DATA\\NET1");
    return bytes;
}

// Writes the bytes, creating the folders on the way.
inline void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::ssize(bytes));
}

// The lines, each ended with CR LF.
inline std::string CrLfLines(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (const std::string_view line : lines)
        (text += line) += "\r\n";
    return text;
}

// A registry file: the header, a blank line and the lines.
inline std::string RegFile(std::initializer_list<std::string_view> lines) {
    return "REGEDIT4\r\n\r\n" + CrLfLines(lines);
}

}  // namespace talvik::testing
