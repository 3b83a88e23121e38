#pragma once
// Shared by the project tests and the export benchmark: a scratch folder, whole-file reading
// and writing, expected file texts.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "fieldfile/FieldFileTestSupport.h"
#include "support/TempFolder.h"

namespace talvik::testing {

using SilentUi = RecordingUi;

using ScratchDir = test::TempFolder;

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The lines separated by "|", each followed by CR LF.
inline std::string CrLf(std::string_view lines) {
    return Lines(lines, "");
}

}  // namespace talvik::testing
