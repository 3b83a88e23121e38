#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "project/NumberFormat.h"

namespace talvik {
namespace {

// The writers' raw-buffer path gives the texts of the string functions, for values around
// rounding ties, full circles, huge and tiny magnitudes and the non-finite ones, in every unit.
TEST(NumberWrite, GivesTheTextsOfTheStringFunctions) {
    std::mt19937_64 rng(20261206);
    std::uniform_real_distribution<double> angle(-450.0, 450.0);
    const double specials[] = {0.0,       -0.0,         0.00005,   -0.00005, 0.00015,
                               399.99995, 400.0,        -400.0,    1e15,     -9e14,
                               8.99e14,   5e-324,       1e308,     -1e308,   INFINITY,
                               -INFINITY, std::nan(""), 123.45675, 0.5e-4,   359.59595};
    char buffer[kMaxNumberText + 16];
    const auto check = [&](double value) {
        ASSERT_EQ(std::string(buffer, WriteValue(buffer, value)), FormatValue(value, kNumberFormat))
            << value;
        for (const AngleUnit unit :
             {AngleUnit::DegreesMinutesSeconds, AngleUnit::DecimalDegrees, AngleUnit::Gon})
            ASSERT_EQ(std::string(buffer, WriteAngle(buffer, value, unit)),
                      FormatAngle(value, kNumberFormat, unit))
                << value;
    };
    for (const double value : specials)
        check(value);
    for (int i = 0; i < 200000; ++i) {
        double value = angle(rng);
        if (i % 3 == 0) value = std::round(value * 20000.0) / 20000.0;  // ties at the 5th decimal
        if (i % 7 == 0) value = std::ldexp(value, static_cast<int>(rng() % 120) - 60);
        check(value);
    }
}

}  // namespace
}  // namespace talvik
