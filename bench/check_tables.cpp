// The network check's tables: how often a sound network shows an error (false alarms), how
// often a blunder of each kind is found and named (power), and the networks for the speed
// runs. bench/check-tables.sh runs it; docs/check.md holds the figures.
//
//   check_tables false SEEDS          false alarms per design
//   check_tables power SEEDS          power on a 60-point mesh, a traverse's closing point
//   check_tables write ROWS COLUMNS DIR   a mesh as DIR/mesh.fld and DIR/mesh.idx (noise)

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>
#include <string>

#include "check/AdjustmentInput.h"
#include "check/CheckReading.h"
#include "check/NetworkGenerator.h"
#include "check/Snooping.h"
#include "fieldfile/FieldFileReader.h"
#include "platform/UserInterface.h"
#include "text/LineReader.h"

namespace {

using namespace talvik;
using namespace talvik::adjustment;
using talvik::testing::Booking;
using talvik::testing::Design;

struct Quiet final : UserInterface {
    Answer Message(std::string_view, Buttons, Icon, std::string_view) override {
        return Answer::Ok;
    }
    void Progress(std::string_view) override {}
    void Yield() override {}
};

struct Tee final : ObservationSink {
    Tee(NetworkCheck& c, AdjustmentReadings& r) : check(c), readings(r) {}
    void Put(const ObservationRecord& record) override {
        check.Put(record);
        readings.Put(record);
    }
    NetworkCheck& check;
    AdjustmentReadings& readings;
};

struct Outcome {
    CheckReport report;  // the whole check, the adjustment's findings included
    Network network;
    Verdict verdict;
};

// Known points as the IDEX file gives them (with their own noise, or `moved` shifted).
Outcome Checked(const Design& d, const Booking& b, const std::string& moved = {},
                double shift = 0.0) {
    PointTable points;
    std::normal_distribution<double> normal;
    const auto jitter = [&](double sigma) { return b.noise ? sigma * normal(*b.noise) : 0.0; };
    for (const std::string& k : d.known) {
        const auto& p = d.truth.at(k);
        const double dx = k == moved ? shift * 0.6 : 0.0;
        const double dy = k == moved ? shift * 0.8 : 0.0;
        points.Append({k, p.x + dx + jitter(b.sigmas.sdXY), p.y + dy + jitter(b.sigmas.sdXY),
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
    Quiet ui;
    ReadFieldFile(reader, options, points, tee, state, ui);
    Outcome out;
    out.report = check.Run(points, known);
    out.network = readings.Build(out.report);
    out.verdict = Snoop(out.network, SigmasFrom(choices));
    AddAdjustment(out.report, readings, choices);
    return out;
}

int FalseAlarms(int seeds) {
    const std::pair<const char*, Design> designs[] = {
        {"traverse, 8 new points", testing::Traverse(8)},
        {"traverse, 30 new points", testing::Traverse(30)},
        {"free stations", testing::FreeStations()},
        {"intersections", testing::Intersections()},
        {"mesh 6 x 10", testing::Mesh(6, 10)},
        {"mesh 20 x 25 (500 points)", testing::Mesh(20, 25)}};
    std::printf(
        "| design | networks | with a rejection (adjustment) | with any error (whole check) "
        "| mean variance factor |\n|---|---|---|---|---|\n");
    for (const auto& [name, d] : designs) {
        int rejected = 0;
        int errors = 0;
        double factor = 0.0;
        for (int seed = 1; seed <= seeds; ++seed) {
            std::mt19937 noise(static_cast<std::uint32_t>(seed));
            Booking b;
            b.noise = &noise;
            const Outcome o = Checked(d, b);
            rejected += o.verdict.rejections.empty() ? 0 : 1;
            errors += o.report.Errors() > 0 ? 1 : 0;
            factor += o.verdict.varianceFactor;
        }
        std::printf("| %s | %d | %d (%.1f %%) | %d (%.1f %%) | %.2f |\n", name, seeds, rejected,
                    100.0 * rejected / seeds, errors, 100.0 * errors / seeds, factor / seeds);
    }
    return 0;
}

// Whether a rejection of the first adjustment's tests names the observation at set-up
// `station` to `target` of that kind (or, for a known point, the point).
bool Named(const Outcome& o, const std::function<bool(const Rejection&)>& is) {
    for (const Rejection& r : o.verdict.rejections)
        if (is(r)) return true;
    return false;
}

int Power(int seeds) {
    const Design mesh = testing::Mesh(6, 10);
    std::printf(
        "| blunder (60-point mesh unless said) | a rejection | the blunder named |\n|---|---|---|\n");
    struct Case {
        const char* name;
        std::function<void(Booking&, int)> make;
        std::string moved;
        double shift;
        std::function<bool(const Outcome&, const Booking&)> named;
    };
    const auto stationOf = [&](const Booking& b) { return mesh.stations[b.blunderStation].name; };
    const auto targetOf = [&](const Booking& b) {
        return mesh.stations[b.blunderStation].sights[b.blunderSight].target;
    };
    const auto observation = [&](ObservationKind kind) {
        return [=, &stationOf, &targetOf](const Outcome& o, const Booking& b) {
            return Named(o, [&](const Rejection& r) {
                if (r.kind != kind) return false;
                const Reading& reading = o.network.readings[r.reading];
                return o.network.points[reading.station].name == stationOf(b) &&
                       o.network.points[reading.target].name == targetOf(b);
            });
        };
    };
    const auto atStation = [&](const Outcome& o, const Booking& b) {
        return Named(o, [&](const Rejection& r) {
            if (r.kind >= ObservationKind::KnownX) return false;
            const Reading& reading = o.network.readings[r.reading];
            return o.network.points[reading.station].name == stationOf(b) ||
                   o.network.points[reading.target].name == stationOf(b);
        });
    };
    std::vector<Case> cases = {
        {"distance 0.05 m", [](Booking& b, int) { b.distanceError = 0.05; }, "", 0.0,
         observation(ObservationKind::Distance)},
        {"direction 20 mgon", [](Booking& b, int) { b.directionError = 0.020 * testing::kGonRad; },
         "", 0.0, observation(ObservationKind::Direction)},
        {"zenith angle 20 mgon", [](Booking& b, int) { b.zenithError = 0.020 * testing::kGonRad; },
         "", 0.0, observation(ObservationKind::HeightDifference)},
        {"instrument height 0.1 m", [](Booking& b, int) { b.instrumentHeightError = 0.1; }, "", 0.0,
         atStation},
        {"wrong station name (a neighbour's)",
         [&](Booking& b, int) { b.wrongStationName = targetOf(b); }, "", 0.0,
         [&](const Outcome& o, const Booking& b) {
             return Named(o, [&](const Rejection& r) {
                 if (r.kind >= ObservationKind::KnownX) return false;
                 const Reading& reading = o.network.readings[r.reading];
                 return o.network.points[reading.station].name == targetOf(b);
             });
         }},
        {"known point 0.1 m", [](Booking&, int) {}, mesh.known[2], 0.1,
         [&](const Outcome& o, const Booking&) {
             return Named(o, [&](const Rejection& r) {
                 return r.kind == ObservationKind::KnownX &&
                        o.network.points[r.reading].name == mesh.known[2];
             });
         }},
    };
    for (const Case& c : cases) {
        int found = 0;
        int named = 0;
        for (int seed = 1; seed <= seeds; ++seed) {
            std::mt19937 noise(static_cast<std::uint32_t>(1000 + seed));
            Booking b;
            b.noise = &noise;
            // A set-up inside the mesh, its sights turned by the seed.
            b.blunderStation = 11 + (seed * 7) % 38;
            b.blunderSight = seed % static_cast<int>(mesh.stations[b.blunderStation].sights.size());
            c.make(b, seed);
            const Outcome o = Checked(mesh, b, c.moved, c.shift);
            found += o.verdict.rejections.empty() ? 0 : 1;
            named += c.named(o, b) ? 1 : 0;
        }
        std::printf("| %s | %.0f %% | %.0f %% |\n", c.name, 100.0 * found / seeds,
                    100.0 * named / seeds);
    }
    // The traverse's closing known point moved 0.5 m.
    const Design traverse = testing::Traverse(30);
    int found = 0;
    int named = 0;
    for (int seed = 1; seed <= seeds; ++seed) {
        std::mt19937 noise(static_cast<std::uint32_t>(2000 + seed));
        Booking b;
        b.noise = &noise;
        const Outcome o = Checked(traverse, b, "KC", 0.5);
        found += o.verdict.rejections.empty() ? 0 : 1;
        named += Named(o,
                       [&](const Rejection& r) {
                           return r.kind >= ObservationKind::KnownX &&
                                  o.network.points[r.reading].name == "KC";
                       })
                     ? 1
                     : 0;
    }
    std::printf("| traverse of 30 points, closing known point 0.5 m | %.0f %% | %.0f %% |\n",
                100.0 * found / seeds, 100.0 * named / seeds);
    return 0;
}

int Write(int rows, int columns, const std::string& dir) {
    const Design d = testing::Mesh(rows, columns);
    std::mt19937 noise(1);
    Booking b;
    b.noise = &noise;
    std::ofstream(dir + "/mesh.fld", std::ios::binary) << testing::FieldFile(d, b);
    std::string idex =
        "HEADER\r\n  VERSION      1.20\r\nEND HEADER\r\nDATABASE\r\n"
        "  POINTS (PointNo,PointID,East,North,Elevation,Code,LayerNo)\r\n";
    int n = 1;
    for (const std::string& k : d.known) {
        const auto& p = d.truth.at(k);
        idex += "    " + std::to_string(n++) + ", \"" + k + "\", " + testing::Fixed9(p.x) + ", " +
                testing::Fixed9(p.y) + ", " + testing::Fixed9(p.h) + ", \"K\", 0;\r\n";
    }
    idex += "  END POINTS\r\nEND DATABASE\r\n";
    std::ofstream(dir + "/mesh.idx", std::ios::binary) << idex;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "";
    if (what == "false" && argc == 3) return FalseAlarms(std::atoi(argv[2]));
    if (what == "power" && argc == 3) return Power(std::atoi(argv[2]));
    if (what == "write" && argc == 5) return Write(std::atoi(argv[2]), std::atoi(argv[3]), argv[4]);
    std::fputs("usage: check_tables false SEEDS | power SEEDS | write ROWS COLUMNS DIR\n", stderr);
    return 2;
}
