#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "host/Strings.h"

namespace talvik {
namespace {

TEST(ReplaceAll, ReplacesLeftToRightWithoutSearchingInsertedText) {
    struct Case {
        const char* text;
        const char* search;
        const char* replacement;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"%1 a, %2 b", "%1", "X:", "X: a, %2 b"},
        {"%1 a, %2 b", ", %2", "\r\nLabel:", "%1 a\r\nLabel: b"},
        {"aXa", "a", "aa", "aaXaa"},
        {"no placeholder", "%1", "X", "no placeholder"},
        {"%10", "%1", "X", "X0"},
        {"aaa", "aa", "b", "ba"},
        {"AbA", "a", "x", "AbA"},
        {"", "%1", "X", ""},
        {"%1%1", "%1", "", ""},
        {"text", "", "X", "text"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReplaceAll(c.text, c.search, c.replacement), c.expected)
            << c.text << " / " << c.search;
    }
}

// Splices the result in place and searches on behind the inserted text, one replacement at a
// time.
std::string LiteralReplaceAll(std::string result, const std::string& search,
                              const std::string& replacement) {
    std::size_t position = 0;
    while (true) {
        const std::size_t found = result.find(search, position);
        if (found == std::string::npos) return result;
        result.replace(found, search.size(), replacement);
        position = found + replacement.size();
    }
}

TEST(ReplaceAll, MatchesTheOneByOneSplicingOnRandomTexts) {
    std::mt19937 random(20240611);
    const auto randomText = [&](std::size_t minLength, std::size_t maxLength) {
        std::uniform_int_distribution<std::size_t> length(minLength, maxLength);
        std::uniform_int_distribution<int> letter(0, 2);
        std::string text(length(random), 'a');
        for (char& c : text)
            c = static_cast<char>("ab%"[letter(random)]);
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
}

}  // namespace
}  // namespace talvik
