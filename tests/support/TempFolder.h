#pragma once
// A fresh folder for one test, removed with everything in it at the end.

#include <atomic>
#include <filesystem>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

#include "support/ReadBytes.h"

namespace talvik::testing {

class TempFolder {
  public:
    TempFolder() {
        const auto base = std::filesystem::temp_directory_path();
        std::random_device random;
        for (int attempt = 0; attempt < 100; ++attempt) {
            const auto name =
                "talvik-" + std::to_string(random()) + "-" + std::to_string(serial_++);
            std::error_code error;
            if (std::filesystem::create_directory(base / name, error)) {
                root_ = (base / name).string();
                return;
            }
        }
    }
    ~TempFolder() {
        std::error_code ignored;
        if (!root_.empty()) std::filesystem::remove_all(root_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return root_; }
    std::string Path(std::string_view name) const {
        return (std::filesystem::path(root_) / name).string();
    }

    // Writes a file with the given permission bits, creating its folders; returns its path.
    std::string Write(std::string_view name, std::string_view bytes, unsigned mode = 0644) {
        const std::string path = Path(name);
        WriteBytes(path, bytes);
        std::filesystem::permissions(path, static_cast<std::filesystem::perms>(mode));
        return path;
    }

    // Files and folders directly in the folder (a left-over temporary file counts).
    long Entries() const { return std::distance(std::filesystem::directory_iterator(root_), {}); }

  private:
    static inline std::atomic<unsigned> serial_{0};
    std::string root_;
};

}  // namespace talvik::testing
