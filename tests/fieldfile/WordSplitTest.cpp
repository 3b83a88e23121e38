#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "fieldfile/WordSplit.h"
#include "text/Text.h"

namespace talvik {
namespace {

// The words as a plain loop cuts them, byte by byte.
std::vector<std::string> LiteralWords(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    for (const char c : line) {
        if (c != ' ') {
            word += UpperChar(c);
        } else if (!word.empty()) {
            words.push_back(word);
            word.clear();
        }
    }
    if (!word.empty()) words.push_back(word);
    return words;
}

// Lines of every length around the 64-byte groups the fast cutting works in, with blanks in
// runs, at both ends and at group borders, and bytes of every value.
TEST(WordSplit, CutsAsTheLiteralLoopDoes) {
    std::mt19937 rng(20261206);
    std::string upper;
    std::vector<std::string_view> views;
    std::vector<std::string> copies;
    for (int round = 0; round < 20000; ++round) {
        const std::size_t size = rng() % 200;
        std::string line(size, 'a');
        const unsigned blankShare = rng() % 4;
        for (char& c : line)
            c = rng() % 4 < blankShare ? ' ' : static_cast<char>(rng() % 256);
        const std::vector<std::string> expected = LiteralWords(line);
        SplitWords(line, upper, views);
        ASSERT_EQ(std::vector<std::string>(views.begin(), views.end()), expected) << round;
        SplitWords(line, copies);
        ASSERT_EQ(copies, expected) << round;
    }
}

}  // namespace
}  // namespace talvik
