#pragma once
// Angles as 32-bit fractions of the full circle, and their sines and cosines from a table: the
// network check keeps a sight's angles so and takes a sine and a cosine for nearly every sight.

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace talvik {

// An angle as a 32-bit fraction of the full circle: steps of 1.5e-9 radians (0.1 micro-gon,
// a thousandth of a millimetre at 500 m), and a circle that closes by itself.
inline constexpr double kStepsPi = 3.14159265358979323846;
inline constexpr double kStepsTwoPi = 2.0 * kStepsPi;
inline constexpr double kCircleSteps = 4294967296.0;
inline std::uint32_t ToSteps(double radians) {
    if (!(std::abs(radians) < 1e6)) return 0;  // not an angle a reading gives
    return static_cast<std::uint32_t>(
        static_cast<std::int64_t>(std::floor(radians / kStepsTwoPi * kCircleSteps + 0.5)));
}
inline double FromSteps(std::uint32_t steps) {
    return static_cast<double>(steps) * (kStepsTwoPi / kCircleSteps);
}

// Sine and cosine of an angle in steps: a table of 1 024 and short series for the rest, to a
// few units in the last place and several times as quick as the library's, for the loops that
// take one for every sight. A turn by (sin, cos) of a set-up's orientation gives the bearing's.
struct SineCosine {
    double sin = 0.0;
    double cos = 1.0;
    SineCosine Turned(const SineCosine& by) const {
        return {sin * by.cos + cos * by.sin, cos * by.cos - sin * by.sin};
    }
};
class StepTrigonometry {
  public:
    StepTrigonometry() {
        for (std::size_t i = 0; i < table_.size(); ++i) {
            const double angle = kStepsTwoPi * static_cast<double>(i) / kEntries;
            table_[i] = {std::sin(angle), std::cos(angle)};
        }
    }
    SineCosine operator()(std::uint32_t steps) const {
        const double r = static_cast<double>(steps & kRest) * (kStepsTwoPi / kCircleSteps);
        const double r2 = r * r;
        const SineCosine rest{
            r * (1.0 - r2 / 6.0 * (1.0 - r2 / 20.0 * (1.0 - r2 / 42.0 * (1.0 - r2 / 72.0)))),
            1.0 - r2 / 2.0 * (1.0 - r2 / 12.0 * (1.0 - r2 / 30.0 * (1.0 - r2 / 56.0)))};
        return rest.Turned(table_[steps >> kShift]);
    }

  private:
    static constexpr int kShift = 22;
    static constexpr double kEntries = 1024.0;
    static constexpr std::uint32_t kRest = (1u << kShift) - 1;
    std::array<SineCosine, 1024> table_;
};

}  // namespace talvik
