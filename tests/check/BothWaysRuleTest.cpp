// The both-ways rules at their limit: a distance or height difference measured back from T to A
// that differs from the one measured from A to T by 0.85 and 0.99 times the tolerance is silent,
// by 1.01 and 1.15 times found. The tolerance is computed here from the documented formula,
// k·√(σ_there² + σ_home²), each way the mean of its n readings:
//   distance: σ_way² = (σ_d(h)² + (h cot z σ_z(h))²) / n + 2 σ_cent²
//   height:   σ_way² = ((h σ_z(h))² + (σ_d(h) cos z)²) / n + 2 σ_inst²
//   k = max(4, Φ⁻¹(1 − 0.0025 / (2 m))), m the network's pair comparisons: every two readings
//   of one quantity of one sight, and every pair measured both ways
// on many generated sights up to 1.5 km (where curvature and refraction reach 0.15 m), with
// standard deviations and rounds drawn per case.

#include <gtest/gtest.h>

#include "ObservedNetwork.h"
#include "check/Snooping.h"

namespace talvik::observed {
namespace {

CheckChoices DrawnSigmas(std::mt19937& draw) {
    std::uniform_real_distribution<double> u(0.0, 1.0);
    CheckChoices c;
    c.absHor = 0.001 + 0.004 * u(draw);
    c.relHor = 0.001 * u(draw);
    c.absVer = 0.001 + 0.004 * u(draw);
    c.relVer = 0.002 * u(draw);
    c.absDis = 0.001 + 0.004 * u(draw);
    c.relDis = 0.5 + 5.0 * u(draw);
    c.sigmaCent = 0.0005 + 0.004 * u(draw);
    c.sigmaInst = 0.0005 + 0.004 * u(draw);
    return c;
}

TEST(BothWaysRule, PairsDisagreeingJustInsideAreSilentJustOutsideFound) {
    std::mt19937 draw(280);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    int cases = 0;
    for (int n = 0; n < 60; ++n) {
        const CheckChoices sigmas = DrawnSigmas(draw);
        const double h = 50.0 + 1450.0 * u(draw);
        const double bearing = 2.0 * kPi * u(draw);
        const double rise = 60.0 * (u(draw) - 0.5);
        Design d;
        d.truth = {{"A", {5000, 5000, 20}},
                   {"R", {5000 - 150, 5000 + 200, 25}},
                   {"T", {5000 + h * std::sin(bearing), 5000 + h * std::cos(bearing), 20 + rise}}};
        d.known = {"A", "R"};
        d.setUps = {{"A", {{"R"}, {"T"}}}, {"T", {{"A"}}}};
        d.rounds = 1 << (n % 4);  // 1 to 8 rounds of both faces
        const double readings = 2.0 * d.rounds;
        // Three sights, three quantities each, every two of their readings (a station record's
        // reference direction is one more direction of its target); one distance and one
        // height difference both ways.
        const auto pairs = [](double count) { return count * (count - 1.0) / 2.0; };
        const double comparisons =
            3.0 * 3.0 * pairs(readings) + 2.0 * (pairs(readings + 1.0) - pairs(readings)) + 2.0;
        const double k = std::max(4.0, adjustment::TwoSidedNormalQuantile(0.0025 / comparisons));
        const AngleUnit unit = static_cast<AngleUnit>(n % 3);
        const double sd = sigmas.absDis + sigmas.relDis * 1e-6 * h;
        const double sz = (sigmas.absVer + sigmas.relVer * h / 1000.0) * kGon;
        double distanceVariance = 0.0;
        double heightVariance = 0.0;
        for (const std::size_t setUp : {0u, 1u}) {
            const double z = TrueReading(d, setUp, setUp == 0 ? "T" : "A").zenith;
            const double across = h / std::tan(z) * sz;
            const double cosZ = std::cos(z);
            distanceVariance +=
                (sd * sd + across * across) / readings + 2.0 * sigmas.sigmaCent * sigmas.sigmaCent;
            heightVariance += (h * sz * h * sz + sd * cosZ * sd * cosZ) / readings +
                              2.0 * sigmas.sigmaInst * sigmas.sigmaInst;
        }
        const double tolerances[2] = {k * std::sqrt(distanceVariance),
                                      k * std::sqrt(heightVariance)};
        for (const bool height : {false, true}) {
            for (const double factor : {0.85, 0.99, 1.01, 1.15}) {
                SCOPED_TRACE(::testing::Message()
                             << "case " << n << ", h " << h << ", rounds " << d.rounds << ", k "
                             << k << ", height " << height << ", " << factor);
                const double delta = factor * tolerances[height];
                Booking b;
                b.unit = unit;
                b.sigmas = sigmas;
                // T's readings back to A: the horizontal distance longer by delta, or the height
                // difference (from T to A) larger by delta.
                b.change = [&](Reading& r) {
                    if (r.station != "T") return;
                    const double sine = std::abs(std::sin(r.zenith));
                    if (!height) {
                        r.slope += delta / sine;
                    } else {
                        const double dz = -delta / (r.slope * sine);
                        r.zenith += r.face == 2 ? -dz : dz;
                    }
                };
                const CheckReport report = Check(d, FieldFile(d, b), unit, sigmas);
                const bool found =
                    Says(report, height ? "hoogteverschil A-T: heen " : "afstand A-T: heen ");
                EXPECT_EQ(found, factor > 1.0) << Errors(report);
                ++cases;
            }
        }
    }
    EXPECT_EQ(cases, 480);
}

}  // namespace
}  // namespace talvik::observed
