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
    std::vector<std::string> messages, progress;
    Answer Message(std::string_view text, Buttons b, Icon i, std::string_view title) override {
        const bool plain = b == Buttons::Ok && i == Icon::None && title == kAppTitle;
        messages.push_back((plain ? "" : "odd box: ") + std::string(text));
        return Answer::Ok;
    }
    void Progress(std::string_view text) override { progress.emplace_back(text); }
    void Yield() override {}
};

struct ScratchDir {
    std::filesystem::path root = std::filesystem::temp_directory_path() /
                                 ("talvik-interchange-" + std::to_string(std::random_device{}()));
    ScratchDir() { std::filesystem::create_directories(root); }
    ~ScratchDir() { std::filesystem::remove_all(root); }
    std::string File(const std::string& name) const { return (root / name).string(); }
    std::string Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(File(name), std::ios::binary) << bytes;
        return File(name);
    }
    std::vector<std::string> Listing() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(root))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Each line followed by CR LF.
inline std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

}  // namespace talvik::testing
