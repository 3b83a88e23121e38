// The spread rule at its limit: the readings of one target in one set-up (both faces, or
// repeated rounds in one face) that spread 0.85 and 0.99 times the tolerance are silent, 1.01
// and 1.15 times are found. The tolerance, k·√2·σ(h) with the export's σ over the sight's
// length (for a distance σ_d² + (h cot z σ_z)²) and k = max(4, Φ⁻¹(1 − 0.0025 / (2 m))) over the
// network's m comparisons of two readings, is computed here from the documented formula, on
// many generated sights with up to sixteen readings each, in every angle unit.

#include <gtest/gtest.h>

#include "ObservedNetwork.h"
#include "check/Snooping.h"

namespace talvik::observed {
namespace {

// Standard deviations drawn for a case, so that the export's own are what the rule reads.
CheckChoices DrawnSigmas(std::mt19937& draw) {
    std::uniform_real_distribution<double> u(0.0, 1.0);
    CheckChoices c;
    c.absHor = 0.0005 + 0.005 * u(draw);
    c.relHor = 0.002 * u(draw);
    c.absVer = 0.0005 + 0.005 * u(draw);
    c.relVer = 0.002 * u(draw);
    c.absDis = 0.001 + 0.004 * u(draw);
    c.relDis = 0.5 + 5.0 * u(draw);
    c.sigmaCent = 0.001 + 0.004 * u(draw);
    c.sigmaInst = 0.001 + 0.004 * u(draw);
    return c;
}

// A at the origin of the plan, R (known) to orient on, T at h metres.
Design SightOfLength(double h, double bearing, double rise) {
    Design d;
    d.truth = {{"A", {1000, 1000, 10}},
               {"R", {1000 - 120, 1000 + 160, 12}},
               {"T", {1000 + h * std::sin(bearing), 1000 + h * std::cos(bearing), 10 + rise}}};
    d.known = {"A", "R"};
    d.setUps = {{"A", {{"R"}, {"T"}}}};
    return d;
}

TEST(SpreadRule, ReadingsSpreadingJustInsideAreSilentJustOutsideFound) {
    enum Kind { kDirection, kZenith, kDistance };
    const char* const says[2][3] = {
        {"standplaats A, T: herhaalde richtingen lopen ", "standplaats A, T: herhaalde zenithoeken",
         "standplaats A, T: herhaalde afstanden lopen "},
        {"standplaats A, T: richtingen in kijkerstand 1 en 2 verschillen ",
         "standplaats A, T: zenithoeken in kijkerstand 1 en 2 wijken ",
         "standplaats A, T: afstanden in kijkerstand 1 en 2 verschillen "}};
    std::mt19937 draw(28);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    int cases = 0;
    for (int n = 0; n < 40; ++n) {
        const CheckChoices sigmas = DrawnSigmas(draw);
        const double h = 30.0 + 1500.0 * u(draw);
        Design d = SightOfLength(h, 2.0 * kPi * u(draw), 40.0 * (u(draw) - 0.5));
        const AngleUnit unit = static_cast<AngleUnit>(n % 3);
        const double zenith = TrueReading(d, 0, "T").zenith;
        for (const bool faces : {false, true}) {
            d.faces = faces ? 2 : 1;
            d.rounds = (faces ? 1 : 2) << (n % 4);  // 2 to 16 readings
            const double readings = d.faces * d.rounds;
            // Two sights, three quantities each, every two of their readings; the station
            // record's reference direction is one more direction of R.
            const auto pairs = [](double count) { return count * (count - 1.0) / 2.0; };
            const double comparisons = 5.0 * pairs(readings) + pairs(readings + 1.0);
            const double k =
                std::max(4.0, adjustment::TwoSidedNormalQuantile(0.0025 / comparisons));
            for (const Kind kind : {kDirection, kZenith, kDistance}) {
                const double sd = sigmas.absDis + sigmas.relDis * 1e-6 * h;
                const double sz = (sigmas.absVer + sigmas.relVer * h / 1000.0) * kGon;
                const double across = h / std::tan(zenith) * sz;
                const double sigma = kind == kDirection
                                         ? (sigmas.absHor + sigmas.relHor * h / 1000.0) * kGon
                                     : kind == kZenith ? sz
                                                       : std::sqrt(sd * sd + across * across);
                const double tolerance = k * std::sqrt(2.0) * sigma;
                for (const double factor : {0.85, 0.99, 1.01, 1.15}) {
                    SCOPED_TRACE(::testing::Message()
                                 << "case " << n << ", h " << h << ", kind " << kind << ", faces "
                                 << faces << ", readings " << readings << ", k " << k << ", "
                                 << factor);
                    const double delta = factor * tolerance;
                    Booking b;
                    b.unit = unit;
                    b.sigmas = sigmas;
                    // The second face (of every round), or the second round, of T moved by
                    // delta, as reduced.
                    b.change = [&](Reading& r) {
                        if (r.target != "T" || (faces ? r.face : r.round) != 2) return;
                        const double sign = r.face == 2 ? -1.0 : 1.0;
                        if (kind == kDirection) r.direction += delta;
                        if (kind == kZenith) r.zenith += sign * delta;
                        if (kind == kDistance) r.slope += delta / std::abs(std::sin(r.zenith));
                    };
                    const CheckReport report = Check(d, FieldFile(d, b), unit, sigmas);
                    EXPECT_EQ(Says(report, says[faces][kind]), factor > 1.0) << Errors(report);
                    ++cases;
                }
            }
        }
    }
    EXPECT_EQ(cases, 960);
}

// The distance booked 70.657 m in face 1 and 70.156 m in face 2 is found; so are two rounds
// that disagree as much.
TEST(SpreadRule, ADistanceBookedDifferentlyInItsFacesIsFound) {
    Design d = SightOfLength(70.4, 1.0, 0.3);
    for (const int faces : {2, 1}) {
        d.faces = faces;
        d.rounds = 3 - faces;
        Booking b;
        b.change = [&](Reading& r) {
            if (r.target != "T") return;
            const bool first = faces == 2 ? r.face == 1 : r.round == 1;
            r.slope = first ? 70.657 : 70.156;
        };
        const CheckReport report = Check(d, FieldFile(d, b));
        EXPECT_TRUE(Says(report, faces == 2
                                     ? "standplaats A, T: afstanden in kijkerstand 1 en 2 "
                                       "verschillen 0.501 m"
                                     : "standplaats A, T: herhaalde afstanden lopen 0.501 m"))
            << Errors(report);
    }
}

}  // namespace
}  // namespace talvik::observed
