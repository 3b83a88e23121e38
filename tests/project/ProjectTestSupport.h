#pragma once
// Shared by the project tests and the export benchmark: user interfaces that record or ignore
// what they are shown, a scratch folder, whole-file reading and writing.

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/UserInterface.h"

namespace talvik::testing {

struct RecordingUi : UserInterface {
    struct Shown {
        std::string text;
        Buttons buttons;
        Icon icon;
        std::string title;
    };
    std::vector<Shown> messages;
    std::vector<std::string> progress;
    Answer answer = Answer::Ok;  // the answer to OK/Cancel questions

    Answer Message(std::string_view text, Buttons buttons, Icon icon,
                   std::string_view title) override {
        messages.push_back({std::string(text), buttons, icon, std::string(title)});
        return buttons == Buttons::Ok ? Answer::Ok : answer;
    }
    void Progress(std::string_view text) override { progress.emplace_back(text); }
    void Yield() override {}
};

struct SilentUi : UserInterface {
    Answer Message(std::string_view, Buttons, Icon, std::string_view) override {
        return Answer::Ok;
    }
    void Progress(std::string_view) override {}
    void Yield() override {}
};

class ScratchDir {
  public:
    ScratchDir() {
        static std::atomic<int> serial{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ = std::filesystem::temp_directory_path() /
                ("talvik-project-" + std::to_string(stamp) + "-" + std::to_string(serial++));
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The lines, each followed by CR LF.
inline std::string CrLf(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& line : lines)
        out += line + "\r\n";
    return out;
}

}  // namespace talvik::testing
