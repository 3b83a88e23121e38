// The adjustment and data snooping on networks made from true coordinates: exact readings give
// the truth and nothing rejected; noise at the export's standard deviations seldom rejects
// anything; a blunder is rejected and named with its size.

#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
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

// The design booked with the noise of `seed`, and adjusted.
Outcome AdjustedWithNoise(const Design& d, std::uint32_t seed) {
    std::mt19937 noise(seed);
    Booking b;
    b.noise = &noise;
    return Adjusted(d, b);
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

// Twice on one pattern: the second factor takes the order and analysis of the first, with its
// own numbers, in either order. Patterns: a small one that fills in nearly whole, and a mesh with a
// few unknowns tied to far parts of it (an orientation's long column), whose factor has columns
// whose rows lie side by side in the columns they point to and columns whose rows do not.
TEST(LeastSquares, SolutionAndCofactorsAreThoseOfTheDenseComputationOnEveryFactor) {
    struct Case {
        const char* name;
        std::uint32_t unknowns;
        std::function<std::vector<std::vector<std::uint32_t>>(std::mt19937&)> pattern;
    };
    const Case cases[] = {
        {"random", 30,
         [](std::mt19937& random) {
             std::uniform_int_distribution<std::uint32_t> pick(0, 29);
             std::vector<std::vector<std::uint32_t>> rows;
             for (int k = 0; k < 120; ++k) {
                 std::set<std::uint32_t> used;
                 while (used.size() < 3)
                     used.insert(pick(random));
                 rows.emplace_back(used.begin(), used.end());
             }
             return rows;
         }},
        {"mesh with long ties", 150,
         [](std::mt19937& random) {
             // 12 x 12 nodes, 6 hubs (144..149), each tied to a dozen scattered nodes.
             std::uniform_int_distribution<std::uint32_t> node(0, 143);
             std::vector<std::vector<std::uint32_t>> rows;
             for (std::uint32_t r = 0; r < 12; ++r) {
                 for (std::uint32_t c = 0; c < 12; ++c) {
                     const std::uint32_t u = r * 12 + c;
                     rows.push_back({u});
                     if (c + 1 < 12) rows.push_back({u, u + 1});
                     if (r + 1 < 12) rows.push_back({u, u + 12});
                     if (c + 1 < 12 && r + 1 < 12) rows.push_back({u, u + 13});
                 }
             }
             for (std::uint32_t hub = 144; hub < 150; ++hub) {
                 for (int k = 0; k < 12; ++k) {
                     const std::uint32_t u = node(random);
                     rows.push_back({u, (u + 1) % 144, hub});
                 }
             }
             return rows;
         }},
    };
    for (const auto order :
         {NormalEquations::Order::MinimumDegree, NormalEquations::Order::Dissection}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            SCOPED_TRACE(order == NormalEquations::Order::Dissection ? "dissection"
                                                                     : "minimum degree");
            const std::uint32_t unknowns = c.unknowns;
            const auto size = static_cast<Eigen::Index>(unknowns);
            std::mt19937 random(3);
            std::uniform_real_distribution<double> value(-1.0, 1.0);
            std::vector<Equation> equations;
            for (const auto& row : c.pattern(random)) {
                Equation e;
                for (const std::uint32_t u : row)
                    e.Add(u, 0.0);
                equations.push_back(e);
            }
            NormalEquations normal(order);
            for (int round = 0; round < 2; ++round) {
                SCOPED_TRACE(round);
                for (Equation& e : equations) {
                    e.sigma = 0.5 + std::abs(value(random));
                    for (int k = 0; k < e.count; ++k)
                        e.a[k] = value(random) + (value(random) > 0.0 ? 1.0 : -1.0);
                    e.misclosure = value(random);
                }
                std::vector<std::uint32_t> weak;
                ASSERT_TRUE(normal.Factor(unknowns, equations, weak));
                const std::vector<double> dx = normal.Solve(equations);
                normal.SelectInverse();
                Eigen::MatrixXd n = Eigen::MatrixXd::Zero(size, size);
                Eigen::VectorXd right = Eigen::VectorXd::Zero(size);
                for (const Equation& e : equations) {
                    for (int k = 0; k < e.count; ++k) {
                        right[e.unknown[k]] += e.a[k] * e.misclosure / (e.sigma * e.sigma);
                        for (int l = 0; l < e.count; ++l)
                            n(e.unknown[k], e.unknown[l]) += e.a[k] * e.a[l] / (e.sigma * e.sigma);
                    }
                }
                const Eigen::MatrixXd q = n.inverse();
                const Eigen::VectorXd solution = q * right;
                ASSERT_EQ(dx.size(), unknowns);
                for (std::uint32_t u = 0; u < unknowns; ++u)
                    EXPECT_NEAR(dx[u], solution[u], 1e-9);
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
        }
    }
}

// The selected inverse on two threads (two subtrees of the elimination tree at once, after the
// columns above them) against one: the same cofactors to the last bit, run after run.
TEST(LeastSquares, TwoThreadsGiveTheCofactorsOfOneToTheLastBit) {
    // A mesh of 40 x 40 points (x and y), each tied to its right, upper and diagonal
    // neighbours, and 30 orientations tied to a row of eight points each.
    constexpr std::uint32_t kSide = 40;
    constexpr std::uint32_t kPoints = kSide * kSide;
    std::mt19937 random(7);
    std::uniform_real_distribution<double> value(0.5, 1.5);
    std::uniform_int_distribution<std::uint32_t> point(0, kPoints - 9);
    std::vector<Equation> equations;
    const auto tie = [&](std::uint32_t p, std::uint32_t q, std::int64_t orientation) {
        Equation e;
        e.Add(2 * p, -value(random));
        e.Add(2 * p + 1, value(random));
        e.Add(2 * q, value(random));
        e.Add(2 * q + 1, -value(random));
        if (orientation >= 0) e.Add(static_cast<std::uint32_t>(orientation), -1.0);
        e.sigma = value(random);
        e.misclosure = value(random) - 1.0;
        equations.push_back(e);
    };
    for (std::uint32_t r = 0; r < kSide; ++r) {
        for (std::uint32_t c = 0; c < kSide; ++c) {
            const std::uint32_t p = r * kSide + c;
            for (const std::uint32_t u : {2 * p, 2 * p + 1}) {
                Equation e;
                e.Add(u, 1.0);
                e.sigma = 10.0;
                equations.push_back(e);
            }
            if (c + 1 < kSide) tie(p, p + 1, -1);
            if (r + 1 < kSide) tie(p, p + kSide, -1);
            if (c + 1 < kSide && r + 1 < kSide) tie(p, p + kSide + 1, -1);
        }
    }
    for (std::uint32_t o = 0; o < 30; ++o) {
        const std::uint32_t station = point(random);
        for (std::uint32_t k = 1; k <= 8; ++k)
            tie(station, station + k, 2 * kPoints + o);
    }
    NormalEquations normal;
    std::vector<std::uint32_t> weak;
    ASSERT_TRUE(normal.Factor(2 * kPoints + 30, equations, weak));
    const auto cofactors = [&] {
        std::vector<double> all;
        for (const Equation& e : equations)
            for (int k = 0; k < e.count; ++k)
                for (int l = 0; l <= k; ++l)
                    all.push_back(normal.Cofactor(e.unknown[k], e.unknown[l]));
        return all;
    };
    normal.SelectInverse(false);
    const std::vector<double> one = cofactors();
    for (int run = 0; run < 3; ++run) {
        normal.SelectInverse(true);
        const std::vector<double> two = cofactors();
        ASSERT_EQ(two.size(), one.size());
        std::size_t differ = 0;
        for (std::size_t k = 0; k < one.size(); ++k)
            if (std::memcmp(&one[k], &two[k], sizeof(double)) != 0) ++differ;
        EXPECT_EQ(differ, 0u) << "of " << one.size() << ", run " << run;
    }
}

// Random readings tie every unknown to every other through the factor: the work is counted
// before anything is factored, and the factor is not begun.
TEST(LeastSquares, AnInterwovenNetworkIsNotFactored) {
    constexpr std::uint32_t kUnknowns = 6000;
    std::mt19937 random(5);
    std::uniform_int_distribution<std::uint32_t> pick(0, kUnknowns - 1);
    std::vector<Equation> equations;
    for (std::uint32_t k = 0; k < 2 * kUnknowns; ++k) {
        Equation e;
        e.Add(k % kUnknowns, 1.0);
        std::set<std::uint32_t> used{k % kUnknowns};
        while (used.size() < 3) {
            const std::uint32_t u = pick(random);
            if (used.insert(u).second) e.Add(u, -0.5);
        }
        equations.push_back(e);
    }
    NormalEquations normal;
    std::vector<std::uint32_t> weak;
    EXPECT_FALSE(normal.Factor(kUnknowns, equations, weak));
    EXPECT_TRUE(weak.empty()) << "too large, not undetermined";
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

TEST(Snooping, CriticalValuesAreBonferronisAtThreeQuartersOfAPerCent) {
    // Φ⁻¹(1 - 0.0075/2/n): n = 1 gives 2.6738, n = 1000 gives 4.4790.
    EXPECT_NEAR(CriticalW(1), 2.6738, 1e-4);
    EXPECT_NEAR(CriticalW(1000), 4.4790, 1e-4);
    EXPECT_NEAR(ChiSquareQuantile(0.01, 2.0), 9.2103, 1e-4);
    EXPECT_NEAR(ChiSquareQuantile(0.01, 100.0), 135.807, 0.05);  // Wilson-Hilferty
}

// The tests on sight means are Baarda's tests of the readings themselves with their full
// covariance (σ²·I + c·11ᵀ within a sight, SigmaInst² shared by all height readings of a
// set-up, whose instrument height the adjustment makes an unknown held by an observation): every
// reading's and every sight's w and ∇ against a dense computation of the readings alone,
// w = cᵀPe / √(cᵀP·Qvv·Pc), ∇ = cᵀPe / (cᵀP·Qvv·Pc), the variance factor Ω/(readings -
// unknowns), and no correction left at the adjustment's solution.
TEST(Snooping, TestsAreThoseOfTheReadingsWithTheirFullCovariance) {
    // Free stations in one round and in two; a mesh, whose stations are also targets (there
    // the instrument heights are told apart from the stations' heights).
    Design free1 = testing::FreeStations();
    Design free2 = free1;
    free2.rounds = 2;
    for (const Design& d : {free1, free2, testing::Mesh(3, 4)}) {
        SCOPED_TRACE(d.setUps.size() * 10 + static_cast<std::size_t>(d.rounds));
        std::mt19937 noise(5);
        Booking b;
        b.noise = &noise;
        // A blunder in one reading, so that the w are not all small.
        b.change = testing::Blundered(
            {1, d.setUps[1].aims[1].target, 2, d.rounds, 0.01 * testing::kGon, 0, 0.02});
        const Outcome o = Adjusted(d, b);
        Adjustment adjustment(o.network, SigmasFrom(ChoicesFrom(ExportOptions{}, AngleUnit::Gon)));
        // Compared at the first adjustment, and again with its largest reading taken out.
        for (int pass = 0; pass < 2; ++pass) {
            SCOPED_TRACE(pass);
            ASSERT_TRUE(adjustment.Run());
            ASSERT_TRUE(adjustment.Run());  // once more from the solution: the Jacobian there
            ASSERT_TRUE(adjustment.Converged());
            std::vector<Equation> equations;
            std::vector<std::uint32_t> of;
            adjustment.Linearise(equations, of);
            const auto& observations = adjustment.Observations();
            const auto& members = adjustment.Members();
            // The instrument heights' unknowns and their adjusted values (each observation of
            // one is 0 - δ), and the other unknowns numbered anew.
            const double inst2 = 0.005 * 0.005;
            std::map<std::uint32_t, double> instrument;
            for (std::size_t k = 0; k < equations.size(); ++k)
                if (observations[of[k]].kind == ObservationKind::InstrumentHeight)
                    instrument[equations[k].unknown[0]] = -equations[k].misclosure;
            ASSERT_FALSE(instrument.empty());
            std::vector<Eigen::Index> column(adjustment.Unknowns(), -1);
            Eigen::Index columns = 0;
            for (std::uint32_t x = 0; x < adjustment.Unknowns(); ++x)
                if (!instrument.contains(x)) column[x] = columns++;
            // One row per reading (a sight's row repeated), one per known coordinate.
            std::vector<std::pair<std::size_t, std::int64_t>> rows;  // equation, member
            for (std::size_t k = 0; k < equations.size(); ++k) {
                const Observation& ob = observations[of[k]];
                if (ob.kind == ObservationKind::InstrumentHeight) continue;
                if (ob.count == 0) rows.emplace_back(k, -1);
                for (std::uint32_t m = ob.first; m < ob.first + ob.count; ++m)
                    if (members[m].active) rows.emplace_back(k, m);
            }
            const auto n = static_cast<Eigen::Index>(rows.size());
            const Eigen::Index u = columns;
            Eigen::MatrixXd a = Eigen::MatrixXd::Zero(n, u);
            // A row's instrument height (its unknown + 1, 0 when none) and its coefficient.
            std::vector<std::uint32_t> stands(static_cast<std::size_t>(n), 0);
            std::vector<double> delta(static_cast<std::size_t>(n), 0.0);
            Eigen::MatrixXd sigma = Eigen::MatrixXd::Zero(n, n);
            Eigen::VectorXd l(n);
            for (Eigen::Index i = 0; i < n; ++i) {
                const auto [k, m] = rows[static_cast<std::size_t>(i)];
                const Equation& e = equations[k];
                const Observation& ob = observations[of[k]];
                l(i) = e.misclosure +
                       (m < 0 ? 0.0 : Deviation(ob, members[static_cast<std::size_t>(m)]));
                for (int c = 0; c < e.count; ++c) {
                    if (column[e.unknown[c]] >= 0) {
                        a(i, column[e.unknown[c]]) = e.a[c];
                    } else {
                        // The reading as booked, the instrument height's error in it.
                        l(i) += e.a[c] * instrument[e.unknown[c]];
                        delta[static_cast<std::size_t>(i)] = e.a[c];
                        stands[static_cast<std::size_t>(i)] = e.unknown[c] + 1;
                    }
                }
                for (Eigen::Index j = 0; j < n; ++j) {
                    const auto [k2, m2] = rows[static_cast<std::size_t>(j)];
                    if (k2 != k) continue;
                    sigma(i, j) = (m < 0 ? 0.0 : ob.shared) + (i == j ? ob.readVariance : 0.0);
                }
            }
            // The instrument height shared by the height readings of one set-up.
            for (std::size_t i = 0; i < stands.size(); ++i)
                for (std::size_t j = 0; j < stands.size(); ++j)
                    if (stands[i] != 0 && stands[i] == stands[j])
                        sigma(static_cast<Eigen::Index>(i), static_cast<Eigen::Index>(j)) +=
                            delta[i] * delta[j] * inst2;
            const Eigen::MatrixXd p = sigma.inverse();
            const Eigen::MatrixXd qxx = (a.transpose() * p * a).inverse();
            const Eigen::VectorXd dx = qxx * a.transpose() * p * l;
            EXPECT_LT(dx.cwiseAbs().maxCoeff(), 1e-7);  // the same solution
            const Eigen::VectorXd e = l - a * dx;
            const Eigen::MatrixXd qvv = sigma - a * qxx * a.transpose();
            const Eigen::VectorXd pe = p * e;
            const Eigen::MatrixXd pqp = p * qvv * p;
            EXPECT_NEAR(adjustment.VarianceFactor(), e.dot(pe) / static_cast<double>(n - u), 1e-6);
            const std::vector<adjustment::Test> tests = TestsOf(adjustment);
            std::size_t checked = 0;
            double largest = 0.0;
            for (const adjustment::Test& t : tests) {
                if (t.point ||
                    observations[t.observation].kind == ObservationKind::InstrumentHeight)
                    continue;
                // c: the reading tested, or every reading of the observation.
                Eigen::VectorXd c = Eigen::VectorXd::Zero(n);
                for (Eigen::Index i = 0; i < n; ++i) {
                    const auto [k, m] = rows[static_cast<std::size_t>(i)];
                    if (of[k] == t.observation && (t.member < 0 || m == t.member)) c(i) = 1.0;
                }
                ASSERT_GT(c.sum(), 0.0);
                const double top = c.dot(pe);
                const double bottom = c.dot(pqp * c);
                EXPECT_NEAR(t.w, top / std::sqrt(bottom), 1e-6 * (1.0 + std::abs(t.w)));
                EXPECT_NEAR(t.estimate, top / bottom, 1e-6 * (1e-3 + std::abs(t.estimate)));
                largest = std::max(largest, std::abs(t.w));
                ++checked;
            }
            EXPECT_GT(checked, 150u);
            EXPECT_GT(largest, 3.0);  // the blunder shows
            const auto worst =
                std::max_element(tests.begin(), tests.end(), [](const auto& x, const auto& y) {
                    return (x.member >= 0 ? std::abs(x.w) : 0.0) <
                           (y.member >= 0 ? std::abs(y.w) : 0.0);
                });
            adjustment.Reject(worst->observation, worst->member);
        }
    }
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
            EXPECT_EQ(o.report.Errors(), 0u) << testing::Errors(o.report);
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

// The iterations keep their factor after a small step: begun half a metre off, the adjustment
// ends at the solution with the cofactors of the solution (those of a second run, begun there),
// not with those of where it began.
TEST(Adjustment, FarApproximationsEndWithTheSolutionsCofactors) {
    const Design d = testing::Mesh(6, 10);
    const Outcome o = AdjustedWithNoise(d, 11);
    Network far = o.network;
    std::mt19937 random(2);
    std::uniform_real_distribution<double> shift(-0.5, 0.5);
    for (NetPoint& p : far.points) {
        if (p.known) continue;
        p.x += shift(random);
        p.y += shift(random);
        p.h += shift(random);
    }
    Adjustment adjustment(far, SigmasFrom(ChoicesFrom(ExportOptions{}, AngleUnit::Gon)));
    ASSERT_TRUE(adjustment.Run());
    ASSERT_TRUE(adjustment.Converged());
    const std::vector<AdjustedPoint> points = adjustment.Points();
    const std::vector<Tested> results = adjustment.Results();
    ASSERT_TRUE(adjustment.Run());
    const auto near = [](double a, double b) { return std::abs(a - b) <= 1e-4 * std::abs(b); };
    for (std::size_t i = 0; i < points.size(); ++i) {
        const AdjustedPoint& a = points[i];
        const AdjustedPoint& t = adjustment.Points()[i];
        SCOPED_TRACE(far.points[i].name);
        ASSERT_TRUE(a.adjusted);
        EXPECT_NEAR(a.x, t.x, 1e-5);
        EXPECT_NEAR(a.y, t.y, 1e-5);
        EXPECT_NEAR(a.h, t.h, 1e-5);
        EXPECT_TRUE(near(a.sx, t.sx) && near(a.sy, t.sy) && near(a.sh, t.sh))
            << a.sx << " " << t.sx << ", " << a.sy << " " << t.sy << ", " << a.sh << " " << t.sh;
    }
    ASSERT_EQ(results.size(), adjustment.Results().size());
    for (std::size_t k = 0; k < results.size(); ++k)
        EXPECT_TRUE(near(results[k].cofactor, adjustment.Results()[k].cofactor))
            << k << ": " << results[k].cofactor << " " << adjustment.Results()[k].cofactor;
}

// ---- noise ----

// Over 200 seeds per design (in each unit, one and two rounds), sound networks with noise drawn
// as in the field: how many show a rejection (the critical value promises at most 0.75 %: one
// or two in 200), and the variance factor near 1.
TEST(Adjustment, NoiseRejectsNothingInAtLeast99PerCentOfNetworks) {
    std::vector<Design> designs = Designs();
    designs[1].rounds = 2;
    const AngleUnit units[] = {AngleUnit::DegreesMinutesSeconds, AngleUnit::DecimalDegrees,
                               AngleUnit::Gon, AngleUnit::Gon};
    for (std::size_t k = 0; k < designs.size(); ++k) {
        const Design& d = designs[k];
        int falseNetworks = 0;
        double factor = 0.0;
        for (std::uint32_t seed = 1; seed <= 200; ++seed) {
            std::mt19937 noise(seed);
            Booking b;
            b.unit = units[k];
            b.noise = &noise;
            const Outcome o = Adjusted(d, b);
            ASSERT_TRUE(o.verdict.ran);
            if (!o.verdict.rejections.empty()) ++falseNetworks;
            factor += o.verdict.varianceFactor;
        }
        SCOPED_TRACE(d.setUps.size());
        EXPECT_LE(falseNetworks, 2);
        EXPECT_NEAR(factor / 200.0, 1.0, 0.1);
        std::printf(
            "design of %zu set-ups: %d of 200 networks with a rejection, mean variance "
            "factor %.3f\n",
            d.setUps.size(), falseNetworks, factor / 200.0);
    }
}

// ---- blunders ----

// A blunder in one reading of a sight is rejected alone, as that reading: its face and line
// named, its size estimated; one common to all readings of a sight (a wrong target, a prism
// booked wrong) is rejected as the sight, with its faces and lines.
TEST(Snooping, EachBlunderIsRejectedAndNamedAsTheReadingOrTheSight) {
    const Design mesh = [] {
        Design d = testing::Mesh(6, 10);
        d.rounds = 2;
        return d;
    }();
    struct Case {
        const char* what;
        std::size_t setUp, aim;
        int face, round;  // 0: every reading of the sight
        double direction, zenith, slope;
        ObservationKind kind;
        double size;  // the estimate expected (m or rad), within 25 %
        const char* where;
    };
    const double mgon = 0.001 * testing::kGon;
    const Case cases[] = {
        {"distance", 23, 1, 1, 1, 0, 0, 0.05, ObservationKind::Distance, 0.05, "kijkerstand 1"},
        {"direction", 31, 2, 2, 2, 30 * mgon, 0, 0, ObservationKind::Direction, 30 * mgon,
         "kijkerstand 2"},
        {"zenith", 17, 0, 2, 1, 0, 40 * mgon, 0, ObservationKind::HeightDifference, 0.0,
         "kijkerstand 2"},
        {"sight's distance", 23, 1, 0, 0, 0, 0, 0.04, ObservationKind::Distance, 0.04,
         "alle 4 lezingen: kijkerstand 1 en 2, regels "},
        {"sight's zenith", 40, 2, 0, 0, 0, 30 * mgon, 0, ObservationKind::HeightDifference, 0.0,
         "alle 4 lezingen: kijkerstand 1 en 2, regels "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::mt19937 noise(11);
        Booking b;
        b.noise = &noise;
        const std::string station = mesh.setUps[c.setUp].station;
        const std::string target = mesh.setUps[c.setUp].aims[c.aim].target;
        std::vector<std::function<void(testing::Reading&)>> blunders;
        for (int face = 1; face <= 2; ++face)
            for (int round = 1; round <= 2; ++round)
                if ((c.face == 0 || c.face == face) && (c.round == 0 || c.round == round))
                    blunders.push_back(testing::Blundered(
                        {c.setUp, target, face, round, c.direction, c.zenith, c.slope}));
        b.change = [&](testing::Reading& r) {
            for (const auto& blunder : blunders)
                blunder(r);
        };
        const Outcome o = Adjusted(mesh, b);
        ASSERT_TRUE(o.verdict.ran);
        ASSERT_EQ(o.verdict.rejections.size(), 1u);
        const Rejection& r = o.verdict.rejections[0];
        const Reading& reading = o.network.readings[r.reading];
        EXPECT_EQ(r.kind, c.kind);
        EXPECT_EQ(r.sight, c.face == 0);
        EXPECT_EQ(o.network.points[reading.station].name, station);
        EXPECT_EQ(o.network.points[reading.target].name, target);
        EXPECT_GT(std::abs(r.w), o.verdict.critical);
        if (c.size != 0.0) {
            EXPECT_NEAR(r.estimate, c.size, 0.25 * c.size);
        }
        const std::string text = RejectionText(o.network, r, AngleUnit::Gon);
        std::string where = c.where;
        if (c.face != 0) {
            EXPECT_EQ(reading.face, c.face);
            const int count = (c.round - 1) * 2 + c.face - 1;
            where +=
                ", regel " + std::to_string(testing::LineOf(o.field, mesh, c.setUp, target, count));
        } else {
            for (int count = 0; count < 4; ++count)
                where += std::to_string(testing::LineOf(o.field, mesh, c.setUp, target, count)) +
                         (count < 2    ? ", "
                          : count == 2 ? " en "
                                       : "");
        }
        EXPECT_TRUE(text.starts_with("standplaats " + station + ", " + target + ": ")) << text;
        EXPECT_NE(text.find("(" + where + ") verworpen, w "), std::string::npos) << text << "\n"
                                                                                 << where;
    }
}

// A target height booked wrong (record 105) when the target was set up again for the second
// round moves the height differences of that round alike: with the other height they are a
// sight of their own, rejected whole, its size the booking's error; the first round stays.
TEST(Snooping, ATargetHeightBookedWrongRejectsItsSight) {
    Design mesh = testing::Mesh(6, 10);
    mesh.rounds = 2;
    mesh.setUps[33].aims[1].targetHeightError = 0.08;
    mesh.setUps[33].aims[1].fromRound = 2;
    const Outcome o = AdjustedWithNoise(mesh, 4);
    ASSERT_TRUE(o.verdict.ran);
    ASSERT_EQ(o.verdict.rejections.size(), 1u) << testing::Errors(o.report);
    const Rejection& r = o.verdict.rejections[0];
    EXPECT_TRUE(r.sight);
    EXPECT_EQ(r.kind, ObservationKind::HeightDifference);
    EXPECT_EQ(r.readings.size(), 2u);
    EXPECT_NEAR(r.estimate, -0.08, 0.02);
    const std::string text = RejectionText(o.network, r, AngleUnit::Gon);
    EXPECT_TRUE(text.starts_with("standplaats " + mesh.setUps[33].station + ", " +
                                 mesh.setUps[33].aims[1].target +
                                 ": hoogteverschil (zenithoek) (alle 2 lezingen: kijkerstand 1 "
                                 "en 2, regels "))
        << text;
}

// An instrument height booked wrong moves every height difference of its set-up alike: it is
// rejected as that set-up's instrument height, with its size (too high, too low), and the
// set-up's heights stay in the adjustment; a zenith angle without a distance tells it as well.
TEST(Snooping, AnInstrumentHeightBookedWrongIsNamedAsSuch) {
    for (const double error : {0.06, -0.1}) {
        for (const bool distances : {true, false}) {
            SCOPED_TRACE(::testing::Message() << error << (distances ? "" : ", no distances"));
            Design mesh = testing::Mesh(5, 6);
            testing::Occupation& s = mesh.setUps[14];
            s.instrumentHeightError = error;
            for (testing::Aim& a : s.aims)
                a.distance = distances;
            const Outcome o = AdjustedWithNoise(mesh, 6);
            ASSERT_TRUE(o.verdict.ran);
            ASSERT_EQ(o.verdict.rejections.size(), 1u) << testing::Errors(o.report);
            const Rejection& r = o.verdict.rejections[0];
            EXPECT_EQ(r.kind, ObservationKind::InstrumentHeight);
            EXPECT_NEAR(-r.estimate, error, 0.015);
            const std::string text = RejectionText(o.network, r, AngleUnit::Gon);
            EXPECT_TRUE(
                text.starts_with("standplaats " + s.station + ": instrumenthoogte " +
                                 testing::Text(testing::InstrumentHeight(14) + error).substr(0, 5)))
                << text;
            EXPECT_NE(text.find("past niet bij de hoogteverschillen, geschatte fout " +
                                std::string(error > 0 ? "0.0" : "-0.")),
                      std::string::npos)
                << text;
            for (std::size_t p = 0; p < o.network.points.size(); ++p) {
                if (o.network.points[p].name == s.station) {
                    EXPECT_TRUE(o.verdict.points[p].heightAdjusted);
                }
            }
        }
    }
}

// Two blunders in one sight and another: each reading taken out once, the sight's mean made
// again without it.
TEST(Snooping, BlundersAreTakenOutOneByOneEachOnce) {
    Design mesh = testing::Mesh(6, 10);
    mesh.rounds = 2;
    std::mt19937 noise(21);
    Booking b;
    b.noise = &noise;
    const std::string first = mesh.setUps[12].aims[0].target;
    const std::string second = mesh.setUps[12].aims[1].target;
    const std::function<void(testing::Reading&)> blunders[] = {
        testing::Blundered({12, first, 1, 1, 0, 0, 0.3}),
        testing::Blundered({12, first, 2, 2, 0, 0, -0.2}),
        testing::Blundered({12, second, 1, 2, 0.05 * testing::kGon, 0, 0})};
    b.change = [&](testing::Reading& r) {
        for (const auto& blunder : blunders)
            blunder(r);
    };
    const Outcome o = Adjusted(mesh, b);
    ASSERT_TRUE(o.verdict.ran);
    std::set<std::pair<std::uint32_t, ObservationKind>> taken;
    for (const Rejection& r : o.verdict.rejections) {
        EXPECT_FALSE(r.sight);
        EXPECT_TRUE(taken.insert({r.reading, r.kind}).second) << "rejected twice";
    }
    ASSERT_EQ(o.verdict.rejections.size(), 3u);
    std::multiset<ObservationKind> kinds;
    for (const Rejection& r : o.verdict.rejections)
        kinds.insert(r.kind);
    EXPECT_EQ(kinds,
              (std::multiset<ObservationKind>{ObservationKind::Distance, ObservationKind::Distance,
                                              ObservationKind::Direction}));
    // With the two out, the sight's distance is the mean of the other two.
    EXPECT_LT(o.verdict.varianceFactor, 1.5);
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
        std::ofstream(folder.Path("net.idx"), std::ios::binary) << testing::IdexFile(d);
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
    // One finding names the blunder: the rule's words (the two faces' distances), the
    // adjustment's rejection joined to them.
    std::size_t named = 0;
    std::string all;
    for (const Finding& f : report->findings) {
        all += f.text + "\n";
        if (f.severity == Severity::Error &&
            f.text.find("; vereffening: standplaats T3, T4: afstand (kijkerstand 1, regel " + line +
                        ") verworpen, w ") != std::string::npos &&
            f.text.ends_with(", geschatte fout 0.480 m"))
            ++named;
    }
    EXPECT_EQ(named, 1u) << all;
    EXPECT_EQ(report->Errors(), 1u) << all;
    std::string problem;
    ASSERT_TRUE(WriteCoordinateTable(*report, folder.Path("c.csv"), problem)) << problem;
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
