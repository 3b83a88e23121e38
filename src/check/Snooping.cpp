#include "check/Snooping.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace talvik::adjustment {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kGon = kPi / 200.0;

std::string Fixed(double value, int decimals) {
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return error == std::errc() ? std::string(buffer, end) : std::string("?");
}

std::string AngleText(double radians, AngleUnit unit) {
    if (unit == AngleUnit::Gon) return Fixed(radians / kGon, 4) + " gon";
    return Fixed(radians * 180.0 / kPi, 5) + " graden";
}

// A known point's test in the plane: T = eᵀ Qvv⁻¹ e over its two coordinate observations, and
// the shift that explains them, σ²·Qvv⁻¹·e. False when the point has no redundancy.
struct PointTest {
    double t = 0.0, shiftX = 0.0, shiftY = 0.0;
};
bool TestKnownPoint(double ex, double ey, double sigma, const AdjustedPoint& p, PointTest& out) {
    const double s2 = sigma * sigma;
    const double a = s2 - p.sx * p.sx;
    const double d = s2 - p.sy * p.sy;
    const double b = -p.qxy;
    const double det = a * d - b * b;
    if (!(det > 1e-6 * s2 * s2)) return false;
    const double ix = (d * ex - b * ey) / det;
    const double iy = (a * ey - b * ex) / det;
    out.t = ex * ix + ey * iy;
    out.shiftX = s2 * ix;
    out.shiftY = s2 * iy;
    return true;
}

}  // namespace

double TwoSidedNormalQuantile(double alpha) {
    // erfc(k/√2) = alpha, by halving: erfc falls monotonically.
    double low = 0.0;
    double high = 40.0;
    for (int i = 0; i < 200; ++i) {
        const double middle = 0.5 * (low + high);
        (std::erfc(middle / std::sqrt(2.0)) > alpha ? low : high) = middle;
    }
    return 0.5 * (low + high);
}

double ChiSquareQuantile(double alpha, double degrees) {
    if (degrees == 2.0) return -2.0 * std::log(alpha);
    const double z = TwoSidedNormalQuantile(2.0 * alpha);  // one-sided
    const double c = 2.0 / (9.0 * degrees);
    const double root = 1.0 - c + z * std::sqrt(c);
    return degrees * root * root * root;
}

double CriticalW(std::size_t tests, double alpha) {
    return TwoSidedNormalQuantile(alpha / static_cast<double>(std::max<std::size_t>(tests, 1)));
}

Verdict Snoop(const Network& network, const Sigmas& sigmas, double alpha) {
    Verdict v;
    Adjustment adjustment(network, sigmas);
    if (!adjustment.Run()) {
        v.tooLarge = adjustment.TooLarge();
        v.nothing = adjustment.Unknowns() == 0;
        return v;
    }
    // Nothing measured between placed points: nothing to adjust or to say.
    if (adjustment.ActiveReadings() == 0) {
        v.nothing = true;
        return v;
    }
    v.ran = true;
    auto& observations = adjustment.Observations();
    // The known points' plane observations by point: x at [p].first, y at [p].second.
    std::vector<std::pair<std::int64_t, std::int64_t>> known(network.points.size(), {-1, -1});
    for (std::uint32_t i = 0; i < observations.size(); ++i) {
        if (observations[i].kind == ObservationKind::KnownX)
            known[observations[i].reading].first = i;
        if (observations[i].kind == ObservationKind::KnownY)
            known[observations[i].reading].second = i;
    }
    bool first = true;
    for (;;) {
        const auto& results = adjustment.Results();
        const auto& points = adjustment.Points();
        if (first) {
            // Every test the first adjustment can make shares alpha.
            for (std::size_t i = 0; i < observations.size(); ++i) {
                const ObservationKind kind = observations[i].kind;
                if (kind == ObservationKind::KnownX) {
                    PointTest t;
                    const auto& [x, y] = known[observations[i].reading];
                    if (y >= 0 &&
                        TestKnownPoint(results[static_cast<std::size_t>(x)].residual,
                                       results[static_cast<std::size_t>(y)].residual,
                                       observations[i].sigma, points[observations[i].reading], t))
                        ++v.tests;
                } else if (kind != ObservationKind::KnownY && results[i].w != 0.0) {
                    ++v.tests;
                }
            }
            v.critical = CriticalW(v.tests, alpha);
            v.pointCritical = ChiSquareQuantile(
                alpha / static_cast<double>(std::max<std::size_t>(v.tests, 1)), 2.0);
            first = false;
        }
        // The largest test statistic against its critical value.
        double worst = 1.0;
        Rejection rejection;
        bool found = false;
        for (std::uint32_t i = 0; i < observations.size(); ++i) {
            const Observation& o = observations[i];
            if (!o.active) continue;
            if (o.kind == ObservationKind::KnownY) continue;
            if (o.kind == ObservationKind::KnownX) {
                const auto& [x, y] = known[o.reading];
                if (y < 0 || !observations[static_cast<std::size_t>(y)].active) continue;
                PointTest t;
                if (!TestKnownPoint(results[i].residual,
                                    results[static_cast<std::size_t>(y)].residual, o.sigma,
                                    points[o.reading], t))
                    continue;
                const double ratio = std::sqrt(t.t / v.pointCritical);
                if (ratio > worst) {
                    worst = ratio;
                    found = true;
                    rejection = {i,
                                 o.kind,
                                 o.reading,
                                 std::sqrt(t.t),
                                 std::hypot(t.shiftX, t.shiftY),
                                 t.shiftX,
                                 t.shiftY};
                }
                continue;
            }
            const Tested& t = results[i];
            if (t.w == 0.0) continue;
            const double ratio = std::abs(t.w) / v.critical;
            if (ratio > worst) {
                worst = ratio;
                found = true;
                rejection = {i, o.kind, o.reading, t.w, t.residual / t.redundancy, 0.0, 0.0};
            }
        }
        if (!found) break;
        if (v.rejections.size() == kMostRejections) {
            v.stoppedEarly = true;
            break;
        }
        v.rejections.push_back(rejection);
        observations[rejection.observation].active = false;
        if (rejection.kind == ObservationKind::KnownX)
            observations[static_cast<std::size_t>(known[rejection.reading].second)].active = false;
        if (!adjustment.Run()) {
            v.ran = false;
            return v;
        }
    }
    v.varianceFactor = adjustment.VarianceFactor();
    v.redundancy = adjustment.Redundancy();
    v.observations = adjustment.ActiveObservations();
    v.unknowns = adjustment.Unknowns();
    v.globalLimit = v.redundancy > 0
                        ? ChiSquareQuantile(kGlobalAlpha, static_cast<double>(v.redundancy)) /
                              static_cast<double>(v.redundancy)
                        : 0.0;
    v.points = adjustment.Points();
    v.dropped = adjustment.Dropped();
    return v;
}

