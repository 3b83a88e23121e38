// The network check's tables: how often a sound network shows an error (false alarms), how
// often a blunder of each kind is found and named (power), and the networks for the speed
// runs. bench/check-tables.sh runs it; docs/check.md holds the figures.
//
//   check_tables false SEEDS          false alarms per design
//   check_tables power SEEDS          power on a 60-point mesh, a traverse's closing point
//   check_tables write ROWS COLUMNS DIR [EVERY]   a mesh as DIR/mesh.fld and DIR/mesh.idx
//                                     (noise), a known pair every EVERY rows and columns

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>
#include <string>

#include "check/NetworkGenerator.h"

namespace {

using namespace talvik;
using namespace talvik::adjustment;
using talvik::testing::Booking;
using talvik::testing::Design;
using talvik::testing::Outcome;

// The design booked with noise, its known points (with their own noise) as the IDEX file
// gives them, or `moved` shifted by `shift` (0.6, 0.8 of it in x and y).
Outcome WithMoved(const Design& d, const Booking& b, const std::string& moved = {},
                  double shift = 0.0) {
    if (moved.empty()) return testing::Checked(d, b);
    const std::string field = testing::FieldFile(d, b);
    Design idex = d;
    idex.truth[moved].x += 0.6 * shift;
    idex.truth[moved].y += 0.8 * shift;
    return testing::Checked(idex, b, field);
}

int FalseAlarms(int seeds) {
    struct Row {
        const char* name;
        Design design;
        AngleUnit unit;
    };
    const auto rounds = [](Design d, int n) {
        d.rounds = n;
        return d;
    };
    const Row designs[] = {
        {"traverse, 8 new points", testing::Traverse(8), AngleUnit::Gon},
        {"traverse, 30 new points", testing::Traverse(30), AngleUnit::DegreesMinutesSeconds},
        {"free stations, 2 rounds", rounds(testing::FreeStations(), 2), AngleUnit::DecimalDegrees},
        {"intersections", testing::Intersections(), AngleUnit::Gon},
        {"mesh 6 x 10", testing::Mesh(6, 10), AngleUnit::Gon},
        {"mesh 6 x 10, 2 rounds", rounds(testing::Mesh(6, 10), 2), AngleUnit::DecimalDegrees},
        {"mesh 20 x 25 (500 points)", testing::Mesh(20, 25), AngleUnit::Gon}};
    const char* units[] = {"DMS", "degrees", "gon"};
    std::printf(
        "| design | unit | networks | with a rejection (adjustment) | with any error (whole "
        "check) | mean variance factor |\n|---|---|---|---|---|---|\n");
    for (const Row& row : designs) {
        int rejected = 0;
        int errors = 0;
        double factor = 0.0;
        for (int seed = 1; seed <= seeds; ++seed) {
            std::mt19937 noise(static_cast<std::uint32_t>(seed));
            Booking b;
            b.unit = row.unit;
            b.noise = &noise;
            const Outcome o = WithMoved(row.design, b);
            rejected += o.verdict.rejections.empty() ? 0 : 1;
            errors += o.report.Errors() > 0 ? 1 : 0;
            factor += o.verdict.varianceFactor;
        }
        std::printf("| %s | %s | %d | %d (%.1f %%) | %d (%.1f %%) | %.2f |\n", row.name,
                    units[static_cast<int>(row.unit)], seeds, rejected, 100.0 * rejected / seeds,
                    errors, 100.0 * errors / seeds, factor / seeds);
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

// Where a blunder goes: a set-up inside the mesh and one of its sights.
struct Where {
    std::size_t setUp = 0;
    std::string station, target;
};

int Power(int seeds) {
    const Design mesh = testing::Mesh(6, 10);
    std::printf(
        "| blunder (60-point mesh unless said) | a rejection, 1 round | named, 1 round | a "
        "rejection, 2 rounds | named, 2 rounds |\n|---|---|---|---|---|\n");
    struct Case {
        const char* name;
        // Puts the blunder into the design (a station record's) or the booking (a reading's).
        std::function<void(Design&, Booking&, const Where&)> make;
        std::string moved;
        double shift;
        std::function<bool(const Outcome&, const Where&)> named;
    };
    const auto observation = [&](ObservationKind kind) {
        return [=](const Outcome& o, const Where& w) {
            return Named(o, [&](const Rejection& r) {
                if (r.kind != kind) return false;
                const Reading& reading = o.network.readings[r.reading];
                return o.network.points[reading.station].name == w.station &&
                       o.network.points[reading.target].name == w.target;
            });
        };
    };
    const auto atStation = [&](const Outcome& o, const Where& w) {
        return Named(o, [&](const Rejection& r) {
            if (r.kind >= ObservationKind::KnownX && r.kind != ObservationKind::InstrumentHeight)
                return false;
            const Reading& reading = o.network.readings[r.reading];
            return o.network.points[reading.station].name == w.station ||
                   o.network.points[reading.target].name == w.station;
        });
    };
    const auto reading = [](double direction, double zenith, double slope) {
        return [=](Design&, Booking& b, const Where& w) {
            b.change = testing::Blundered({w.setUp, w.target, 1, 1, direction, zenith, slope});
        };
    };
    std::vector<Case> cases = {
        {"distance 0.05 m", reading(0, 0, 0.05), "", 0.0, observation(ObservationKind::Distance)},
        {"direction 20 mgon", reading(0.020 * testing::kGon, 0, 0), "", 0.0,
         observation(ObservationKind::Direction)},
        {"zenith angle 20 mgon", reading(0, 0.020 * testing::kGon, 0), "", 0.0,
         observation(ObservationKind::HeightDifference)},
        {"instrument height 0.1 m",
         [](Design& d, Booking&, const Where& w) { d.setUps[w.setUp].instrumentHeightError = 0.1; },
         "", 0.0, atStation},
        {"wrong station name (a neighbour's)",
         [](Design& d, Booking&, const Where& w) { d.setUps[w.setUp].bookedAs = w.target; }, "",
         0.0,
         [&](const Outcome& o, const Where& w) {
             return Named(o, [&](const Rejection& r) {
                 if (r.kind >= ObservationKind::KnownX) return false;
                 const Reading& reading = o.network.readings[r.reading];
                 return o.network.points[reading.station].name == w.target;
             });
         }},
        {"known point 0.1 m", [](Design&, Booking&, const Where&) {}, mesh.known[2], 0.1,
         [&](const Outcome& o, const Where&) {
             return Named(o, [&](const Rejection& r) {
                 return r.kind == ObservationKind::KnownX &&
                        o.network.points[r.reading].name == mesh.known[2];
             });
         }},
    };
    for (const Case& c : cases) {
        std::printf("| %s |", c.name);
        for (const int rounds : {1, 2}) {
            int found = 0;
            int named = 0;
            for (int seed = 1; seed <= seeds; ++seed) {
                std::mt19937 noise(static_cast<std::uint32_t>(1000 + seed));
                Booking b;
                b.noise = &noise;
                // A set-up inside the mesh, its sights turned by the seed.
                Where w;
                w.setUp = static_cast<std::size_t>(11 + (seed * 7) % 38);
                const auto& aims = mesh.setUps[w.setUp].aims;
                w.station = mesh.setUps[w.setUp].station;
                w.target = aims[static_cast<std::size_t>(seed) % aims.size()].target;
                Design d = mesh;
                d.rounds = rounds;
                c.make(d, b, w);
                const Outcome o = WithMoved(d, b, c.moved, c.shift);
                found += o.verdict.rejections.empty() ? 0 : 1;
                named += c.named(o, w) ? 1 : 0;
            }
            std::printf(" %.0f %% | %.0f %% |", 100.0 * found / seeds, 100.0 * named / seeds);
        }
        std::printf("\n");
    }
    // The traverse's closing known point moved 0.5 m.
    const Design traverse = testing::Traverse(30);
    int found = 0;
    int named = 0;
    for (int seed = 1; seed <= seeds; ++seed) {
        std::mt19937 noise(static_cast<std::uint32_t>(2000 + seed));
        Booking b;
        b.noise = &noise;
        const Outcome o = WithMoved(traverse, b, "KC", 0.5);
        found += o.verdict.rejections.empty() ? 0 : 1;
        named += Named(o,
                       [&](const Rejection& r) {
                           return r.kind >= ObservationKind::KnownX &&
                                  o.network.points[r.reading].name == "KC";
                       })
                     ? 1
                     : 0;
    }
    std::printf("| traverse of 30 points, closing known point 0.5 m | %.0f %% | %.0f %% | | |\n",
                100.0 * found / seeds, 100.0 * named / seeds);
    return 0;
}

// `every` > 0: a known pair (a point and its right neighbour) every that many rows and columns
// too, as a network tied to the control points of its area; 0: the two corner pairs alone.
int Write(int rows, int columns, const std::string& dir, int every) {
    Design d = testing::Mesh(rows, columns);
    for (int r = every; every > 0 && r < rows; r += every) {
        for (int c = every; c + 1 < columns; c += every) {
            for (const int k : {c, c + 1})
                d.known.push_back("M" + std::to_string(r) + "_" + std::to_string(k));
        }
    }
    std::mt19937 noise(1);
    Booking b;
    b.noise = &noise;
    std::ofstream(dir + "/mesh.fld", std::ios::binary) << testing::FieldFile(d, b);
    std::ofstream(dir + "/mesh.idx", std::ios::binary) << testing::IdexFile(d);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "";
    if (what == "false" && argc == 3) return FalseAlarms(std::atoi(argv[2]));
    if (what == "power" && argc == 3) return Power(std::atoi(argv[2]));
    if (what == "write" && (argc == 5 || argc == 6))
        return Write(std::atoi(argv[2]), std::atoi(argv[3]), argv[4],
                     argc == 6 ? std::atoi(argv[5]) : 0);
    std::fputs("usage: check_tables false SEEDS | power SEEDS | write ROWS COLUMNS DIR [EVERY]\n",
               stderr);
    return 2;
}
