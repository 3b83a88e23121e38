#include "check/StepAngles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace talvik {
namespace {

TEST(StepAngles, SinesAndCosinesAgreeWithTheLibrary) {
    const StepTrigonometry trigonometry;
    std::vector<std::uint32_t> steps;
    // Both sides of every seam of the table, the ends of the circle, and random angles.
    for (std::uint32_t entry = 0; entry < 1024; ++entry) {
        steps.push_back(entry << 22);
        steps.push_back((entry << 22) - 1);
        steps.push_back((entry << 22) + (1u << 21));
    }
    std::mt19937 random(7);
    for (int i = 0; i < 100000; ++i)
        steps.push_back(static_cast<std::uint32_t>(random()));
    for (const std::uint32_t s : steps) {
        const SineCosine got = trigonometry(s);
        const double angle = FromSteps(s);
        ASSERT_NEAR(got.sin, std::sin(angle), 2e-15) << s;
        ASSERT_NEAR(got.cos, std::cos(angle), 2e-15) << s;
    }
}

TEST(StepAngles, AnAngleComesBackWithinHalfAStepOnTheSameCircle) {
    const double step = kStepsTwoPi / kCircleSteps;
    for (const double angle : {0.0, 1e-9, 1.0, kStepsPi / 2, kStepsPi, -kStepsPi / 3,
                               kStepsTwoPi - 1e-10, 7 * kStepsPi, -12.5}) {
        const double back = FromSteps(ToSteps(angle));
        const double off = std::remainder(back - angle, kStepsTwoPi);
        EXPECT_LE(std::abs(off), step / 2 + 1e-15) << angle;
        EXPECT_GE(back, 0.0);
        EXPECT_LT(back, kStepsTwoPi);
    }
    // Not an angle at all: no undefined conversion, a plain zero.
    EXPECT_EQ(ToSteps(std::numeric_limits<double>::quiet_NaN()), 0u);
    EXPECT_EQ(ToSteps(std::numeric_limits<double>::infinity()), 0u);
}

}  // namespace
}  // namespace talvik
