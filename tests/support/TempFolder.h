#pragma once
// A fresh folder below the system's temporary folder for one test, removed with everything in
// it when the test is done.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

namespace talvik::test {

class TempFolder {
  public:
    TempFolder() {
        const auto base = std::filesystem::temp_directory_path();
        std::random_device seed;
        std::mt19937_64 random(seed());
        // create_directory is false when the name is taken: then another name is drawn.
        for (std::error_code error;;) {
            root_ = base / ("talvik-" + std::to_string(random() % 1000000000000u));
            if (std::filesystem::create_directory(root_, error)) break;
            if (error) throw std::filesystem::filesystem_error("no temporary folder", root_, error);
        }
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Root() const { return root_; }
    // The full path of a name inside the folder (which may hold further folders).
    std::string Path(std::string_view name) const { return (root_ / name).string(); }
    std::string operator/(std::string_view name) const { return Path(name); }

    // Writes the bytes under the name, creating the folders on the way; the full path.
    std::string Write(std::string_view name, std::string_view bytes) const {
        const auto path = root_ / name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary).write(bytes.data(), std::ssize(bytes));
        return path.string();
    }

    // Files and folders directly in the folder (a left-over temporary file counts).
    long Entries() const { return std::distance(std::filesystem::directory_iterator(root_), {}); }

  private:
    std::filesystem::path root_;
};

}  // namespace talvik::test
