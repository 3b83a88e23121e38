// The rules and the adjustment together: where the adjustment judged a sight, the position and
// height rules (which work on approximate coordinates that drift along chains) say nothing of
// it; where it did not run they speak as before; and one blunder is one finding, the rule's
// words and the adjustment's rejection joined.

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

#include "check/NetworkGenerator.h"

namespace talvik::testing {
namespace {

// Free stations in a chain: each stands between two pairs of new points, places itself on the
// pair behind it and the next pair from there, from the known pair K1 K2 to K3 K4.
Design FreeStationChain(int stations) {
    Design d;
    const int last = stations;  // pair 0: K1 K2; pair `last`: K3 K4
    const auto names = [&](int i) {
        if (i == 0) return std::pair<std::string, std::string>{"K1", "K2"};
        if (i == last) return std::pair<std::string, std::string>{"K3", "K4"};
        return std::pair{"N" + std::to_string(2 * i + 1), "N" + std::to_string(2 * i + 2)};
    };
    for (int i = 0; i <= last; ++i) {
        const double x = 1000.0 + 180.0 * i;
        const double wave = 25.0 * std::sin(0.9 * i);
        d.truth[names(i).first] = {x, 1000.0 + 70.0 + wave, 10.0 + 0.3 * i};
        d.truth[names(i).second] = {x + 10.0, 1000.0 - 70.0 + wave, 10.5 + 0.2 * i};
    }
    d.known = {"K1", "K2", "K3", "K4"};
    for (int i = 0; i < last; ++i) {
        const std::string f = "F" + std::to_string(i + 1);
        d.truth[f] = {1000.0 + 180.0 * i + 95.0, 1000.0 + 25.0 * std::sin(0.9 * i + 0.45),
                      10.2 + 0.25 * i};
        d.setUps.push_back(
            {f,
             {{names(i).first}, {names(i).second}, {names(i + 1).first}, {names(i + 1).second}}});
    }
    return d;
}

bool AboutPositions(const Finding& f) {
    return f.about.concern == Concern::Position || f.about.concern == Concern::Height;
}

// Clean networks with noise, whose approximate coordinates drift along their chains: with the
// adjustment no position or height finding is left, and every point is adjusted; the rules
// alone (as where the adjustment steps aside) do speak on some of them, so these networks
// reach the rules.
TEST(JoinedFindings, PositionRulesStepAsideWhereTheAdjustmentJudged) {
    const std::pair<const char*, Design> designs[] = {
        {"traverse of 30", Traverse(30)},
        {"free-station chain of 12", FreeStationChain(12)},
        {"mesh 6 x 10", Mesh(6, 10)}};
    int spokenAlone = 0;
    for (const auto& [name, d] : designs) {
        for (std::uint32_t seed = 1; seed <= 10; ++seed) {
            SCOPED_TRACE(::testing::Message() << name << ", seed " << seed);
            std::mt19937 noise(seed);
            Booking b;
            b.noise = &noise;
            const Outcome o = Checked(d, b);
            std::string texts;
            for (const Finding& f : o.report.findings) {
                if (AboutPositions(f)) texts += f.text + "\n";
            }
            EXPECT_EQ(texts, "");
            for (const CheckPoint& p : o.report.points)
                EXPECT_TRUE(p.adjusted && p.heightAdjusted) << p.name;
            const CheckReport alone = Check(d, o.field);
            spokenAlone +=
                std::any_of(alone.findings.begin(), alone.findings.end(), AboutPositions);
        }
    }
    EXPECT_GT(spokenAlone, 0);
}

// What the rules step aside for: the adjustment says which sights it tested, each in every
// quantity it has (a sound mesh: all of them), and not a sight it could not test.
TEST(JoinedFindings, TheAdjustmentNamesEverySightItTested) {
    Design d = Mesh(3, 4);
    // A set-up of one direction, no distance: its orientation takes the direction whole (no
    // test), its zenith angle is tested against the heights the mesh gives.
    d.setUps.push_back({"M0_1", {{"M2_3", false}}});
    std::mt19937 noise(3);
    Booking b;
    b.noise = &noise;
    const Outcome o = Checked(d, b);
    ASSERT_TRUE(o.verdict.ran);
    std::set<std::string> tested;
    for (const adjustment::TestedSight& t : o.verdict.tested)
        tested.insert(o.network.points[t.station].name + ">" + o.network.points[t.target].name +
                      " " + std::to_string(static_cast<int>(t.kind)));
    std::set<std::string> expected = {"M0_1>M2_3 3"};  // a zenith angle
    for (std::size_t u = 0; u + 1 < d.setUps.size(); ++u) {
        for (const Aim& a : d.setUps[u].aims) {
            for (const int kind : {0, 1, 2})  // direction, distance, height difference
                expected.insert(d.setUps[u].station + ">" + a.target + " " + std::to_string(kind));
        }
    }
    EXPECT_EQ(tested, expected);
}

// One blunder, one finding: the rules that see it (the spread of the faces, the pair both
// ways) and the adjustment's rejection of the same reading joined, on a traverse and a mesh,
// exact readings (so nothing else is found).
TEST(JoinedFindings, OneBlunderIsOneFinding) {
    struct Case {
        const char* what;
        double slope, direction, zenith;
        const char* rule;  // the words of the rule's finding
        const char* kind;  // of the rejection
    };
    const Case cases[] = {
        {"distance 0.1 m", 0.1, 0.0, 0.0, "afstanden in kijkerstand 1 en 2", ": afstand ("},
        {"direction 0.05 gon", 0.0, 0.05 * kGon, 0.0, "richtingen in kijkerstand 1 en 2",
         ": richting ("},
        {"zenith angle 0.05 gon", 0.0, 0.0, 0.05 * kGon, "zenithoeken in kijkerstand 1 en 2",
         ": hoogteverschil (zenithoek) ("},
    };
    const std::pair<Design, std::size_t> designs[] = {{Traverse(8), 3}, {Mesh(6, 10), 23}};
    for (const auto& [d, setUp] : designs) {
        for (const Case& c : cases) {
            SCOPED_TRACE(::testing::Message() << c.what << ", set-up " << setUp);
            const std::string s = d.setUps[setUp].station;
            const std::string t = d.setUps[setUp].aims[1].target;
            Booking b;
            Blunder blunder;
            blunder.setUp = setUp;
            blunder.target = t;
            blunder.slope = c.slope;
            blunder.direction = c.direction;
            blunder.zenith = c.zenith;
            b.change = Blundered(blunder);
            const CheckReport report = Checked(d, b).report;
            ASSERT_EQ(report.Errors(), 1u) << Errors(report);
            // The rules' words first (the pair both ways, where there is one, then the faces),
            // the rejection after them.
            const std::string& text = report.findings.front().text;
            const std::size_t rule = text.find("standplaats " + s + ", " + t + ": " + c.rule);
            const std::size_t rejection =
                text.find("; vereffening: standplaats " + s + ", " + t + c.kind);
            EXPECT_NE(rule, std::string::npos) << text;
            EXPECT_NE(rejection, std::string::npos) << text;
            EXPECT_LT(rule, rejection) << text;
        }
    }
}

// A blunder the rules see both ways: the pair's finding and the rejections of the readings at
// the other end are one finding. Every distance booked back is off, so the faces agree.
TEST(JoinedFindings, APairBothWaysAndItsRejectionsAreOneFinding) {
    const Design d = Traverse(8);
    const std::string s = d.setUps[3].station;
    const std::string t = d.setUps[3].aims[1].target;
    Booking b;
    b.change = [&](Reading& r) {
        if (r.station == t && r.target == s && r.slope > 0.0) r.slope += 0.1;
    };
    const CheckReport report = Checked(d, b).report;
    ASSERT_EQ(report.Errors(), 1u) << Errors(report);
    const std::string& text = report.findings.front().text;
    EXPECT_EQ(text.rfind("afstand ", 0), 0u) << text;
    EXPECT_NE(text.find("; vereffening: standplaats " + t + ", " + s + ": afstand ("),
              std::string::npos)
        << text;
}

// The joining on a report made by hand: a position finding goes only where the adjustment
// adjusted both its points (in the plane, or in height for a height finding), a pair rule's
// only where it tested the sight in that quantity (both ways: both sights); a rejection
// joins the rule's finding of its sight (a pair both ways from either end; a zenith angle
// and a height difference are one quantity) and no other; what is let go loses its red.
TEST(JoinedFindings, WhatStaysWhatGoesWhatJoins) {
    const auto rule = [](Concern c, std::uint32_t s, std::uint32_t t, bool bothWays = false) {
        return Finding(Severity::Error, "regel", {s, t}, {c, bothWays, false, s, t});
    };
    const auto rejection = [](Concern c, std::uint32_t s, std::uint32_t t) {
        return Finding(Severity::Error, "verworpen", {s, t}, {c, false, true, s, t});
    };
    struct Case {
        const char* what;
        std::vector<Finding> findings;
        std::vector<std::string> left;
        std::vector<JudgedSight> judged = {};  // the sights the adjustment tested
    };
    // Points 0, 1 adjusted in the plane and in height; 2 in the plane only; 3 not at all.
    const Case cases[] = {
        {"position, both adjusted", {rule(Concern::Position, 0, 1)}, {}},
        {"position, one not adjusted", {rule(Concern::Position, 0, 3)}, {"regel"}},
        {"height, one adjusted in the plane only", {rule(Concern::Height, 0, 2)}, {"regel"}},
        {"height, both adjusted", {rule(Concern::Height, 1, 0)}, {}},
        {"spread and its rejection",
         {rule(Concern::Distance, 0, 1), rejection(Concern::Distance, 0, 1)},
         {"regel; vereffening: verworpen"}},
        {"pair both ways, rejected from the other end",
         {rule(Concern::Zenith, 0, 1, true), rejection(Concern::Zenith, 1, 0)},
         {"regel; vereffening: verworpen"}},
        {"a spread is not the other way's",
         {rule(Concern::Direction, 0, 1), rejection(Concern::Direction, 1, 0)},
         {"regel", "verworpen"}},
        {"another quantity",
         {rule(Concern::Direction, 0, 1), rejection(Concern::Distance, 0, 1)},
         {"regel", "verworpen"}},
        {"two rules of one reading",
         {rule(Concern::Distance, 0, 1, true), rule(Concern::Distance, 0, 1),
          rejection(Concern::Distance, 0, 1)},
         {"regel; regel; vereffening: verworpen"}},
        {"spread of a tested sight, nothing rejected",
         {rule(Concern::Direction, 0, 1)},
         {},
         {{0, 1, Concern::Direction}}},
        {"spread of a sight tested in another quantity",
         {rule(Concern::Zenith, 0, 1)},
         {"regel"},
         {{0, 1, Concern::Direction}, {0, 1, Concern::Distance}}},
        {"spread of a sight the other way tested",
         {rule(Concern::Distance, 0, 1)},
         {"regel"},
         {{1, 0, Concern::Distance}}},
        {"pair both ways, one way tested",
         {rule(Concern::Distance, 0, 1, true)},
         {"regel"},
         {{0, 1, Concern::Distance}}},
        {"pair both ways, both ways tested",
         {rule(Concern::Distance, 0, 1, true)},
         {},
         {{1, 0, Concern::Distance}, {0, 1, Concern::Distance}}},
        {"spread of a tested sight joins its rejection",
         {rule(Concern::Zenith, 0, 1), rejection(Concern::Zenith, 0, 1)},
         {"regel; vereffening: verworpen"},
         {{0, 1, Concern::Zenith}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CheckReport report;
        report.points.resize(4);
        for (CheckPoint& p : report.points)
            p.flagged = true;
        report.points[0].adjusted = report.points[0].heightAdjusted = true;
        report.points[1].adjusted = report.points[1].heightAdjusted = true;
        report.points[2].adjusted = true;
        report.lines = {{0, 1, true}, {0, 3, true}};
        report.findings = c.findings;
        JoinAdjustment(report, c.judged);
        std::vector<std::string> left;
        for (const Finding& f : report.findings)
            left.push_back(f.text);
        EXPECT_EQ(left, c.left);
        if (c.left.empty()) {
            EXPECT_FALSE(report.points[0].flagged);
            EXPECT_FALSE(report.lines[0].flagged);
        }
    }
}

}  // namespace
}  // namespace talvik::testing
