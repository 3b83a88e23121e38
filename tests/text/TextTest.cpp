#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "text/LineReader.h"
#include "text/Text.h"
#include "text/WordSplit.h"

namespace talvik {
namespace {

TEST(UpperCase, FollowsTheWindows1252Rule) {
    EXPECT_EQ(ToUpper("abz AZ 09"), "ABZ AZ 09");
    // Accented letters move down by 0x20, except the division sign 0xF7.
    EXPECT_EQ(ToUpper("\xE0\xE9\xFE\xF7"), "\xC0\xC9\xDE\xF7");
    EXPECT_EQ(ToUpper("\x9A\x9C\x9E\xFF"), "\x8A\x8C\x8E\x9F");
    const std::string stays("\x8A\xC0\xDF\x00\xB5", 5);  // already upper case, other bytes
    EXPECT_EQ(ToUpper(stays), stays);
    // Long texts go eight bytes at a time: every byte at every offset, and plain ASCII runs.
    std::string all;
    for (int round = 0; round < 3; ++round)
        for (int b = 0; b < 256; ++b)
            all.push_back(static_cast<char>(round == 1 ? 0x20 + b % 0x60 : b));
    for (std::size_t from = 0; from < 16; ++from) {
        const std::string text = all.substr(from);
        std::string expected = text;
        for (char& c : expected)
            c = UpperChar(c);
        ASSERT_EQ(ToUpper(text), expected) << from;
    }
}

TEST(Text, TrimsSpacesOnlyFitsNamesAndRoundsHalvesToEven) {
    for (const auto& [text, trimmed] :
         {std::pair{"  a b  ", "a b"}, {"\ta\t", "\ta\t"}, {"   ", ""}})
        EXPECT_EQ(TrimBlanks(text), trimmed);
    EXPECT_EQ(TrimLeftBlanks("  a "), "a ");
    EXPECT_EQ(FitName9("P1") + FitName9("ABCDEFGHIJKL") + FitName9(""),
              "P1       ABCDEFGHI         ");
    const std::pair<double, int> halves[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {-2.5, -2}, {32767.4, 32767}, {2.6, 3}, {-32768.5, -32768}};
    for (const auto& [value, rounded] : halves)
        EXPECT_EQ(RoundToInt16(value), rounded) << value;
    for (const double overflow : {32767.5, -32769.0, double(NAN)})
        EXPECT_FALSE(RoundToInt16(overflow).has_value()) << overflow;
}

TEST(Encoding, RoundTripsEveryDefinedByte) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    EXPECT_EQ(Cp1252FromUtf8(Utf8From1252(all)), all);
    EXPECT_EQ(Utf8From1252("Co\xF6rdinaten \x80"), "Co\xC3\xB6rdinaten \xE2\x82\xAC");
    EXPECT_EQ(Cp1252FromUtf8("\xE4\xB8\xAD"), "?");
}

std::vector<std::string> ReadAll(LineReader& reader) {
    std::vector<std::string> lines;
    std::string line;
    while (reader.Next(line))
        lines.push_back(line);
    return lines;
}

TEST(LineReader, AcceptsEveryLineEnd) {
    // clang-format off
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"", {}}, {"a", {"a"}}, {"a\r\nb\r\n", {"a", "b"}}, {"a\rb\nc", {"a", "b", "c"}},
        {"a\r\r\nb", {"a", "", "b"}}, {"\n\n", {"", ""}}, {"a\n\rb", {"a", "", "b"}},
        {std::string("x\0y\r\n", 5), {std::string("x\0y", 3)}}};
    // clang-format on
    for (const auto& [text, lines] : cases) {
        LineReader reader;
        reader.OpenText(text);
        EXPECT_EQ(ReadAll(reader), lines);
        EXPECT_EQ(reader.Position(), text.size());
    }
}

TEST(LineReader, ReadsFilesAcrossChunkBorders) {
    const auto path = std::filesystem::temp_directory_path() / "talvik_linereader_test.txt";
    std::string text;
    std::vector<std::string> expected;
    for (int i = 0; i < 20000; ++i) {
        expected.push_back(std::string(static_cast<std::size_t>(i % 13), 'x') + std::to_string(i));
        text += expected.back() + (i % 3 == 0 ? "\r" : i % 3 == 1 ? "\n" : "\r\n");
    }
    expected.push_back(std::string(200000, 'L'));  // a long last line without line end
    text += expected.back();
    std::ofstream(path, std::ios::binary) << text;
    // Small blocks put CR LF pairs, lines and the long line across block ends.
    for (const std::size_t block :
         {std::size_t{1}, std::size_t{7}, std::size_t{4096}, LineReader::kDefaultBlock}) {
        LineReader reader(block);
        ASSERT_TRUE(reader.Open(path.string()));
        EXPECT_EQ(reader.Size(), text.size());
        EXPECT_EQ(ReadAll(reader), expected) << block;
        EXPECT_EQ(reader.Position(), text.size()) << block;
    }
    std::filesystem::remove(path);
    for (const std::string& missing : {path.parent_path().string(), path.string(), std::string()})
        EXPECT_FALSE(LineReader().Open(missing)) << missing;  // a folder, a missing file, no name
    EXPECT_FALSE(FileIsReadable(path.parent_path().string()));
}

// The words as a plain loop cuts them, byte by byte.
std::vector<std::string> LiteralWords(std::string_view line) {
    std::vector<std::string> words(1);
    for (const char c : line) {
        if (c != ' ') words.back() += UpperChar(c);
        if (c == ' ' && !words.back().empty()) words.emplace_back();
    }
    if (words.back().empty()) words.pop_back();
    return words;
}

// Lines around the fast cutting's 64-byte groups: blank runs at ends and borders, every byte.
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
