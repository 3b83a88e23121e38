#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include "text/LineReader.h"
#include "text/Text.h"

namespace talvik {
namespace {

TEST(UpperCase, FollowsTheWindows1252Rule) {
    EXPECT_EQ(ToUpper("abz AZ 09"), "ABZ AZ 09");
    // Accented letters move down by 0x20, except the division sign 0xF7.
    EXPECT_EQ(ToUpper("\xE0\xE9\xFE\xF7"), "\xC0\xC9\xDE\xF7");
    EXPECT_EQ(ToUpper("\x9A\x9C\x9E\xFF"), "\x8A\x8C\x8E\x9F");
    // Already upper case and other bytes stay.
    EXPECT_EQ(ToUpper(std::string("\x8A\xC0\xDF\x00\xB5", 5)),
              std::string("\x8A\xC0\xDF\x00\xB5", 5));
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

TEST(Trim, RemovesSpacesOnly) {
    EXPECT_EQ(TrimBlanks("  a b  "), "a b");
    EXPECT_EQ(TrimBlanks("\ta\t"), "\ta\t");
    EXPECT_EQ(TrimBlanks("   "), "");
    EXPECT_EQ(TrimLeftBlanks("  a "), "a ");
}

TEST(NumericValue, ReadsTheLeadingNumber) {
    struct Case {
        const char* word;
        double value;
    };
    const std::vector<Case> cases = {
        {"12.5A", 12.5}, {"12E", 12},      {"1.5E2", 150}, {"1D2", 1},      {".5", 0.5},
        {"+3", 3},       {"-0.25", -0.25}, {"3,5", 3},     {"X1", 0},       {"", 0},
        {"-", 0},        {".", 0},         {"1e400", 0},   {"-1e400", 0},   {"1 2", 1},
        {"  7", 7},      {"5.", 5},        {"1E+2", 100},  {"1e-2x", 0.01}, {"2E-", 2},
        {"0x10", 0},     {"1e308", 1e308}, {"--1", 0},     {"+.5e1", 5},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(NumericValue(c.word), c.value) << c.word;
    EXPECT_TRUE(std::signbit(NumericValue("-0")));
    EXPECT_GT(NumericValue("1e-320"), 0.0);
    // Short plain decimals take a shortcut that must give the correctly rounded value too.
    std::mt19937_64 rng(5);
    for (int i = 0; i < 20000; ++i) {
        const int digits = 1 + static_cast<int>(rng() % 17), point = static_cast<int>(rng() % 18);
        std::string word = std::to_string(rng() % 100000000000000000ull).substr(0, digits);
        if (point < digits) word.insert(static_cast<std::size_t>(point), ".");
        double expected = 0;
        std::from_chars(word.data(), word.data() + word.size(), expected);
        ASSERT_EQ(NumericValue(word), expected) << word;
        ASSERT_EQ(NumericValue("-" + word), -expected) << word;
    }
}

TEST(RoundToInt16, HalvesGoToEvenAndOverflowIsEmpty) {
    EXPECT_EQ(RoundToInt16(0.5), 0);
    EXPECT_EQ(RoundToInt16(1.5), 2);
    EXPECT_EQ(RoundToInt16(2.5), 2);
    EXPECT_EQ(RoundToInt16(-2.5), -2);
    EXPECT_EQ(RoundToInt16(2.6), 3);
    EXPECT_EQ(RoundToInt16(32767.4), 32767);
    EXPECT_FALSE(RoundToInt16(32767.5).has_value());
    EXPECT_EQ(RoundToInt16(-32768.5), -32768);
    EXPECT_FALSE(RoundToInt16(-32769).has_value());
    EXPECT_FALSE(RoundToInt16(NAN).has_value());
}

TEST(FitName9, CutsAndPads) {
    EXPECT_EQ(FitName9("P1"), "P1       ");
    EXPECT_EQ(FitName9("ABCDEFGHIJKL"), "ABCDEFGHI");
    EXPECT_EQ(FitName9(""), "         ");
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
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\nc", {"a", "b", "c"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"\n\n", {"", ""}},
        {"a\n\rb", {"a", "", "b"}},
        {std::string("x\0y\r\n", 5), {std::string("x\0y", 3)}},
    };
    for (const auto& c : cases) {
        LineReader reader;
        reader.OpenText(c.text);
        EXPECT_EQ(ReadAll(reader), c.lines);
        EXPECT_EQ(reader.Position(), c.text.size());
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
}

TEST(LineReader, RefusesDirectoriesAndMissingFiles) {
    LineReader reader;
    EXPECT_FALSE(reader.Open(std::filesystem::temp_directory_path().string()));
    EXPECT_FALSE(reader.Open("/nonexistent/talvik/file.fld"));
    EXPECT_FALSE(reader.Open(""));
    EXPECT_FALSE(FileIsReadable(std::filesystem::temp_directory_path().string()));
}

}  // namespace
}  // namespace talvik
