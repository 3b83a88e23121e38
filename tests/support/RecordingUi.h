#pragma once
// A user interface that keeps what it is shown, for the tests of every subsystem.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/UserInterface.h"

namespace talvik::testing {

// Keeps every message as its text; an OK/Cancel question gets "? " in front, an icon "i " or
// "! ", a title other than the application's " @title" behind.
struct RecordingUi : UserInterface {
    std::vector<std::string> messages, progress;
    Answer answer = Answer::Ok;  // the answer to questions
    Answer Message(std::string_view text, Buttons buttons, Icon icon,
                   std::string_view title) override {
        const char* marks[] = {"", "i ", "! "};
        messages.push_back((buttons == Buttons::Ok ? "" : "? ") +
                           std::string(marks[static_cast<int>(icon)]) + std::string(text) +
                           (title == kAppTitle ? "" : " @" + std::string(title)));
        return buttons == Buttons::Ok ? Answer::Ok : answer;
    }
    void Progress(std::string_view text) override { progress.emplace_back(text); }
    std::vector<std::pair<std::uint64_t, std::uint64_t>> amounts;  // done, total
    void ProgressAmount(std::uint64_t done, std::uint64_t total) override {
        amounts.emplace_back(done, total);
    }
    void Yield() override {}
};

}  // namespace talvik::testing
