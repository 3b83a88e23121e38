#pragma once
// Shared by the project tests and the export benchmark: a scratch folder, whole-file reading
// and writing, expected file texts.

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "fieldfile/FieldFileTestSupport.h"

namespace talvik::testing {

using SilentUi = RecordingUi;

class ScratchDir {
  public:
    ScratchDir() { std::filesystem::create_directories(path_); }
    ~ScratchDir() { std::filesystem::remove_all(path_, ignored_); }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

  private:
    static inline std::atomic<int> serial_{0};
    std::error_code ignored_;
    std::filesystem::path path_ =
        std::filesystem::temp_directory_path() /
        ("talvik-project-" +
         std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "-" +
         std::to_string(serial_++));
};

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