std::string RejectionText(const Network& network, const Rejection& r, AngleUnit unit) {
    const std::string w = Fixed(std::abs(r.w), 1);
    if (r.kind == ObservationKind::KnownX) {
        return "bekend punt " + network.points[r.reading].name +
               ": past niet bij de andere bekende punten, verschoven " + Fixed(r.estimate, 3) +
               " m (X " + Fixed(r.shiftX, 3) + ", Y " + Fixed(r.shiftY, 3) + "), toets " + w;
    }
    if (r.kind == ObservationKind::KnownH) {
        return "bekend punt " + network.points[r.reading].name +
               ": hoogte past niet bij de andere bekende punten, geschatte fout " +
               Fixed(r.estimate, 3) + " m, w " + w;
    }
    const Reading& reading = network.readings[r.reading];
    std::string kind;
    std::string size;
    switch (r.kind) {
        case ObservationKind::Direction:
            kind = "richting";
            size = AngleText(r.estimate, unit);
            break;
        case ObservationKind::Distance:
            kind = "afstand";
            size = Fixed(r.estimate, 3) + " m";
            break;
        case ObservationKind::HeightDifference:
            kind = "hoogteverschil (zenithoek)";
            size = Fixed(r.estimate, 3) + " m";
            break;
        default:
            kind = "zenithoek";
            size = AngleText(r.estimate, unit);
            break;
    }
    std::string where = "kijkerstand " + std::to_string(reading.face);
    if (reading.line > 0) where += ", regel " + std::to_string(reading.line);
    return "standplaats " + network.points[reading.station].name + ", " +
           network.points[reading.target].name + ": " + kind + " (" + where + ") verworpen, w " +
           w + ", geschatte fout " + size;
}

std::string SummaryText(const Verdict& v) {
    return "vereffening: " + std::to_string(v.observations) + " waarnemingen, " +
           std::to_string(v.unknowns) + " onbekenden, overtalligheid " +
           std::to_string(v.redundancy) + ", variantiefactor " + Fixed(v.varianceFactor, 2) +
           " (grens " + Fixed(v.globalLimit, 2) + "), kritieke w " + Fixed(v.critical, 2) +
           " over " + std::to_string(v.tests) + " toetsen";
}

std::string GlobalWarning(const Verdict& v) {
    if (v.redundancy == 0 || v.varianceFactor <= v.globalLimit) return {};
    return "vereffening: variantiefactor " + Fixed(v.varianceFactor, 2) + " boven de grens " +
           Fixed(v.globalLimit, 2) +
           ": de metingen passen slechter dan hun standaardafwijkingen zeggen";
}

}  // namespace talvik::adjustment
