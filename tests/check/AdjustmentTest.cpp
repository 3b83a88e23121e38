// The adjustment and data snooping on networks made from true coordinates: exact readings give
// the truth and nothing rejected; noise at the export's standard deviations seldom rejects
// anything; a blunder is rejected and named with its size.

#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <cmath>
#include <fstream>
#include <random>
#include <set>

#include "check/Adjustment.h"
#include "check/AdjustmentInput.h"
#include "check/CheckReading.h"
#include "check/CoordinateTable.h"
#include "check/LeastSquares.h"
#include "check/NetworkGenerator.h"
#include "check/Snooping.h"
#include "fieldfile/FieldFileReader.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"
#include "text/LineReader.h"

namespace talvik {
using namespace adjustment;
namespace {

using testing::Booking;
using testing::Design;

using testing::Outcome;

Outcome Adjusted(const Design& d, const Booking& b) {
    return testing::Checked(d, b);
}

double Offset(const Outcome& o, const Design& d, std::size_t i) {
    const auto& t = d.truth.at(o.network.points[i].name);
    const AdjustedPoint& a = o.verdict.points[i];
    return std::hypot(a.x - t.x, a.y - t.y, a.h - t.z);
}

std::vector<Design> Designs() {
    return {testing::Traverse(8), testing::FreeStations(), testing::Intersections(),
            testing::Mesh(6, 10)};
}

// ---- the least-squares core against a dense inverse ----

TEST(LeastSquares, CofactorsOnThePatternAreThoseOfTheFullInverse) {
    std::mt19937 random(3);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    std::uniform_int_distribution<std::uint32_t> pick(0, 29);
    std::vector<Equation> equations;
    for (int k = 0; k < 120; ++k) {
        Equation e;
        e.sigma = 0.5 + std::abs(value(random));
        std::set<std::uint32_t> used;
        while (used.size() < 3)
            used.insert(pick(random));
        for (const std::uint32_t u : used)
            e.Add(u, value(random));
        e.misclosure = value(random);
        equations.push_back(e);
    }
    NormalEquations normal;
    std::vector<std::uint32_t> weak;
    ASSERT_TRUE(normal.Factor(30, equations, weak));
    normal.SelectInverse();
    Eigen::MatrixXd n = Eigen::MatrixXd::Zero(30, 30);
    for (const Equation& e : equations)
        for (int k = 0; k < e.count; ++k)
            for (int l = 0; l < e.count; ++l)
                n(e.unknown[k], e.unknown[l]) += e.a[k] * e.a[l] / (e.sigma * e.sigma);
    const Eigen::MatrixXd q = n.inverse();
    for (const Equation& e : equations) {
        for (int k = 0; k < e.count; ++k)
            for (int l = 0; l < e.count; ++l)
                EXPECT_NEAR(normal.Cofactor(e.unknown[k], e.unknown[l]),
                            q(e.unknown[k], e.unknown[l]), 1e-9);
        double aqa = 0.0;
        for (int k = 0; k < e.count; ++k)
            for (int l = 0; l < e.count; ++l)
                aqa += e.a[k] * e.a[l] * q(e.unknown[k], e.unknown[l]);
        EXPECT_NEAR(normal.ResidualCofactor(e), e.sigma * e.sigma - aqa, 1e-9);
    }
}

TEST(LeastSquares, AnUndeterminedUnknownIsNamedNotSolved) {
    // Unknown 2 only ever appears as the difference with unknown 1's twin: x2 - x3.
    std::vector<Equation> equations(3);
    equations[0].Add(0, 1.0);
    equations[1].Add(1, 1.0);
    equations[1].Add(0, -1.0);
    equations[2].Add(2, 1.0);
    equations[2].Add(3, -1.0);
    NormalEquations normal;
    std::vector<std::uint32_t> weak;
    EXPECT_FALSE(normal.Factor(4, equations, weak));
    ASSERT_EQ(weak.size(), 1u);
    EXPECT_TRUE(weak[0] == 2 || weak[0] == 3);
}

TEST(Snooping, CriticalValuesAreBonferronisAtOnePerCent) {
    // Φ⁻¹(1 - 0.01/2/n): n = 1 gives 2.5758, n = 1000 gives 4.4172.
    EXPECT_NEAR(CriticalW(1), 2.5758, 1e-4);
    EXPECT_NEAR(CriticalW(1000), 4.4172, 1e-4);
    EXPECT_NEAR(ChiSquareQuantile(0.01, 2.0), 9.2103, 1e-4);
    EXPECT_NEAR(ChiSquareQuantile(0.01, 100.0), 135.807, 0.05);  // Wilson-Hilferty
}

// ---- exact readings ----

TEST(Adjustment, ExactReadingsGiveTheTruthAndRejectNothingInEveryUnitAndDesign) {
    for (const Design& d : Designs()) {
        std::vector<AdjustedPoint> gon;
        for (const AngleUnit unit :
             {AngleUnit::Gon, AngleUnit::DecimalDegrees, AngleUnit::DegreesMinutesSeconds}) {
            SCOPED_TRACE(d.setUps.size() * 10 + static_cast<std::size_t>(unit));
            Booking b;
            b.unit = unit;
            Design rounds = d;
            rounds.rounds = unit == AngleUnit::Gon ? 2 : 1;
            const Outcome o = Adjusted(rounds, b);
            ASSERT_TRUE(o.verdict.ran);
            EXPECT_TRUE(o.verdict.rejections.empty())
                << RejectionText(o.network, o.verdict.rejections.front(), unit);
            EXPECT_LT(o.verdict.varianceFactor, 1e-4);
            for (std::size_t i = 0; i < o.network.points.size(); ++i) {
                ASSERT_TRUE(o.verdict.points[i].adjusted) << o.network.points[i].name;
                EXPECT_LT(Offset(o, d, i), 1e-4) << o.network.points[i].name;
            }
            // The same network in gon and in degrees: the same coordinates.
            if (unit == AngleUnit::Gon) gon = o.verdict.points;
            for (std::size_t i = 0; i < gon.size(); ++i)
                EXPECT_NEAR(o.verdict.points[i].x, gon[i].x, 1e-5);
        }
    }
}

// ---- noise ----

// Over 200 seeds per design, networks with noise at the standard deviations: how many show a
// rejection (the critical value promises at most 1 %), and the variance factor near 1.
TEST(Adjustment, NoiseRejectsNothingInAtLeast99PerCentOfNetworks) {
    for (const Design& d : Designs()) {
        int falseNetworks = 0;
        double factor = 0.0;
        for (std::uint32_t seed = 1; seed <= 200; ++seed) {
            std::mt19937 noise(seed);
            Booking b;
            b.noise = &noise;
            const Outcome o = Adjusted(d, b);
            ASSERT_TRUE(o.verdict.ran);
            if (!o.verdict.rejections.empty()) ++falseNetworks;
            factor += o.verdict.varianceFactor;
        }
        SCOPED_TRACE(d.setUps.size());
        EXPECT_LE(falseNetworks, 2);
        EXPECT_NEAR(factor / 200.0, 1.0, 0.3);
        std::printf(
            "design of %zu set-ups: %d of 200 networks with a rejection, mean variance "
            "factor %.3f\n",
            d.setUps.size(), falseNetworks, factor / 200.0);
    }
}

// ---- blunders ----

struct BlunderCase {
    const char* what;
    std::size_t setUp, aim;
    double distance, direction, zenith;
    ObservationKind kind;
    double size;  // the estimate expected (m or rad), within 20 %
};

TEST(Snooping, EachBlunderIsRejectedNamedAndSized) {
    const Design mesh = testing::Mesh(6, 10);
    const BlunderCase cases[] = {
        {"distance", 23, 1, 0.10, 0, 0, ObservationKind::Distance, 0.10},
        {"direction", 31, 2, 0, 0.020 * testing::kGon, 0, ObservationKind::Direction,
         0.020 * testing::kGon},
        {"zenith", 17, 0, 0, 0, 0.050 * testing::kGon, ObservationKind::HeightDifference, 0.0},
    };
    for (const BlunderCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::mt19937 noise(11);
        Booking b;
        b.noise = &noise;
        const std::string target = mesh.setUps[c.setUp].aims[c.aim].target;
        b.change = testing::Blundered({c.setUp, target, 1, 1, c.direction, c.zenith, c.distance});
        const Outcome o = Adjusted(mesh, b);
        ASSERT_TRUE(o.verdict.ran);
        ASSERT_EQ(o.verdict.rejections.size(), 1u);
        const Rejection& r = o.verdict.rejections[0];
        const Reading& reading = o.network.readings[r.reading];
        EXPECT_EQ(r.kind, c.kind);
        EXPECT_EQ(o.network.points[reading.station].name, mesh.setUps[c.setUp].station);
        EXPECT_EQ(o.network.points[reading.target].name, target);
        EXPECT_EQ(reading.face, 1);
        EXPECT_GT(std::abs(r.w), o.verdict.critical);
        if (c.size != 0.0) {
            EXPECT_NEAR(r.estimate, c.size, 0.2 * c.size);
        }
        // The text names it all.
        const std::string text = RejectionText(o.network, r, AngleUnit::Gon);
        EXPECT_NE(text.find("standplaats " + mesh.setUps[c.setUp].station), std::string::npos)
            << text;
        EXPECT_NE(text.find("geschatte fout"), std::string::npos) << text;
    }
}

// The w of a rejection is the residual over its own standard deviation: checked against a
// dense computation of the same adjustment.
TEST(Snooping, NormalisedResidualsAreThoseOfTheDenseComputation) {
    std::mt19937 noise(5);
    Booking b;
    b.noise = &noise;
    const Design d = testing::FreeStations();
    const Outcome o = Adjusted(d, b);
    Adjustment adjustment(o.network, SigmasFrom(ChoicesFrom(ExportOptions{}, AngleUnit::Gon)));
    ASSERT_TRUE(adjustment.Run());
    ASSERT_TRUE(adjustment.Run());  // once more from the solution: the Jacobian there
    // The same w from the residuals and the redundancy numbers: Σ r = n - u.
    double total = 0.0;
    for (const Tested& t : adjustment.Results())
        total += t.redundancy;
    EXPECT_NEAR(total, static_cast<double>(adjustment.Redundancy()), 1e-6);
    for (std::size_t i = 0; i < adjustment.Results().size(); ++i) {
        const Tested& t = adjustment.Results()[i];
        if (t.w == 0.0) continue;
        const double sigma = adjustment.Observations()[i].sigma;
        EXPECT_NEAR(t.w, t.residual / (sigma * std::sqrt(t.redundancy)), 1e-9);
    }
}

TEST(Snooping, TwoBlundersAreTakenOutOneByOneEachOnce) {
    const Design mesh = testing::Mesh(6, 10);
    std::mt19937 noise(21);
    Booking b;
    b.noise = &noise;
    const auto distance = testing::Blundered({12, mesh.setUps[12].aims[0].target, 1, 1, 0, 0, 0.3});
    const auto direction =
        testing::Blundered({12, mesh.setUps[12].aims[1].target, 1, 1, 0.05 * testing::kGon, 0, 0});
    b.change = [&](testing::Reading& r) {
        distance(r);
        direction(r);
    };
    const Outcome o = Adjusted(mesh, b);
    ASSERT_TRUE(o.verdict.ran);
    std::set<std::uint32_t> taken;
    for (const Rejection& r : o.verdict.rejections)
        EXPECT_TRUE(taken.insert(r.observation).second) << "rejected twice";
    ASSERT_EQ(o.verdict.rejections.size(), 2u);
    std::set<ObservationKind> kinds;
    for (const Rejection& r : o.verdict.rejections)
        kinds.insert(r.kind);
    EXPECT_EQ(kinds,
              (std::set<ObservationKind>{ObservationKind::Distance, ObservationKind::Direction}));
}

TEST(Snooping, AKnownPointThatMovedIsNamedWithItsShift) {
    for (const Design& d : {testing::FreeStations(), testing::Traverse(20)}) {
        Design moved = d;
        const std::string name = d.known[2];
        std::mt19937 noise(8);
        Booking b;
        b.noise = &noise;
        const std::string field = testing::FieldFile(d, b);
        // The readings are of the true network; the point's booked coordinates are 0.3 m off.
        moved.truth[name].x += 0.3;
        moved.truth[name].y -= 0.2;
        const Outcome o = testing::Checked(moved, Booking{}, field);
        const Network& net = o.network;
        const Verdict& v = o.verdict;
        ASSERT_TRUE(v.ran);
        ASSERT_FALSE(v.rejections.empty());
        const Rejection& r = v.rejections.front();
        EXPECT_EQ(r.kind, ObservationKind::KnownX);
        EXPECT_EQ(net.points[r.reading].name, name);
        EXPECT_NEAR(r.shiftX, 0.3, 0.05);
        EXPECT_NEAR(r.shiftY, -0.2, 0.05);
        EXPECT_NE(RejectionText(net, r, AngleUnit::Gon).find("bekend punt " + name),
                  std::string::npos);
    }
}

// ---- the whole path: files on the disk, the check's report, the coordinate table ----

TEST(Adjustment, TheCheckReportsTheAdjustmentAndWritesItsCoordinates) {
    testing::TempFolder folder;
    const Design d = testing::Traverse(6);
    Booking b;
    b.change = testing::Blundered({3, "T4", 1, 1, 0, 0, 0.48});
    {
        std::ofstream(folder.Path("net.fld"), std::ios::binary) << testing::FieldFile(d, b);
        std::string idex =
            "HEADER\r\n  VERSION      1.20\r\nEND HEADER\r\nDATABASE\r\n"
            "  POINTS (PointNo,PointID,East,North,Elevation,Code,LayerNo)\r\n";
        int n = 1;
        for (const std::string& k : d.known) {
            const auto& p = d.truth.at(k);
            idex += "    " + std::to_string(n++) + ", \"" + k + "\", " + testing::Text(p.x) + ", " +
                    testing::Text(p.y) + ", " + testing::Text(p.z) + ", \"K\", 0;\r\n";
        }
        idex += "  END POINTS\r\nEND DATABASE\r\n";
        std::ofstream(folder.Path("net.idx"), std::ios::binary) << idex;
    }
    ExportOptions options;
    options.SelCode[1] = "K1";
    options.Fieldfile = folder.Path("net.fld");
    options.IdexFile = folder.Path("net.idx");
    testing::RecordingUi ui;
    const std::optional<CheckReport> report = CheckFiles(options, ui);
    ASSERT_TRUE(report);
    // The blundered reading's line: the first reading of T4 after T3's station record (every
    // line of the generated file begins with its own number).
    const std::string field = testing::FieldFile(d, b);
    const std::size_t record = field.find(" 111 T4 ", field.find(" 102 T3 "));
    const std::size_t begin = field.rfind('\n', record) + 1;
    const std::string line = field.substr(begin, record - begin);
    std::size_t named = 0;
    for (const Finding& f : report->findings)
        if (f.severity == Severity::Error &&
            f.text.starts_with("standplaats T3, T4: afstand (kijkerstand 1, regel " + line +
                               ") verworpen, w ") &&
            f.text.ends_with(", geschatte fout 0.480 m"))
            ++named;
    EXPECT_EQ(named, 1u);
    ASSERT_TRUE(WriteCoordinateTable(*report, folder.Path("c.csv"), *new std::string));
    std::ifstream in(folder.Path("c.csv"), std::ios::binary);
    const std::string table((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(table.rfind("punt,x,y,h,sx,sy,sh\r\n", 0), 0u);
    // T2 within a centimetre of its truth (the blunder is out), with its deviations.
    const std::size_t at = table.find("\r\nT2,");
    ASSERT_NE(at, std::string::npos);
    double x = 0, y = 0;
    std::sscanf(table.c_str() + at + 5, "%lf,%lf", &x, &y);
    EXPECT_NEAR(x, d.truth.at("T2").x, 0.01);
    EXPECT_NEAR(y, d.truth.at("T2").y, 0.01);
}

}  // namespace
}  // namespace talvik
