#pragma once
// Networks made from true coordinates, written as a field file (and the known points for an
// IDEX file), exactly or with noise at the export's standard deviations: a traverse between
// known points, free stations, intersections by directions, a mesh with backsights.

#include <charconv>
#include <cmath>
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "check/Adjustment.h"
#include "model/Tables.h"

namespace talvik::testing {

struct TruePoint {
    double x, y, h;
};
struct Sight {
    std::string target;
    bool distance = true;
    bool zenith = true;
};
struct Station {
    std::string name;
    std::vector<Sight> sights;
};

struct Design {
    std::map<std::string, TruePoint> truth;
    std::vector<std::string> known;
    std::vector<Station> stations;
};

// How the field book is written, and what goes wrong in it.
struct Booking {
    AngleUnit unit = AngleUnit::Gon;
    bool bothFaces = true;
    int rounds = 1;                 // readings of every target per face
    std::mt19937* noise = nullptr;  // none: exact readings
    adjustment::Sigmas sigmas;
    // A blunder: at set-up `station` (index), sight `sight`, the first reading of face 1.
    int blunderStation = -1;
    int blunderSight = 0;
    double distanceError = 0.0;          // m on the slope distance
    double directionError = 0.0;         // rad
    double zenithError = 0.0;            // rad
    double instrumentHeightError = 0.0;  // m on the set-up's instrument height (booked)
    std::string wrongStationName;        // the set-up booked under this name
};

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kGonRad = kPi / 200.0;

inline std::string Fixed9(double value) {
    char buffer[64];
    return {buffer,
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 9).ptr};
}

// An angle brought into [0, 2π).
inline double Circle(double angle) {
    angle = std::fmod(angle, 2.0 * kPi);
    return angle < 0.0 ? angle + 2.0 * kPi : angle;
}

// An angle in radians in the file's unit; degrees-minutes-seconds as DDD.MMSSsss.
inline double InUnit(double radians, AngleUnit unit) {
    if (unit == AngleUnit::Gon) return radians * 200.0 / kPi;
    const double degrees = radians * 180.0 / kPi;
    if (unit == AngleUnit::DecimalDegrees) return degrees;
    const double d = std::floor(degrees);
    const double m = std::floor((degrees - d) * 60.0);
    const double s = (degrees - d) * 3600.0 - m * 60.0;
    return d + m / 100.0 + s / 10000.0;
}

