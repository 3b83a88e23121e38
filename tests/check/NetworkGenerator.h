#pragma once
// Networks for the check's tests and tables, observed from true coordinates: a design (which
// station sees which target, with or without a distance; faces and rounds) booked as a field
// file, exactly or with noise drawn as it arises in the field, in any angle unit; the known
// points as the IDEX file's; and the check (with its adjustment) run on it.
//
// The noise: per set-up the instrument is centred once (an offset of the station, SigmaCent per
// axis) and its height measured once (SigmaInst); per sight (set-up and target) the target is
// centred once and its height measured once; every reading then adds its own noise (σ_r, σ_z,
// σ_d of the export over the sight's length). All readings of one sight share the offsets.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "check/AdjustmentInput.h"
#include "check/NetworkCheck.h"
#include "check/Snooping.h"
#include "fieldfile/FieldFileReader.h"
#include "fieldfile/Gathering.h"
#include "support/RecordingUi.h"
#include "text/LineReader.h"

namespace talvik::testing {

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kGon = kPi / 200.0;

struct Spot {
    double x = 0.0, y = 0.0, z = 0.0;
};
struct Aim {
    std::string target;
    bool distance = true;
    // The target height booked this much too high from round `fromRound` on (a record 105
    // before the sight's readings in each round).
    double targetHeightError = 0.0;
    int fromRound = 1;
};
struct Occupation {
    std::string station;
    std::vector<Aim> aims;
    double scale = 1.0;  // the distances are booked this much too long (an instrument's scale)
    // Blunders of the station record: booked under another name, the instrument height off.
    std::string bookedAs = {};
    double instrumentHeightError = 0.0;
};
struct Design {
    std::map<std::string, Spot> truth;
    std::vector<std::string> known;  // in the IDEX file
    std::vector<Occupation> setUps;
    int faces = 2;
    int rounds = 1;
};

// One reading as it is booked (radians, metres); a test may change it before it is written.
// The station record's direction is the first reading of its set-up (round 0, face 1).
struct Reading {
    std::string station, target;
    std::size_t setUp = 0;
    int face = 1, round = 1;
    double direction = 0.0, zenith = 0.0, slope = 0.0;  // slope 0: no distance
};

struct Booking {
    AngleUnit unit = AngleUnit::Gon;
    std::mt19937* noise = nullptr;  // none: exact readings
    CheckChoices sigmas;            // the σ of the noise (and of the check)
    std::function<void(Reading&)> change;
};

inline std::string Text(double value) {
    char buffer[40];
    const auto fixed = std::to_chars(buffer, buffer + 40, value, std::chars_format::fixed, 9);
    if (fixed.ec == std::errc()) return {buffer, fixed.ptr};
    return {buffer, std::to_chars(buffer, buffer + 40, value).ptr};  // 1e+154, inf
}

// An angle in radians in the file's unit; degrees-minutes-seconds as DDD.MMSSsss.
inline double InUnit(double radians, AngleUnit unit) {
    if (unit == AngleUnit::Gon) return radians * 200.0 / kPi;
    const double degrees = radians * 180.0 / kPi;
    if (unit == AngleUnit::DecimalDegrees) return degrees;
    const double d = std::floor(degrees);
    const double m = std::floor((degrees - d) * 60.0);
    return d + m / 100.0 + ((degrees - d) * 3600.0 - m * 60.0) / 10000.0;
}

// An angle brought into [0, 2π).
inline double Circle(double angle) {
    angle = std::fmod(angle, 2.0 * kPi);
    return angle < 0.0 ? angle + 2.0 * kPi : angle;
}

inline double InstrumentHeight(std::size_t setUp) {
    return 1.5 + 0.01 * static_cast<double>(setUp % 50);
}
inline constexpr double kTargetHeight = 1.3;
inline double Orientation(std::size_t setUp) {
    return 0.7 * static_cast<double>(setUp) + 0.3;
}

// Where the instrument and the target really stood, against the marks: the centring offsets and
// the errors of the measured heights.
struct Offsets {
    double x = 0.0, y = 0.0, height = 0.0;
};

// The readings from the station's mark to the target's mark, both displaced: horizontal
// direction with the set-up's orientation taken off, zenith angle and slope distance, with
// curvature and refraction (k = 0.13).
inline Reading Observed(const Design& d, std::size_t setUp, const std::string& target,
                        const Offsets& instrument, const Offsets& aimed) {
    const Occupation& o = d.setUps[setUp];
    const Spot& s = d.truth.at(o.station);
    const Spot& t = d.truth.at(target);
    const double dx = t.x + aimed.x - s.x - instrument.x;
    const double dy = t.y + aimed.y - s.y - instrument.y;
    const double h = std::hypot(dx, dy);
    const double up = t.z + kTargetHeight + aimed.height - s.z - InstrumentHeight(setUp) -
                      instrument.height - 0.87 * h * h / (2.0 * 6381000.0);
    Reading r;
    r.station = o.station;
    r.target = target;
    r.setUp = setUp;
    r.direction = Circle(std::atan2(dx, dy) - Orientation(setUp));
    r.zenith = std::atan2(h, up);
    r.slope = std::hypot(h, up) * o.scale;
    return r;
}

// The true readings of a sight (no noise).
inline Reading TrueReading(const Design& d, std::size_t setUp, const std::string& target) {
    return Observed(d, setUp, target, {}, {});
}

// The design's known points as an IDEX file, at their true coordinates.
inline std::string IdexFile(const Design& d) {
    std::string idex =
        "HEADER\r\n  VERSION      1.20\r\nEND HEADER\r\nDATABASE\r\n"
        "  POINTS (PointNo,PointID,East,North,Elevation,Code,LayerNo)\r\n";
    int n = 1;
    for (const std::string& k : d.known) {
        const Spot& p = d.truth.at(k);
        idex += "    " + std::to_string(n++) + ", \"" + k + "\", " + Text(p.x) + ", " + Text(p.y) +
                ", " + Text(p.z) + ", \"K\", 0;\r\n";
    }
    return idex + "  END POINTS\r\nEND DATABASE\r\n";
}

// The field file: a station record per set-up (reference: its first target), then per round
// and target the readings of face 1 and face 2. Every line begins with its own number.
inline std::string FieldFile(const Design& d, const Booking& b = {}) {
    const char* units[] = {"DM", "DD", "GR"};
    std::string text = "1 51 " + std::string(units[static_cast<int>(b.unit)]) + "\r\n";
    int line = 2;
    std::normal_distribution<double> normal;
    const auto jitter = [&](double sigma) {
        return b.noise != nullptr ? sigma * normal(*b.noise) : 0.0;
    };
    const CheckChoices& c = b.sigmas;
    const auto offsets = [&] {
        Offsets o;
        o.x = jitter(c.sigmaCent);
        o.y = jitter(c.sigmaCent);
        o.height = jitter(c.sigmaInst);
        return o;
    };
    for (std::size_t k = 0; k < d.setUps.size(); ++k) {
        const Occupation& o = d.setUps[k];
        if (o.aims.empty()) continue;
        // Centred once per set-up, each target once per sight.
        const Offsets instrument = offsets();
        std::vector<Offsets> aimed;
        for (std::size_t j = 0; j < o.aims.size(); ++j)
            aimed.push_back(offsets());
        const auto read = [&](std::size_t j, int face, int round) {
            Reading r = Observed(d, k, o.aims[j].target, instrument, aimed[j]);
            const double h = r.slope * std::sin(r.zenith);
            r.face = face;
            r.round = round;
            r.direction += jitter((c.absHor + c.relHor * h / 1000.0) * kGon);
            r.zenith += jitter((c.absVer + c.relVer * h / 1000.0) * kGon);
            r.slope = o.aims[j].distance ? r.slope + jitter(c.absDis + c.relDis * 1e-6 * h) : 0.0;
            r.direction = Circle(r.direction + (face == 2 ? kPi : 0.0));
            if (face == 2) r.zenith = 2.0 * kPi - r.zenith;
            if (b.change) b.change(r);
            return r;
        };
        const Reading first = read(0, 1, 0);
        text += std::to_string(line++) + " 102 " + (o.bookedAs.empty() ? o.station : o.bookedAs) +
                " " + Text(InstrumentHeight(k) + o.instrumentHeightError) + " " +
                Text(kTargetHeight) + " " + first.target + " " +
                Text(InUnit(first.direction, b.unit)) + "\r\n";
        // A set-up with a target height booked wrong books every sight's height (record 105).
        const bool heights = std::any_of(o.aims.begin(), o.aims.end(),
                                         [](const Aim& a) { return a.targetHeightError != 0.0; });
        for (int round = 1; round <= d.rounds; ++round) {
            for (std::size_t j = 0; j < o.aims.size(); ++j) {
                if (heights)
                    text +=
                        std::to_string(line++) + " 105 " +
                        Text(kTargetHeight +
                             (round >= o.aims[j].fromRound ? o.aims[j].targetHeightError : 0.0)) +
                        "\r\n";
                for (int face = 1; face <= d.faces; ++face) {
                    const Reading r = read(j, face, round);
                    text += std::to_string(line++) + " 111 " + r.target + " " +
                            Text(InUnit(r.direction, b.unit)) + " " +
                            Text(InUnit(r.zenith, b.unit)) + " " + Text(r.slope) + " K1\r\n";
                }
            }
        }
    }
    return text;
}

// A blunder in one reading (set-up, target, face, round), in face-1 terms: a direction or zenith
// angle booked so much larger, a slope distance so much longer.
struct Blunder {
    std::size_t setUp = 0;
    std::string target;
    int face = 1, round = 1;
    double direction = 0.0, zenith = 0.0, slope = 0.0;
};
inline std::function<void(Reading&)> Blundered(Blunder blunder) {
    return [blunder](Reading& r) {
        if (r.setUp != blunder.setUp || r.target != blunder.target || r.face != blunder.face ||
            r.round != blunder.round)
            return;
        r.direction = Circle(r.direction + blunder.direction);
        r.zenith += r.face == 2 ? -blunder.zenith : blunder.zenith;
        if (r.slope > 0.0) r.slope += blunder.slope;
    };
}

// The line of the field file that holds a reading: the `count`-th record "111 target" after the
// station record of set-up `setUp` (count 0: the first).
inline int LineOf(const std::string& field, const Design& d, std::size_t setUp,
                  const std::string& target, int count = 0) {
    std::size_t at = 0;
    for (std::size_t k = 0; k <= setUp; ++k)
        if (!d.setUps[k].aims.empty()) at = field.find(" 102 ", at) + 1;
    for (int n = 0; n <= count; ++n)
        at = field.find(" 111 " + target + " ", at) + 1;
    return std::stoi(field.substr(field.rfind('\n', at) + 1));
}

inline ExportOptions OptionsOf(const CheckChoices& c) {
    ExportOptions options;
    options.SelCode[1] = "K1";
    options.AbsHor = Text(c.absHor);
    options.RelHor = Text(c.relHor);
    options.AbsVer = Text(c.absVer);
    options.RelVer = Text(c.relVer);
    options.AbsDis = Text(c.absDis);
    options.RelDis = Text(c.relDis);
    options.SDXY = Text(c.sdXY);
    options.SDZ = Text(c.sdZ);
    options.SigmaCent = Text(c.sigmaCent);
    options.SigmaInst = Text(c.sigmaInst);
    return options;
}

// The known points as the IDEX file gives them: the truth, with noise at SDXY and SDZ when
// `noise` is given.
inline PointTable KnownPoints(const Design& d, std::mt19937* noise = nullptr,
                              const CheckChoices& sigmas = {}) {
    PointTable points;
    std::normal_distribution<double> normal;
    const auto jitter = [&](double sigma) { return noise != nullptr ? sigma * normal(*noise) : 0; };
    for (const std::string& name : d.known) {
        const Spot& p = d.truth.at(name);
        points.Append({name, p.x + jitter(sigmas.sdXY), p.y + jitter(sigmas.sdXY),
                       p.z + jitter(sigmas.sdZ), true, false});
    }
    return points;
}

// The check's own rules on a field file (no adjustment), the known points exact.
inline CheckReport Check(const Design& d, const std::string& field, AngleUnit unit = AngleUnit::Gon,
                         const CheckChoices& sigmas = {}) {
    PointTable points = KnownPoints(d);
    const std::size_t known = points.Last();
    ExportOptions options = OptionsOf(sigmas);
    NetworkCheck check(ChoicesFrom(options, unit));
    LineReader reader;
    reader.OpenText(field);
    AngleUnitState state;
    RecordingUi ui;
    ReadFieldFile(reader, options, points, check, state, ui);
    return check.Run(points, known);
}

// The whole check as `talvik-cli check` makes it: the rules, the adjustment and its tests.
struct Outcome {
    CheckReport report;           // every finding, the adjustment's included
    adjustment::Network network;  // what the adjustment took
    adjustment::Verdict verdict;  // its rejections, critical value, variance factor
    std::string field;            // the field file read
};

// The design booked by `b` (or `field` when given) and checked whole; the known points carry
// noise at SDXY/SDZ when the booking has noise.
inline Outcome Checked(const Design& d, const Booking& b, const std::string& field = {}) {
    Outcome out;
    out.field = field.empty() ? FieldFile(d, b) : field;
    PointTable points = KnownPoints(d, b.noise, b.sigmas);
    const std::size_t known = points.Last();
    const ExportOptions options = OptionsOf(b.sigmas);
    const CheckChoices choices = ChoicesFrom(options, b.unit);
    NetworkCheck check(choices);
    adjustment::AdjustmentReadings readings(b.unit);
    // Every record to the check's rules and, with its line, to the adjustment's readings (face 2
    // is not reduced on this reading, so the records come in the file's order).
    struct Both final : ObservationStore {
        Both(NetworkCheck& c, adjustment::AdjustmentReadings& r) : check(c), readings(r) {}
        void AtLine(std::uint64_t at) override { line = static_cast<std::uint32_t>(at); }
        void Append(const ObservationRecord& record) override {
            check.Put(record);
            readings.Put(record, line);
        }
        bool HasStationRecord() const override { return true; }
        void PlaceFace2(const ObservationRecord& record, bool) override { Append(record); }
        ObservationTable Take() override { return ObservationTable{ObservationPlaceholder()}; }
        NetworkCheck& check;
        adjustment::AdjustmentReadings& readings;
        std::uint32_t line = 0;
    } both(check, readings);
    LineReader reader;
    reader.OpenText(out.field);
    AngleUnitState state;
    RecordingUi ui;
    ReadFieldRecords(reader, options, points, both, state, ui);
    points.Seal();
    out.report = check.Run(points, known);
    out.network = readings.Build(out.report);
    out.verdict = adjustment::Snoop(out.network, adjustment::SigmasFrom(choices));
    adjustment::AddAdjustment(out.report, readings, choices);
    return out;
}

// The errors' texts, for a failing expectation's message.
inline std::string Errors(const CheckReport& report) {
    std::string all;
    for (const Finding& f : report.findings)
        all += (f.severity == Severity::Error ? "fout: " : "waarschuwing: ") + f.text + "\n";
    return all;
}

// Whether a finding's text begins so.
inline bool Says(const CheckReport& report, const std::string& start) {
    return std::any_of(report.findings.begin(), report.findings.end(),
                       [&](const Finding& f) { return f.text.rfind(start, 0) == 0; });
}

// How far a point of the report is from the truth in the plan.
inline double Miss(const Design& d, const CheckReport& report, const std::string& name) {
    const CheckPoint& p = report.points[report.Find(name)];
    const Spot& t = d.truth.at(name);
    return p.state == PointState::NotPlaced ? 1e9 : std::hypot(p.x - t.x, p.y - t.y);
}

// ---- designs ----

// Four known points round a wavy chain of n points, from the first pair to the last.
inline Design Traverse(int n) {
    Design d;
    d.truth["KA"] = {1000.0, 1000.0, 10.0};
    d.truth["KB"] = {900.0, 850.0, 12.0};
    std::vector<std::string> chain{"KA"};
    for (int i = 1; i <= n; ++i) {
        const std::string name = "T" + std::to_string(i);
        d.truth[name] = {1000.0 + 140.0 * i, 1000.0 + 40.0 * std::sin(0.9 * i),
                         10.0 + 0.5 * std::cos(i)};
        chain.push_back(name);
    }
    d.truth["KC"] = {1000.0 + 140.0 * (n + 1), 1000.0, 11.0};
    d.truth["KD"] = {1000.0 + 140.0 * (n + 1) + 100.0, 1150.0, 9.0};
    chain.push_back("KC");
    d.known = {"KA", "KB", "KC", "KD"};
    d.setUps.push_back({"KA", {{"KB"}, {chain[1]}}});
    for (std::size_t i = 1; i + 1 < chain.size(); ++i)
        d.setUps.push_back({chain[i], {{chain[i - 1]}, {chain[i + 1]}}});
    d.setUps.push_back({"KC", {{chain[chain.size() - 2]}, {"KD"}}});
    return d;
}

// Known points at the corners of a square; free stations inside, each seeing three known points
// and the new points near it.
inline Design FreeStations() {
    Design d;
    d.truth = {{"K1", {0, 0, 5}},       {"K2", {600, 0, 6}},     {"K3", {600, 600, 7}},
               {"K4", {0, 600, 5.5}},   {"F1", {180, 200, 6}},   {"F2", {420, 210, 6.5}},
               {"F3", {400, 420, 6.2}}, {"F4", {190, 400, 5.8}}, {"N1", {300, 120, 6.1}},
               {"N2", {480, 320, 6.3}}, {"N3", {300, 500, 6.0}}, {"N4", {100, 310, 5.4}}};
    d.known = {"K1", "K2", "K3", "K4"};
    d.setUps = {{"F1", {{"K1"}, {"K2"}, {"K4"}, {"N1"}, {"N4"}}},
                {"F2", {{"K2"}, {"K3"}, {"K1"}, {"N1"}, {"N2"}}},
                {"F3", {{"K3"}, {"K4"}, {"K2"}, {"N2"}, {"N3"}}},
                {"F4", {{"K4"}, {"K1"}, {"K3"}, {"N3"}, {"N4"}}}};
    return d;
}

// New points seen by directions (and zenith angles) only from three known stations that see
// each other.
inline Design Intersections() {
    Design d;
    d.truth = {{"K1", {0, 0, 5}},       {"K2", {800, 0, 6}},     {"K3", {400, 700, 7}},
               {"R1", {300, 250, 5.5}}, {"R2", {520, 300, 6.0}}, {"R3", {400, 420, 6.5}},
               {"R4", {250, 120, 5.2}}};
    d.known = {"K1", "K2", "K3"};
    const auto rays = [](std::vector<Aim> own) {
        for (const char* r : {"R1", "R2", "R3", "R4"})
            own.push_back({r, false});
        return own;
    };
    d.setUps = {{"K1", rays({{"K2"}, {"K3"}})},
                {"K2", rays({{"K3"}, {"K1"}})},
                {"K3", rays({{"K1"}, {"K2"}})}};
    return d;
}

// A rows × columns mesh (spacing about 150 m, jittered); two known pairs at opposite corners.
// Every point is a station that sees its neighbours (left, up, right, down, diagonal), the
// backsight first.
inline Design Mesh(int rows, int columns, std::uint32_t shape = 7) {
    Design d;
    std::mt19937 random(shape);
    std::uniform_real_distribution<double> wobble(-30.0, 30.0);
    const auto name = [](int r, int c) {
        return "M" + std::to_string(r) + "_" + std::to_string(c);
    };
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            d.truth[name(r, c)] = {150.0 * c + wobble(random), 150.0 * r + wobble(random),
                                   20.0 + wobble(random) / 10.0};
    d.known = {name(0, 0), name(0, 1), name(rows - 1, columns - 1), name(rows - 1, columns - 2)};
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            Occupation s{name(r, c), {}};
            if (c > 0) s.aims.push_back({name(r, c - 1)});
            if (r > 0) s.aims.push_back({name(r - 1, c)});
            if (c + 1 < columns) s.aims.push_back({name(r, c + 1)});
            if (r + 1 < rows) s.aims.push_back({name(r + 1, c)});
            if (r + 1 < rows && c + 1 < columns) s.aims.push_back({name(r + 1, c + 1)});
            d.setUps.push_back(s);
        }
    }
    return d;
}

}  // namespace talvik::testing
