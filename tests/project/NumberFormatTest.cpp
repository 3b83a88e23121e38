#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "project/NumberFormat.h"

namespace talvik {
namespace {

TEST(FormatValue, RoundsTheExactValueToFourDecimals) {
    // clang-format off
    const std::vector<std::pair<double, std::string>> cases = {
        {1.5, "1.5000"}, {-2.25, "-2.2500"}, {0.00004, "0.0000"}, {1234567.1, "1234567.1000"},
        {1400.5, "1400.5000"}, {0.99999, "1.0000"}, {-12.3045, "-12.3045"},
        // 0.00005 is stored just above the tie, 0.00015 just below it.
        {0.00005, "0.0001"}, {0.00015, "0.0001"},
        // Exact binary ties go to the even neighbour.
        {0.03125, "0.0312"}, {0.09375, "0.0938"}, {-0.03125, "-0.0312"},
        // Negative values that round to zero lose their sign.
        {-0.00004, "0.0000"}, {-0.0, "0.0000"}, {-0.00005, "-0.0001"}, {5e-324, "0.0000"},
    };
    // clang-format on
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(FormatValue(value, kNumberFormat), expected) << value;
    EXPECT_EQ(FormatValue(155000, kKnownNumberFormat), "155000.0000*");

    const std::string huge = FormatValue(1e308, kNumberFormat);
    EXPECT_EQ(huge.size(), 309u + 5u);
    EXPECT_EQ(huge.substr(0, 3) + huge.substr(huge.size() - 5), "100.0000");
    EXPECT_EQ(FormatValue(-std::numeric_limits<double>::max(), kKnownNumberFormat).size(), 316u);
    for (double odd : {std::numeric_limits<double>::infinity(), -std::nan("")}) {
        EXPECT_FALSE(FormatValue(odd, kNumberFormat).empty());
        EXPECT_FALSE(FormatAngle(odd, kNumberFormat, 0).empty());
    }
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
        {399.99996, kGon, "    0.0000"},
        {400, kDeg, "    0.0000"},
        {400.5, kGon, "    0.5000"},
        {-400, kGon, "  -400.0000"},
        {1400.5, kGon, "  1400.5000"},
        {0, kGon, "  0.0000"},
        {123.453, kDms, "  123 45 30"},
        {5.073, kDms, "  5 07 30"},
        {89.5959, kDms, "  89 59 59"},
        {-12.3045, kDms, "  -12 30 45"},
        {400, kDms, "    0 00 00"},
        {359.99999, kDms, "  360 00 00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatAngle(c.value, kNumberFormat, c.unit), c.expected) << c.value;
}

}  // namespace
}  // namespace talvik
