#pragma once
// Helpers of the interchange tests: a user interface that records, and a scratch folder.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "platform/UserInterface.h"

namespace talvik::testing {

struct RecordingUi : UserInterface {
    std::vector<std::string> messages;
    std::vector<std::string> progress;
    int yields = 0;
    Answer Message(std::string_view text, Buttons buttons, Icon icon,
                   std::string_view title) override {
        const bool plain = buttons == Buttons::Ok && icon == Icon::None && title == kAppTitle;
        messages.push_back(plain ? std::string(text) : "unexpected box: " + std::string(text));
        return Answer::Ok;
    }
    void Progress(std::string_view text) override { progress.emplace_back(text); }
    void Yield() override { ++yields; }
};

class ScratchDir {
  public:
    ScratchDir() {
        path_ = std::filesystem::temp_directory_path() /
                ("talvik-interchange-" + std::to_string(std::random_device{}()));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() { std::filesystem::remove_all(path_); }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    std::string Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(File(name), std::ios::binary) << bytes;
        return File(name);
    }
    // Names of the files in the folder, sorted.
    std::vector<std::string> Listing() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

  private:
    std::filesystem::path path_;
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Joins lines with CR LF after each.
inline std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

}  // namespace talvik::testing
