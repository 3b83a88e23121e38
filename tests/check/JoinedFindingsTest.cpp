// The rules and the adjustment together: where the adjustment judged a sight, the position and
// height rules (which work on approximate coordinates that drift along chains) say nothing of
// it; where it did not run they speak as before; and one blunder is one finding, the rule's
// words and the adjustment's rejection joined.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "check/AdjustmentInput.h"
#include "check/NetworkCheck.h"
#include "check/NetworkGenerator.h"
#include "fieldfile/FieldFileReader.h"
#include "support/RecordingUi.h"
#include "text/LineReader.h"

namespace talvik {
namespace {

using adjustment::AdjustmentReadings;
using testing::Booking;
using testing::Design;

struct Tee final : ObservationSink {
    Tee(NetworkCheck& c, AdjustmentReadings& r) : check(c), readings(r) {}
    void Put(const ObservationRecord& record) override {
        check.Put(record);
        readings.Put(record);
    }
    NetworkCheck& check;
    AdjustmentReadings& readings;
};

// The whole check of a generated network (the known points with their own noise), with the
// adjustment or without it.
CheckReport Checked(const Design& d, const Booking& b, bool adjust) {
    PointTable points;
    std::normal_distribution<double> normal;
    const auto jitter = [&](double sigma) { return b.noise ? sigma * normal(*b.noise) : 0.0; };
    for (const std::string& k : d.known) {
        const auto& p = d.truth.at(k);
        points.Append({k, p.x + jitter(b.sigmas.sdXY), p.y + jitter(b.sigmas.sdXY),
                       p.h + jitter(b.sigmas.sdZ), true, false});
    }
    const std::size_t known = points.Last();
    ExportOptions options;
    options.SelCode[1] = "K1";
    const CheckChoices choices = ChoicesFrom(options, b.unit);
    NetworkCheck check(choices);
    AdjustmentReadings readings(b.unit);
    Tee tee(check, readings);
    LineReader reader;
    reader.OpenText(testing::FieldFile(d, b));
    AngleUnitState state;
    testing::RecordingUi ui;
    ReadFieldFile(reader, options, points, tee, state, ui);
    CheckReport report = check.Run(points, known);
    if (adjust) adjustment::AddAdjustment(report, readings, choices);
    return report;
}

// Free stations in a chain: each stands between two pairs of new points, places itself on the
// pair behind it and the next pair from there, from the known pair K1 K2 to K3 K4.
Design FreeStationChain(int stations) {
    Design d;
    const auto pair = [](int i) {
        return std::pair{"N" + std::to_string(2 * i + 1), "N" + std::to_string(2 * i + 2)};
    };
    const int last = stations;  // pair 0: K1 K2; pair `last`: K3 K4
    const auto names = [&](int i) {
        if (i == 0) return std::pair<std::string, std::string>{"K1", "K2"};
        if (i == last) return std::pair<std::string, std::string>{"K3", "K4"};
        return pair(i);
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
        d.stations.push_back(
            {f,
             {{names(i).first}, {names(i).second}, {names(i + 1).first}, {names(i + 1).second}}});
    }
    return d;
}

bool AboutPositions(const Finding& f) {
    return f.about.concern == Concern::Position || f.about.concern == Concern::Height;
}

// Clean networks with noise, whose approximate coordinates drift along their chains: with the
// adjustment no position or height finding is left; without it (as where the adjustment steps
// aside) the rules still speak, so these networks do reach them.
TEST(JoinedFindings, PositionRulesStepAsideWhereTheAdjustmentJudged) {
    const std::pair<const char*, Design> designs[] = {
        {"traverse of 30", testing::Traverse(30)},
        {"free-station chain of 12", FreeStationChain(12)},
        {"mesh 6 x 10", testing::Mesh(6, 10)}};
    int spokenAlone = 0;
    for (const auto& [name, d] : designs) {
        for (std::uint32_t seed = 1; seed <= 10; ++seed) {
            SCOPED_TRACE(::testing::Message() << name << ", seed " << seed);
            for (const bool adjust : {true, false}) {
                std::mt19937 noise(seed);
                Booking b;
                b.noise = &noise;
                const CheckReport report = Checked(d, b, adjust);
                int positions = 0;
                std::string texts;
                for (const Finding& f : report.findings) {
                    if (!AboutPositions(f)) continue;
                    ++positions;
                    texts += f.text + "\n";
                }
                if (adjust) {
                    EXPECT_EQ(positions, 0) << texts;
                    for (const CheckPoint& p : report.points)
                        EXPECT_TRUE(p.adjusted || p.state == PointState::NotPlaced) << p.name;
                } else {
                    spokenAlone += positions > 0 ? 1 : 0;
                }
            }
        }
    }
    EXPECT_GT(spokenAlone, 0);
}

// One blunder, one finding: the rule that sees it (the spread of the faces, the pair both
// ways) and the adjustment's rejection of the same reading joined, on a traverse and a mesh,
// exact readings (so nothing else is found).
TEST(JoinedFindings, OneBlunderIsOneFinding) {
    struct Case {
        const char* what;
        double distance, direction, zenith;
        const char* rule;  // the words of the rule's finding that must lead
        const char* kind;  // of the rejection
    };
    const Case cases[] = {
        {"distance 0.1 m", 0.1, 0.0, 0.0, "afstanden in kijkerstand 1 en 2", ": afstand ("},
        {"direction 0.05 gon", 0.0, 0.05 * testing::kGonRad, 0.0,
         "richtingen in kijkerstand 1 en 2", ": richting ("},
        {"zenith angle 0.05 gon", 0.0, 0.0, 0.05 * testing::kGonRad,
         "zenithoeken in kijkerstand 1 en 2", ": hoogteverschil (zenithoek) ("},
    };
    const std::pair<Design, int> designs[] = {{testing::Traverse(8), 3},
                                              {testing::Mesh(6, 10), 23}};
    for (const auto& [d, station] : designs) {
        for (const Case& c : cases) {
            SCOPED_TRACE(::testing::Message() << c.what << ", set-up " << station);
            Booking b;
            b.blunderStation = station;
            b.blunderSight = 1;
            b.distanceError = c.distance;
            b.directionError = c.direction;
            b.zenithError = c.zenith;
            const CheckReport report = Checked(d, b, true);
            const std::string s = d.stations[station].name;
            const std::string t = d.stations[station].sights[1].target;
            std::string errors;
            for (const Finding& f : report.findings) {
                if (f.severity == Severity::Error) errors += f.text + "\n";
            }
            ASSERT_EQ(report.Errors(), 1u) << errors;
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

// A blunder the rules see both ways: the pair's finding and the rejection of the reading from
// either end are one finding; every reading of the way back is off, so the faces agree.
TEST(JoinedFindings, APairBothWaysAndItsRejectionAreOneFinding) {
    const Design d = testing::Traverse(8);
    // The leg from set-up 3's station to its second target, measured back from that target.
    const std::string s = d.stations[3].name;
    const std::string t = d.stations[3].sights[1].target;
    std::string field;
    {
        Booking b;
        field = testing::FieldFile(d, b);
    }
    // Every distance booked at t towards s 0.1 m long.
    std::size_t at = 0;
    std::string station;
    std::string out;
    while (at < field.size()) {
        const std::size_t end = field.find('\n', at) + 1;
        std::string line = field.substr(at, end - at);
        at = end;
        char word[5][32] = {};
        std::sscanf(line.c_str(), "%31s %31s %31s %31s %31s", word[0], word[1], word[2], word[3],
                    word[4]);
        if (std::string(word[1]) == "102") station = word[2];
        if (std::string(word[1]) == "111" && station == t && word[2] == s) {
            const std::size_t k1 = line.rfind(" K1");
            const std::size_t blank = line.rfind(' ', k1 - 1);
            const double distance = std::stod(line.substr(blank + 1, k1 - blank - 1));
            line = line.substr(0, blank + 1) + testing::Fixed9(distance + 0.1) + line.substr(k1);
        }
        out += line;
    }
    ASSERT_NE(out, field);
    PointTable points;
    for (const std::string& k : d.known) {
        const auto& p = d.truth.at(k);
        points.Append({k, p.x, p.y, p.h, true, false});
    }
    const std::size_t known = points.Last();
    ExportOptions options;
    options.SelCode[1] = "K1";
    const CheckChoices choices = ChoicesFrom(options, AngleUnit::Gon);
    NetworkCheck check(choices);
    AdjustmentReadings readings(AngleUnit::Gon);
    Tee tee(check, readings);
    LineReader reader;
    reader.OpenText(out);
    AngleUnitState state;
    testing::RecordingUi ui;
    ReadFieldFile(reader, options, points, tee, state, ui);
    CheckReport report = check.Run(points, known);
    adjustment::AddAdjustment(report, readings, choices);
    std::string errors;
    for (const Finding& f : report.findings) {
        if (f.severity == Severity::Error) errors += f.text + "\n";
    }
    std::size_t pair = 0;
    for (const Finding& f : report.findings) {
        if (f.text.find("afstand ") != std::string::npos &&
            f.text.find("; vereffening: standplaats ") != std::string::npos)
            ++pair;
    }
    EXPECT_EQ(pair, 1u) << errors;
    EXPECT_EQ(report.Errors(), 1u) << errors;
}

}  // namespace
}  // namespace talvik
