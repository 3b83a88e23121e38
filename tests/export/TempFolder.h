#pragma once
// A fresh temporary folder per test, removed afterwards, with small file helpers.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace talvik {

class TempFolder : public testing::Test {
  protected:
    static std::filesystem::path MakeFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "talvik-test-XXXXXX").string();
        return ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
    }
    void TearDown() override { std::filesystem::remove_all(root_); }

    std::string Path(const std::string& relative) const { return (root_ / relative).string(); }
    void Write(const std::string& relative, const std::string& text, unsigned mode = 0644) {
        std::filesystem::create_directories((root_ / relative).parent_path());
        std::ofstream(root_ / relative, std::ios::binary) << text;
        ASSERT_EQ(::chmod(Path(relative).c_str(), mode), 0);
    }

    std::filesystem::path root_ = MakeFolder();
};

}  // namespace talvik
