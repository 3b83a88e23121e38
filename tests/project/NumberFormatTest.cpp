#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "project/NumberFormat.h"

namespace talvik {
namespace {

constexpr std::string_view kFmt = "###########0.0000";
constexpr std::string_view kMarked = "###########0.0000*";

TEST(FormatValue, RoundsToFourDecimals) {
    struct Case {
        double value;
        std::string_view format;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {1.5, kFmt, "1.5000"},
        {-2.25, kFmt, "-2.2500"},
        {0.00004, kFmt, "0.0000"},
        {1234567.1, kFmt, "1234567.1000"},
        {1400.5, kFmt, "1400.5000"},  // no full-circle wrap outside angles
        {400.1, kFmt, "400.1000"},
        {155400.25, kFmt, "155400.2500"},
        {155000, kMarked, "155000.0000*"},
        {0, kMarked, "0.0000*"},
        // Rounding works on the exact binary value: 0.00005 lies just above the tie,
        // 0.00015 just below it.
        {0.00005, kFmt, "0.0001"},
        {0.00015, kFmt, "0.0001"},
        // Exact ties go to the even neighbour.
        {0.03125, kFmt, "0.0312"},
        {0.09375, kFmt, "0.0938"},
        {-0.03125, kFmt, "-0.0312"},
        // A negative value that rounds to zero carries no minus sign.
        {-0.00004, kFmt, "0.0000"},
        {-0.0, kFmt, "0.0000"},
        {-0.00005, kFmt, "-0.0001"},
        {0.99999, kFmt, "1.0000"},
        {-12.3045, kFmt, "-12.3045"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatValue(c.value, c.format), c.expected) << c.value;
}

TEST(FormatValue, ExtremeValuesGiveAText) {
    const std::string huge = FormatValue(1e308, kFmt);
    ASSERT_EQ(huge.size(), 309u + 5u);
    EXPECT_EQ(huge.substr(0, 5), "10000");
    EXPECT_EQ(huge.substr(huge.size() - 5), ".0000");
    EXPECT_EQ(FormatValue(-std::numeric_limits<double>::max(), kMarked).size(), 1u + 309 + 5 + 1);
    // Values the readers cannot produce still give some text without harm.
    EXPECT_FALSE(FormatValue(std::numeric_limits<double>::infinity(), kFmt).empty());
    EXPECT_FALSE(FormatValue(std::nan(""), kFmt).empty());
    EXPECT_FALSE(FormatAngle(-std::numeric_limits<double>::infinity(), kFmt, 0).empty());
    EXPECT_FALSE(FormatAngle(std::nan(""), kFmt, 0).empty());
    EXPECT_EQ(FormatValue(5e-324, kFmt), "0.0000");
}

TEST(FormatAngle, WrapsFullCirclesAndSplitsDegreesMinutesSeconds) {
    constexpr int kDms = 0, kDeg = 1, kGon = 2;
    struct Case {
        double value;
        int unit;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {123.4567, kGon, "  123.4567"},
        {399.99996, kGon, "    0.0000"},  // rounds to 400.0000, then wraps
        {400, kGon, "    0.0000"},
        {400, kDeg, "    0.0000"},
        {400.5, kGon, "    0.5000"},
        {-400, kGon, "  -400.0000"},
        {1400.5, kGon, "  1400.5000"},
        {0, kGon, "  0.0000"},
        {0, kDeg, "  0.0000"},
        {123.453, kDms, "  123 45 30"},
        {5.073, kDms, "  5 07 30"},
        {89.5959, kDms, "  89 59 59"},
        {-12.3045, kDms, "  -12 30 45"},
        {400, kDms, "    0 00 00"},
        {0, kDms, "  0 00 00"},
        {359.99999, kDms, "  360 00 00"},  // minutes and seconds are not checked
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatAngle(c.value, kFmt, c.unit), c.expected) << c.value << " unit " << c.unit;
}

TEST(FormatValue, IgnoresTheLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    for (const char* name : {"de_DE.UTF-8", "nl_NL.UTF-8", "fr_FR.UTF-8"}) {
        if (std::setlocale(LC_NUMERIC, name) == nullptr) continue;
        EXPECT_EQ(FormatValue(1234.5, kFmt), "1234.5000") << name;
        EXPECT_EQ(FormatAngle(12.3456, kFmt, 0), "  12 34 56") << name;
    }
    std::setlocale(LC_NUMERIC, saved.c_str());
}

}  // namespace
}  // namespace talvik
