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

std::vector<Test> TestsOf(const Adjustment& adjustment) {
    std::vector<Test> tests;
    const auto& observations = adjustment.Observations();
    const auto& members = adjustment.Members();
    const auto& results = adjustment.Results();
    const auto& points = adjustment.Points();
    for (std::uint32_t i = 0; i < observations.size(); ++i) {
        const Observation& o = observations[i];
        if (!o.active || o.kind == ObservationKind::KnownY) continue;
        const Tested& t = results[i];
        if (o.kind == ObservationKind::KnownX) {
            // Its y is the next observation.
            if (i + 1 >= observations.size() ||
                observations[i + 1].kind != ObservationKind::KnownY || !observations[i + 1].active)
                continue;
            PointTest p;
            if (!TestKnownPoint(t.residual, results[i + 1].residual, o.sigma, points[o.reading], p))
                continue;
            Test test;
            test.observation = i;
            test.point = true;
            test.w = std::sqrt(p.t);
            test.estimate = std::hypot(p.shiftX, p.shiftY);
            test.shiftX = p.shiftX;
            test.shiftY = p.shiftY;
            tests.push_back(test);
            continue;
        }
        // The whole observation: a sight's mean, a known height, a sight of one reading.
        if (t.w != 0.0) {
            Test test;
            test.observation = i;
            test.w = t.w;
            test.estimate = t.residual / t.redundancy;
            if (o.n == 1)
                for (std::uint32_t m = o.first; m < o.first + o.count; ++m)
                    if (members[m].active) test.member = m;
            tests.push_back(test);
        }
        if (o.n < 2) continue;
        // Each reading against the others of its sight and the network.
        const double n = o.n;
        const double mean = o.sigma * o.sigma;
        const double variance =
            (1.0 - 1.0 / n) / o.readVariance + t.cofactor / (n * n * mean * mean);
        for (std::uint32_t m = o.first; m < o.first + o.count; ++m) {
            if (!members[m].active) continue;
            const double numerator =
                Deviation(o, members[m]) / o.readVariance + t.residual / (n * mean);
            Test test;
            test.observation = i;
            test.member = m;
            test.w = numerator / std::sqrt(variance);
            test.estimate = numerator / variance;
            tests.push_back(test);
        }
    }
    return tests;
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
    const auto& observations = adjustment.Observations();
    const auto& members = adjustment.Members();
    bool first = true;
    for (;;) {
        const std::vector<Test> tests = TestsOf(adjustment);
        if (first) {
            // Every test the first adjustment can make shares alpha.
            v.tests = tests.size();
            v.critical = CriticalW(v.tests, alpha);
            v.pointCritical = ChiSquareQuantile(
                alpha / static_cast<double>(std::max<std::size_t>(v.tests, 1)), 2.0);
            first = false;
        }
        // The largest test statistic against its critical value.
        double worst = 1.0;
        const Test* chosen = nullptr;
        for (const Test& t : tests) {
            const double ratio =
                t.point ? std::sqrt(t.w * t.w / v.pointCritical) : std::abs(t.w) / v.critical;
            if (ratio > worst) {
                worst = ratio;
                chosen = &t;
            }
        }
        if (chosen == nullptr) {
            if (adjustment.Converged()) break;
            v.ran = false;
            return v;
        }
        if (v.rejections.size() == kMostRejections) {
            v.stoppedEarly = true;
            break;
        }
        const Observation& o = observations[chosen->observation];
        Rejection r;
        r.observation = chosen->observation;
        r.kind = o.kind;
        r.reading = chosen->member >= 0 ? members[static_cast<std::size_t>(chosen->member)].reading
                                        : o.reading;
        r.w = chosen->w;
        r.estimate = chosen->estimate;
        r.shiftX = chosen->shiftX;
        r.shiftY = chosen->shiftY;
        if (chosen->member < 0 && o.count > 0) {
            r.sight = true;
            for (std::uint32_t m = o.first; m < o.first + o.count; ++m)
                if (members[m].active) r.readings.push_back(members[m].reading);
            r.reading = r.readings.front();
        }
        adjustment.Reject(chosen->observation, chosen->member);
        // A known point leaves with both its coordinates.
        if (chosen->point) adjustment.Reject(chosen->observation + 1);
        v.rejections.push_back(std::move(r));
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
    // A sight is tested where its mean has a test (and then its readings one by one).
    const auto& results = adjustment.Results();
    for (std::size_t i = 0; i < observations.size(); ++i) {
        const Observation& o = observations[i];
        if (!o.active || o.kind >= ObservationKind::KnownX || results[i].w == 0.0) continue;
        const Reading& r = network.readings[o.reading];
        v.tested.push_back({r.station, r.target, o.kind});
    }
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
    if (r.kind == ObservationKind::InstrumentHeight) {
        // The estimate is 0 minus the adjusted error of the booked height: its negative is
        // that error (positive when booked too high).
        return "standplaats " + network.points[reading.station].name + ": instrumenthoogte " +
               Fixed(reading.instrumentHeight, 3) +
               " m past niet bij de hoogteverschillen, geschatte fout " + Fixed(-r.estimate, 3) +
               " m, w " + w;
    }
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
    if (r.sight) {
        // The whole sight: its faces, and its lines (the first few).
        bool faces[3] = {false, false, false};
        std::vector<std::uint32_t> lines;
        for (const std::uint32_t i : r.readings) {
            faces[network.readings[i].face == 2 ? 2 : 1] = true;
            if (network.readings[i].line > 0) lines.push_back(network.readings[i].line);
        }
        std::sort(lines.begin(), lines.end());
        where = "alle " + std::to_string(r.readings.size()) + " lezingen: kijkerstand " +
                (faces[1] && faces[2] ? "1 en 2"
                 : faces[2]           ? "2"
                                      : "1");
        if (lines.size() == 1) where += ", regel " + std::to_string(lines[0]);
        if (lines.size() > 1) {
            constexpr std::size_t kNamed = 4;
            where += ", regels ";
            const std::size_t named = std::min(lines.size(), kNamed);
            for (std::size_t k = 0; k < named; ++k) {
                if (k > 0) where += k + 1 == named && named == lines.size() ? " en " : ", ";
                where += std::to_string(lines[k]);
            }
            if (lines.size() > named) where += " en nog " + std::to_string(lines.size() - named);
        }
    }
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