// The field file of a design; every observation record carries the code K1.
inline std::string FieldFile(const Design& d, const Booking& b) {
    const char* units[] = {"DM", "DD", "GR"};
    std::string text = "1 51 " + std::string(units[static_cast<int>(b.unit)]) + "\r\n";
    std::normal_distribution<double> normal;
    const auto jitter = [&](double sigma) { return b.noise ? sigma * normal(*b.noise) : 0.0; };
    const adjustment::Sigmas& s = b.sigmas;
    const double cent2 = 2.0 * s.sigmaCent * s.sigmaCent;
    const double inst2 = 2.0 * s.sigmaInst * s.sigmaInst;
    int line = 2;
    for (std::size_t k = 0; k < d.stations.size(); ++k) {
        const Station& st = d.stations[k];
        const TruePoint& sp = d.truth.at(st.name);
        const double ih = 1.45 + 0.01 * static_cast<double>(k % 20);
        const double orientation = 0.37 * static_cast<double>(k) + 0.21;
        const bool blunderHere = static_cast<int>(k) == b.blunderStation;
        const std::string stationName =
            blunderHere && !b.wrongStationName.empty() ? b.wrongStationName : st.name;
        const double bookedIh = ih + (blunderHere ? b.instrumentHeightError : 0.0);
        for (std::size_t j = 0; j < st.sights.size(); ++j) {
            const Sight& sight = st.sights[j];
            const TruePoint& tp = d.truth.at(sight.target);
            const double th = 1.3 + 0.02 * static_cast<double>(k % 5);  // one per set-up
            const double dx = tp.x - sp.x;
            const double dy = tp.y - sp.y;
            const double h = std::hypot(dx, dy);
            const double up = tp.h + th - sp.h - ih - adjustment::CurvatureTerm(h);
            const double direction = Circle(std::atan2(dx, dy) - orientation);
            const double zenith = std::atan2(h, up);
            const double slope = std::hypot(h, up);
            // The standard deviations the adjustment gives these readings.
            const double sr = (s.absHor + s.relHor * h / 1000.0) * kGonRad;
            const double sz = (s.absVer + s.relVer * h / 1000.0) * kGonRad;
            const double sd = s.absDis + s.relDis * 1e-6 * h;
            const double sigmaDirection = std::sqrt(sr * sr + cent2 / (h * h));
            const double sigmaDistance = std::sqrt(sd * sd + cent2);
            const double sigmaZenith = std::sqrt(sz * sz + inst2 / (h * h));
            const bool blundered = blunderHere && static_cast<int>(j) == b.blunderSight;
            if (j == 0) {
                text += std::to_string(line++) + " 102 " + stationName + " " + Fixed9(bookedIh) +
                        " " + Fixed9(th) + " " + sight.target + " " +
                        Fixed9(InUnit(direction, b.unit)) + "\r\n";
            }
            for (int face = 1; face <= (b.bothFaces ? 2 : 1); ++face) {
                for (int round = 0; round < b.rounds; ++round) {
                    const bool first = blundered && face == 1 && round == 0;
                    double r =
                        direction + jitter(sigmaDirection) + (first ? b.directionError : 0.0);
                    double z = zenith + jitter(sigmaZenith) + (first ? b.zenithError : 0.0);
                    if (face == 2) {
                        r = r + kPi;
                        z = 2.0 * kPi - z;
                    }
                    const double distance = sight.distance ? slope + jitter(sigmaDistance) +
                                                                 (first ? b.distanceError : 0.0)
                                                           : 0.0;
                    text += std::to_string(line++) + " 111 " + sight.target + " " +
                            Fixed9(InUnit(Circle(r), b.unit)) + " " +
                            (sight.zenith || sight.distance ? Fixed9(InUnit(z, b.unit)) : "0") +
                            " " + Fixed9(distance) + " K1\r\n";
                }
            }
        }
    }
    return text;
}

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
    d.stations.push_back({"KA", {{"KB"}, {chain[1]}}});
    for (std::size_t i = 1; i + 1 < chain.size(); ++i)
        d.stations.push_back({chain[i], {{chain[i - 1]}, {chain[i + 1]}}});
    d.stations.push_back({"KC", {{chain[chain.size() - 2]}, {"KD"}}});
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
    d.stations = {{"F1", {{"K1"}, {"K2"}, {"K4"}, {"N1"}, {"N4"}}},
                  {"F2", {{"K2"}, {"K3"}, {"K1"}, {"N1"}, {"N2"}}},
                  {"F3", {{"K3"}, {"K4"}, {"K2"}, {"N2"}, {"N3"}}},
                  {"F4", {{"K4"}, {"K1"}, {"K3"}, {"N3"}, {"N4"}}}};
    return d;
}

// New points seen by directions only from three known stations that see each other.
inline Design Intersections() {
    Design d;
    d.truth = {{"K1", {0, 0, 5}},       {"K2", {800, 0, 6}},     {"K3", {400, 700, 7}},
               {"R1", {300, 250, 5.5}}, {"R2", {520, 300, 6.0}}, {"R3", {400, 420, 6.5}},
               {"R4", {250, 120, 5.2}}};
    d.known = {"K1", "K2", "K3"};
    const auto rays = [](std::vector<Sight> own) {
        for (const char* r : {"R1", "R2", "R3", "R4"})
            own.push_back({r, false, true});
        return own;
    };
    d.stations = {{"K1", rays({{"K2"}, {"K3"}})},
                  {"K2", rays({{"K3"}, {"K1"}})},
                  {"K3", rays({{"K1"}, {"K2"}})}};
    return d;
}

// A rows × columns mesh (spacing about 150 m, jittered); two known pairs at opposite corners.
// Every point is a station that sees its neighbours (right, down, diagonal), the backsight first.
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
            Station s{name(r, c), {}};
            if (c > 0) s.sights.push_back({name(r, c - 1)});
            if (r > 0) s.sights.push_back({name(r - 1, c)});
            if (c + 1 < columns) s.sights.push_back({name(r, c + 1)});
            if (r + 1 < rows) s.sights.push_back({name(r + 1, c)});
            if (r + 1 < rows && c + 1 < columns) s.sights.push_back({name(r + 1, c + 1)});
            d.stations.push_back(s);
        }
    }
    return d;
}

}  // namespace talvik::testing
