#pragma once
// Networks for the check's tests, observed from true coordinates: a field file booked from a
// design (which station sees which target, with or without a distance), exactly or with noise
// at the export's standard deviations, in any angle unit, both faces and rounds; and the check
// run on it with the known points as the IDEX file's.

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "check/NetworkCheck.h"
#include "fieldfile/FieldFileReader.h"
#include "support/RecordingUi.h"
#include "text/LineReader.h"

namespace talvik::observed {

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kGon = kPi / 200.0;

struct Spot {
    double x = 0.0, y = 0.0, z = 0.0;
};
struct Aim {
    std::string target;
    bool distance = true;
};
struct Occupation {
    std::string station;
    std::vector<Aim> aims;
    double scale = 1.0;  // the distances are booked this much too long (an instrument's scale)
};
struct Design {
    std::map<std::string, Spot> truth;
    std::vector<std::string> known;  // in the IDEX file
    std::vector<Occupation> setUps;
    int faces = 2;
    int rounds = 1;
};

// One reading as it is booked (radians, metres); a test may change it before it is written.
struct Reading {
    std::string station, target;
    std::size_t setUp = 0;
    int face = 1, round = 1;
    double direction = 0.0, zenith = 0.0, slope = 0.0;  // slope 0: no distance
};

struct Booking {
    AngleUnit unit = AngleUnit::Gon;
    std::mt19937* noise = nullptr;  // noise at the σ of `sigmas`
    CheckChoices sigmas;
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

inline double InstrumentHeight(std::size_t setUp) {
    return 1.5 + 0.01 * static_cast<double>(setUp % 50);
}
inline constexpr double kTargetHeight = 1.3;

// The true readings of a sight (no noise): horizontal direction with the set-up's orientation
// taken off, zenith angle and slope distance, with curvature and refraction (k = 0.13).
inline Reading TrueReading(const Design& d, std::size_t setUp, const std::string& target) {
    const Occupation& o = d.setUps[setUp];
    const Spot& s = d.truth.at(o.station);
    const Spot& t = d.truth.at(target);
    const double h = std::hypot(t.x - s.x, t.y - s.y);
    const double up =
        t.z + kTargetHeight - s.z - InstrumentHeight(setUp) - 0.87 * h * h / (2.0 * 6381000.0);
    const double orientation = 0.7 * static_cast<double>(setUp) + 0.3;
    Reading r;
    r.station = o.station;
    r.target = target;
    r.setUp = setUp;
    r.direction = std::fmod(std::atan2(t.x - s.x, t.y - s.y) - orientation + 4.0 * kPi, 2.0 * kPi);
    r.zenith = std::atan2(h, up);
    r.slope = std::hypot(h, up) * o.scale;
    return r;
}

// The field file: a station record per set-up (reference: its first target), then per round
// and target the readings of face 1 and face 2.
inline std::string FieldFile(const Design& d, const Booking& b = {}) {
    const char* units[] = {"DM", "DD", "GR"};
    std::string text = "1 51 " + std::string(units[static_cast<int>(b.unit)]) + "\r\n";
    std::normal_distribution<double> normal;
    const auto jitter = [&](double sigma) {
        return b.noise != nullptr ? sigma * normal(*b.noise) : 0;
    };
    const CheckChoices& c = b.sigmas;
    for (std::size_t k = 0; k < d.setUps.size(); ++k) {
        const Occupation& o = d.setUps[k];
        if (o.aims.empty()) continue;
        const Reading first = TrueReading(d, k, o.aims.front().target);
        text += "6 102 " + o.station + " " + Text(InstrumentHeight(k)) + " " + Text(kTargetHeight) +
                " " + first.target + " " + Text(InUnit(first.direction, b.unit)) + "\r\n";
        for (int round = 1; round <= d.rounds; ++round) {
            for (const Aim& aim : o.aims) {
                const Reading truth = TrueReading(d, k, aim.target);
                const double h = truth.slope * std::sin(truth.zenith);
                for (int face = 1; face <= d.faces; ++face) {
                    Reading r = truth;
                    r.face = face;
                    r.round = round;
                    r.direction += jitter((c.absHor + c.relHor * h / 1000.0) * kGon);
                    r.zenith += jitter((c.absVer + c.relVer * h / 1000.0) * kGon);
                    r.slope = aim.distance ? r.slope + jitter(c.absDis + c.relDis * 1e-6 * h) : 0.0;
                    if (face == 2) {
                        r.direction = std::fmod(r.direction + kPi, 2.0 * kPi);
                        r.zenith = 2.0 * kPi - r.zenith;
                    }
                    if (b.change) b.change(r);
                    text += "7 111 " + r.target + " " + Text(InUnit(r.direction, b.unit)) + " " +
                            Text(InUnit(r.zenith, b.unit)) + " " + Text(r.slope) + " K1\r\n";
                }
            }
        }
    }
    return text;
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

inline CheckReport Check(const Design& d, const std::string& field, AngleUnit unit = AngleUnit::Gon,
                         const CheckChoices& sigmas = {}) {
    PointTable points;
    for (const std::string& name : d.known) {
        const Spot& p = d.truth.at(name);
        points.Append({name, p.x, p.y, p.z, true, false});
    }
    const std::size_t known = points.Last();
    ExportOptions options = OptionsOf(sigmas);
    NetworkCheck check(ChoicesFrom(options, unit));
    LineReader reader;
    reader.OpenText(field);
    AngleUnitState state;
    testing::RecordingUi ui;
    ReadFieldFile(reader, options, points, check, state, ui);
    return check.Run(points, known);
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

}  // namespace talvik::observed
