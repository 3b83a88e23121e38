// The network check on synthetic networks observed from true coordinates, exactly, with noise
// and with each kind of blunder.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "check/NetworkCheck.h"
#include "check/NetworkGenerator.h"
#include "fieldfile/FieldFileReader.h"
#include "support/RecordingUi.h"
#include "text/LineReader.h"

namespace talvik {
namespace {

using testing::kPi;

struct Spot {
    double x, y, z;
};
struct Sighting {
    std::string target;
    bool distance = true;
};
struct SetUpPlan {
    std::string station;
    std::vector<Sighting> sights;
};

// Four known points; a closed traverse A P1 P2 P3 A oriented on B; two free set-ups F1 and F2
// on the known points; N1 from both free set-ups; X only by directions from P1 and F1.
struct Network {
    std::map<std::string, Spot> truth{
        {"A", {155000, 463000, 10.0}},  {"B", {155300, 463050, 11.0}},
        {"C", {155250, 463300, 12.5}},  {"D", {154950, 463350, 9.0}},
        {"P1", {155120, 463120, 10.5}}, {"P2", {155180, 463240, 11.2}},
        {"P3", {155040, 463200, 10.1}}, {"N1", {155080, 463300, 10.8}},
        {"F1", {155150, 463350, 11.5}}, {"F2", {155020, 463420, 10.0}},
        {"X", {155210, 463150, 10.3}},  {"U1", {156000, 464000, 5.0}},
        {"U2", {156050, 464000, 5.0}}};
    std::vector<std::string> known{"A", "B", "C", "D"};
    std::vector<SetUpPlan> setUps{{"A", {{"B"}, {"P1"}, {"P3"}}},
                                  {"P1", {{"A"}, {"P2"}, {"X", false}}},
                                  {"P2", {{"P1"}, {"P3"}, {"C"}}},
                                  {"P3", {{"P2"}, {"A"}}},
                                  {"F1", {{"C"}, {"D"}, {"P2"}, {"N1"}, {"X", false}}},
                                  {"F2", {{"D"}, {"N1"}, {"P3"}, {"C"}}}};  // 20 sights
};

// Changes made while the field file is written.
struct Blunder {
    std::string station, first, second;  // names swapped at the station
    double distance = 0.0;               // added to the distance from station to `first`
    double face2 = 0.0;                  // gon added to the face-2 direction to `first`
    double zenith2 = 0.0;                // gon added to the face-2 zenith angle to `first`
};

using testing::InUnit;
using testing::Text;

// The field file: known points A and B as point records through a frame of reversed order,
// scale 0.5 and offsets; set-ups with a reference record, both faces.
std::string FieldFile(const Network& net, AngleUnit unit, std::mt19937* noise,
                      const Blunder& blunder = {}) {
    const char* units[] = {"DM", "DD", "GR"};
    std::string text = "1 51 " + std::string(units[static_cast<int>(unit)]) +
                       "\r\n2 21 YX\r\n3 22 0.5\r\n4 23 100 200 3\r\n";
    for (const char* name : {"A", "B"}) {
        const Spot& p = net.truth.at(name);
        text += "5 61 " + std::string(name) + " " + Text((p.y - 100) / 0.5) + " " +
                Text((p.x - 200) / 0.5) + " " + Text((p.z - 3) / 0.5) + "\r\n";
    }
    std::normal_distribution<double> normal;
    const auto jitter = [&](double sigma) { return noise != nullptr ? sigma * normal(*noise) : 0; };
    const double gon = kPi / 200.0;
    for (std::size_t k = 0; k < net.setUps.size(); ++k) {
        const SetUpPlan& plan = net.setUps[k];
        const Spot& s = net.truth.at(plan.station);
        const double ih = 1.5 + 0.01 * static_cast<double>(k);
        const double orientation = 0.7 * static_cast<double>(k) + 0.3;
        for (const Sighting& sighting : plan.sights) {
            const double th = 1.3;
            const bool here = plan.station == blunder.station;
            const bool blundered = here && sighting.target == blunder.first;
            std::string name = sighting.target;
            if (blundered && !blunder.second.empty()) name = blunder.second;
            if (here && sighting.target == blunder.second) name = blunder.first;
            const Spot& t = net.truth.at(sighting.target);
            const double h = std::hypot(t.x - s.x, t.y - s.y);
            const double up = t.z + th - s.z - ih - 0.87 * h * h / (2.0 * 6381000.0);
            const double direction =
                std::fmod(std::atan2(t.x - s.x, t.y - s.y) - orientation + 4.0 * kPi, 2.0 * kPi);
            const double zenith = std::atan2(h, up);
            const double slope = std::hypot(h, up) + (blundered ? blunder.distance : 0.0);
            if (&sighting == &plan.sights.front())
                text += "6 102 " + plan.station + " " + Text(ih) + " " + Text(th) + " " + name +
                        " " + Text(InUnit(direction, unit)) + "\r\n";
            for (int face = 1; face <= 2; ++face) {
                double d = direction + jitter(0.003 * gon), z = zenith + jitter(0.003 * gon);
                if (face == 2) {
                    d = std::fmod(d + kPi, 2.0 * kPi) + (blundered ? blunder.face2 * gon : 0.0);
                    z = 2.0 * kPi - z + (blundered ? blunder.zenith2 * gon : 0.0);
                }
                const double distance =
                    sighting.distance ? slope + jitter(0.002 + 2e-6 * slope) : 0.0;
                text += "7 111 " + name + " " + Text(InUnit(d, unit)) + " " +
                        Text(InUnit(z, unit)) + " " + Text(distance) + " K1\r\n";
            }
        }
    }
    return text;
}

struct Checked {
    CheckReport report;
    // Red are exactly the lines between an error's first two points and the points errors name.
    void ExpectRedWhereErrorsPoint() const {
        std::set<std::pair<std::size_t, std::size_t>> pairs;
        std::set<std::size_t> named;
        for (const Finding& f : report.findings) {
            if (f.severity != Severity::Error) continue;
            named.insert(f.points.begin(), f.points.end());
            if (f.points.size() >= 2) pairs.insert(std::minmax(f.points[0], f.points[1]));
        }
        for (const CheckLine& line : report.lines)
            EXPECT_EQ(line.flagged, pairs.count(std::minmax(line.from, line.to)) == 1)
                << report.points[line.from].name << "-" << report.points[line.to].name;
        for (std::size_t n = 0; n < report.points.size(); ++n)
            EXPECT_EQ(report.points[n].flagged, named.count(n) == 1) << report.points[n].name;
    }
    // Whether some finding of that severity names all of `names`.
    bool Found(Severity severity, const std::vector<const char*>& names) const {
        return std::any_of(report.findings.begin(), report.findings.end(), [&](const Finding& f) {
            return f.severity == severity && std::all_of(names.begin(), names.end(), [&](auto n) {
                       return std::count(f.points.begin(), f.points.end(), report.Find(n)) > 0;
                   });
        });
    }
};

Checked Check(const Network& net, const std::string& field, AngleUnit unit, bool face2to1,
              const std::vector<PointRecord>& extra = {}) {
    PointTable points;
    for (const char* name : {"C", "D"}) {
        const Spot& p = net.truth.at(name);
        points.Append({name, p.x, p.y, p.z, true, false});
    }
    for (const PointRecord& record : extra)
        points.Append(record);
    const std::size_t known = points.Last();
    ExportOptions options;
    options.SelCode[1] = "K1";
    options.Face2to1 = face2to1;
    NetworkCheck check(ChoicesFrom(options, unit));
    options.Face2to1 = false;  // the check's own reading keeps both faces
    LineReader reader;
    reader.OpenText(field);
    AngleUnitState state;
    testing::RecordingUi ui;
    ReadFieldFile(reader, options, points, check, state, ui);
    EXPECT_EQ(state.value, unit);
    return {check.Run(points, known)};
}

TEST(NetworkCheck, ExactObservationsGiveTruePositionsInEveryUnit) {
    const Network net;
    std::map<std::string, Spot> gon;
    for (const AngleUnit unit :
         {AngleUnit::Gon, AngleUnit::DecimalDegrees, AngleUnit::DegreesMinutesSeconds}) {
        for (const bool face2to1 : {false, true}) {
            SCOPED_TRACE(static_cast<int>(unit) * 2 + face2to1);
            const Checked run = Check(net, FieldFile(net, unit, nullptr), unit, face2to1);
            // Degrees reduced by the export with gon constants: that note and nothing else.
            const std::size_t expected = face2to1 && unit != AngleUnit::Gon ? 1 : 0;
            ASSERT_EQ(run.report.findings.size(), expected) << run.report.findings.front().text;
            EXPECT_EQ(run.report.Warnings(), expected);
            for (const CheckPoint& p : run.report.points) {
                const Spot& truth = net.truth.at(p.name);
                ASSERT_NE(p.state, PointState::NotPlaced) << p.name;
                EXPECT_LT(std::hypot(p.x - truth.x, p.y - truth.y, p.z - truth.z), 0.001) << p.name;
                if (unit == AngleUnit::Gon) gon[p.name] = {p.x, p.y, p.z};
                EXPECT_LT(std::hypot(p.x - gon[p.name].x, p.y - gon[p.name].y), 1e-6) << p.name;
            }
            EXPECT_EQ(run.report.points[run.report.Find("F1")].state, PointState::Placed);
            EXPECT_EQ(run.report.points[run.report.Find("A")].state, PointState::Known);
        }
    }
}

// A free set-up, once placed from the known points it sees, places the new points it sees with
// a distance, and those are where they are.
TEST(NetworkCheck, AFreeSetUpPlacesTheNewPointsItMeasures) {
    Network net;
    net.truth["F3"] = {155100.0, 463380.0, 11.0};
    net.truth["M"] = {155060.0, 463450.0, 10.2};
    net.setUps.push_back({"F3", {{"C"}, {"D"}, {"M"}}});
    const Checked run = Check(net, FieldFile(net, AngleUnit::Gon, nullptr), AngleUnit::Gon, false);
    EXPECT_EQ(run.report.Errors(), 0u);
    const CheckPoint& m = run.report.points[run.report.Find("M")];
    EXPECT_EQ(m.state, PointState::Placed);
    const Spot& truth = net.truth.at("M");
    EXPECT_LT(std::hypot(m.x - truth.x, m.y - truth.y, m.z - truth.z), 0.001);
}

// Free set-ups that place each other against the order of the file: G1 is placed from the known
// points C and D and places H1 and H2, from which G2 is placed, and so on; the file holds G3
// first. Every point is placed where it is.
TEST(NetworkCheck, FreeSetUpsPlacedAgainstTheFileOrderAllFindTheirPlace) {
    Network net;
    net.setUps.clear();
    for (int k = 1; k <= 3; ++k) {
        const double north = 463450.0 + 120.0 * k;
        net.truth["G" + std::to_string(k)] = {155100.0 + 15.0 * k, north, 11.0};
        net.truth["H" + std::to_string(2 * k - 1)] = {155040.0, north + 50.0, 10.5};
        net.truth["H" + std::to_string(2 * k)] = {155170.0, north + 60.0, 10.8};
    }
    for (int k = 3; k >= 1; --k) {
        const std::string a = k > 1 ? "H" + std::to_string(2 * k - 3) : "C";
        const std::string b = k > 1 ? "H" + std::to_string(2 * k - 2) : "D";
        net.setUps.push_back(
            {"G" + std::to_string(k),
             {{a}, {b}, {"H" + std::to_string(2 * k - 1)}, {"H" + std::to_string(2 * k)}}});
    }
    const Checked run = Check(net, FieldFile(net, AngleUnit::Gon, nullptr), AngleUnit::Gon, false);
    EXPECT_EQ(run.report.Errors(), 0u);
    for (const char* name : {"G1", "G2", "G3", "H1", "H2", "H3", "H4", "H5", "H6"}) {
        const CheckPoint& p = run.report.points[run.report.Find(name)];
        const Spot& truth = net.truth.at(name);
        EXPECT_EQ(p.state, PointState::Placed) << name;
        EXPECT_LT(std::hypot(p.x - truth.x, p.y - truth.y), 0.001) << name;
    }
}

// Heights that spread against the order of the file: each set-up sees the station of the one
// before it in the file, the last one the known point A, so every sweep over the file reaches
// one set-up further. Every station still has its true height.
TEST(NetworkCheck, HeightsReachAlongAChainSetUpAgainstTheFileOrder) {
    Network net;
    net.setUps.clear();
    constexpr int kLength = 12;
    for (int k = kLength; k >= 1; --k) {
        const std::string station = "S" + std::to_string(k);
        net.truth[station] = {155000.0 + 90.0 * k, 463000.0 + 35.0 * (k % 3), 10.0 + 0.7 * k};
        net.setUps.push_back({station, {{k > 1 ? "S" + std::to_string(k - 1) : "A"}}});
    }
    const Checked run = Check(net, FieldFile(net, AngleUnit::Gon, nullptr), AngleUnit::Gon, false);
    for (int k = 1; k <= kLength; ++k) {
        const std::string name = "S" + std::to_string(k);
        const CheckPoint& p = run.report.points[run.report.Find(name)];
        EXPECT_TRUE(p.hasHeight) << name;
        EXPECT_NEAR(p.z, net.truth.at(name).z, 0.001) << name;
    }
}

TEST(NetworkCheck, NoiseAtTheStandardDeviationsSeldomTripsATolerance) {
    const Network net;
    int falseFindings = 0;
    for (unsigned seed = 1; seed <= 200; ++seed) {
        std::mt19937 noise(seed);
        const Checked run =
            Check(net, FieldFile(net, AngleUnit::Gon, &noise), AngleUnit::Gon, false);
        falseFindings += static_cast<int>(run.report.findings.size());
    }
    // Every sight is checked at least twice (position, both ways or both faces).
    EXPECT_LE(falseFindings, 200 * 20 * 2 / 1000);
}

TEST(NetworkCheck, EveryBlunderIsFoundAndNamedInEverySeed) {
    struct Case {
        const char* what;
        Blunder blunder;
        std::vector<PointRecord> extra;  // more entries of the IDEX file
        std::vector<SetUpPlan> moreSetUps;
        double moveD = 0.0;  // the IDEX file holds D this far east of where it is
        Severity severity = Severity::Error;
        std::vector<const char*> named;
    };
    const PointRecord twinC{"C", 155251.0, 463300.0, 12.5, true, false};
    using enum Severity;
    // clang-format off
    const Case cases[] = {
        {"swapped names", {"P2", "P1", "P3"}, {}, {}, 0.0, Error, {"P2", "P3"}},
        {"distance 0.5 m", {"P1", "P2", "", 0.5}, {}, {}, 0.0, Error, {"P1", "P2"}},
        {"known point 0.2 m", {}, {}, {}, 0.2, Error, {"D"}},
        {"face 2 0.05 gon", {"P1", "A", "", 0.0, 0.05}, {}, {}, 0.0, Error, {"P1", "A"}},
        {"unconnected", {}, {}, {{"U1", {{"U2"}}}}, 0.0, Error, {"U2"}},
        {"one direction", {}, {}, {{"B", {{"C"}}}}, 0.0, Warning, {"B", "C"}},
        {"IDEX duplicate", {}, {twinC}, {}, 0.0, Warning, {"C"}},
        {"face 2 zenith 0.05 gon", {"P2", "C", "", 0.0, 0.0, 0.05}, {}, {}, 0.0, Error,
         {"P2", "C"}},
    };
    // clang-format on
    for (const Case& c : cases) {
        Network net;
        net.setUps.insert(net.setUps.end(), c.moreSetUps.begin(), c.moreSetUps.end());
        Network idex = net;
        idex.truth["D"].x += c.moveD;
        for (unsigned seed = 1; seed <= 200; ++seed) {
            std::mt19937 noise(seed);
            const std::string field = FieldFile(net, AngleUnit::Gon, &noise, c.blunder);
            const Checked run = Check(idex, field, AngleUnit::Gon, false, c.extra);
            ASSERT_TRUE(run.Found(c.severity, c.named)) << c.what << ", seed " << seed;
            run.ExpectRedWhereErrorsPoint();
        }
    }
}

// Distances and height differences measured both ways are compared as pairs: a distance
// booked 0.5 m long from P1 to P2, or an instrument height booked 0.3 m high at P2, is named
// by its pair in every seed.
TEST(NetworkCheck, BothWaysDisagreementsNameTheirPair) {
    const Network net;
    const auto named = [](const Checked& run, const std::string& start) {
        return std::any_of(run.report.findings.begin(), run.report.findings.end(),
                           [&](const Finding& f) { return f.text.rfind(start, 0) == 0; });
    };
    for (unsigned seed = 1; seed <= 50; ++seed) {
        std::mt19937 noise(seed);
        const std::string longer = FieldFile(net, AngleUnit::Gon, &noise, {"P1", "P2", "", 0.5});
        EXPECT_TRUE(named(Check(net, longer, AngleUnit::Gon, false), "afstand P1-P2: heen "))
            << "seed " << seed;
        std::string higher = FieldFile(net, AngleUnit::Gon, &noise);
        const std::string station = "6 102 P2 " + Text(1.52) + " ";
        ASSERT_NE(higher.find(station), std::string::npos);
        higher.replace(higher.find(station), station.size(), "6 102 P2 " + Text(1.82) + " ");
        EXPECT_TRUE(named(Check(net, higher, AngleUnit::Gon, false), "hoogteverschil P1-P2: heen "))
            << "seed " << seed;
    }
}

// A station set up again with a station record is a set-up of its own, with its own
// orientation: exact readings from both give no finding.
TEST(NetworkCheck, AStationSetUpTwiceKeepsTwoSetUps) {
    Network net;
    net.setUps.push_back({"P2", {{"C"}, {"P1"}}});
    const Checked run = Check(net, FieldFile(net, AngleUnit::Gon, nullptr), AngleUnit::Gon, false);
    EXPECT_EQ(run.report.findings.size(), 0u) << run.report.findings.front().text;
}

// A station set up again with a record 101 only joins its earlier set-up: A's face-2 readings
// moved behind the last set-up still pair with its face-1 readings.
TEST(NetworkCheck, ReadingsOfASetUpJoinedAgainAreCheckedTogether) {
    // The face-2 readings of A and of P1 come after the last set-up, under a station record
    // without a reference each; A's face-2 reading to P3 is left out, so A has a sight of one
    // reading and no spreads for it. A face-2 blunder at P1 to A is found; nothing else.
    const Network net;
    for (const double off : {0.0, 0.05}) {
        for (unsigned seed = 1; seed <= 20; ++seed) {
            std::mt19937 noise(seed);
            const std::string field =
                FieldFile(net, AngleUnit::Gon, &noise, {"P1", "A", "", 0.0, off});
            std::string kept;
            std::map<std::string, std::string> moved{{"A", "99 101 A 1.5 1.3\r\n"},
                                                     {"P1", "99 101 P1 1.51 1.3\r\n"}};
            std::string station;
            int readings = 0;
            for (std::size_t at = 0; at < field.size();) {
                const std::size_t end = field.find('\n', at) + 1;
                const std::string line = field.substr(at, end - at);
                at = end;
                if (line.find(" 102 ") != std::string::npos)
                    station = line.substr(6, line.find(' ', 6) - 6);
                // Each target is read in face 1, then in face 2.
                const bool faceTwo = line.find(" 111 ") != std::string::npos && readings++ % 2 == 1;
                if (!faceTwo || !moved.contains(station)) {
                    kept += line;
                } else if (station != "A" || line.find(" 111 P3 ") == std::string::npos) {
                    moved[station] += line;
                }
            }
            const Checked run = Check(net, kept + moved["A"] + moved["P1"], AngleUnit::Gon, false);
            std::vector<std::string> errors;
            for (const Finding& f : run.report.findings) {
                if (f.severity == Severity::Error) errors.push_back(f.text.substr(0, 60));
            }
            const std::vector<std::string> expected{
                "standplaats P1, A: richtingen in kijkerstand 1 en 2 verschil"};
            ASSERT_EQ(errors, off > 0.0 ? expected : std::vector<std::string>{}) << "seed " << seed;
        }
    }
}

}  // namespace
}  // namespace talvik
