#pragma once
// The user interface of the fuzz harnesses: every message is answered OK, nothing is shown.

#include <string_view>

#include "platform/UserInterface.h"

namespace talvik::fuzz {

struct QuietUi : UserInterface {
    Answer Message(std::string_view, Buttons, Icon, std::string_view) override {
        return Answer::Ok;
    }
    void Progress(std::string_view) override {}
    void Yield() override {}
};

}  // namespace talvik::fuzz
