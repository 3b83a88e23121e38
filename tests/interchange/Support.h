#pragma once
// Helpers shared by the interchange, export and launcher tests.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/ReadBytes.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"

namespace talvik {

using Texts = std::vector<std::string>;

using testing::ReadBytes;
using testing::RecordingUi;

// A test with a fresh folder of its own.
class TempFolder : public ::testing::Test, public testing::TempFolder {};

// Each line followed by CR LF.
inline std::string Lines(const Texts& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

}  // namespace talvik
