#include <gtest/gtest.h>

#include <random>
#include <string>

#include "host/Strings.h"

namespace talvik {
namespace {

// Splices one replacement at a time and searches on behind the inserted text.
std::string LiteralReplaceAll(std::string text, const std::string& search,
                              const std::string& replacement) {
    for (std::size_t at = text.find(search); at != std::string::npos;
         at = text.find(search, at + replacement.size())) {
        text.replace(at, search.size(), replacement);
    }
    return text;
}

TEST(ReplaceAll, MatchesTheOneByOneSplicingOnRandomTexts) {
    std::mt19937 random(20240611);
    const auto randomText = [&](std::size_t minLength, std::size_t maxLength) {
        std::string text(std::uniform_int_distribution<std::size_t>(minLength, maxLength)(random),
                         'a');
        for (char& c : text)
            c = "ab%"[std::uniform_int_distribution<int>(0, 2)(random)];
        return text;
    };
    for (int round = 0; round < 5000; ++round) {
        const std::string text = randomText(0, 40);
        const std::string search = randomText(1, 3);
        const std::string replacement = randomText(0, 4);
        ASSERT_EQ(ReplaceAll(text, search, replacement),
                  LiteralReplaceAll(text, search, replacement))
            << text << " / " << search << " / " << replacement;
    }
    // Case counts, and an empty search replaces nothing.
    EXPECT_EQ(ReplaceAll("AbA", "a", "x") + ReplaceAll("text", "", "X"), "AbAtext");
}

}  // namespace
}  // namespace talvik
