#pragma once
// Helpers shared by the interchange and export tests: a user interface that records its
// messages, and a fresh temporary folder per test.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/UserInterface.h"
#include "support/TempFolder.h"

namespace talvik {

using Texts = std::vector<std::string>;

// Plain messages are logged as their text, critical ones marked; any other box is odd.
struct RecordingUi : UserInterface {
    Texts messages;
    Answer Message(std::string_view text, Buttons b, Icon i, std::string_view title) override {
        const bool odd = b != Buttons::Ok || title != kAppTitle || i == Icon::Information;
        messages.push_back((odd                   ? "odd box: "
                            : i == Icon::Critical ? "critical: "
                                                  : "") +
                           std::string(text));
        return Answer::Ok;
    }
    void Progress(std::string_view) override {}
    void Yield() override {}
};

// A test with a fresh folder of its own.
class TempFolder : public testing::Test {
  protected:
    std::string Path(const std::string& name) const { return folder_.Path(name); }
    std::string Write(const std::string& name, const std::string& bytes, unsigned mode = 0644) {
        const std::string path = folder_.Write(name, bytes);
        std::filesystem::permissions(path, std::filesystem::perms(mode));
        return path;
    }
    // Files and folders in the folder (a left-over temporary file counts).
    long Entries() const { return folder_.Entries(); }

    test::TempFolder folder_;
};

inline std::string ReadBytes(const std::string& path) {
    std::ostringstream out;
    out << std::ifstream(path, std::ios::binary).rdbuf();
    return out.str();
}

// Each line followed by CR LF.
inline std::string Lines(const Texts& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

}  // namespace talvik
