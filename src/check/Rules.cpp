#include "check/Rules.h"

#include <cmath>
#include <set>
#include <utility>

#include "check/Geometry.h"
#include "check/Placement.h"

namespace talvik {

namespace {

// How a placed point was placed, for the texts.
std::string Origin(const Network& net, std::uint32_t point) {
    const std::uint32_t from = net.points[point].from;
    if (from == 0) return "de insnijding";
    const std::uint32_t station = net.setUps[from - 1].station;
    return station == point ? "de vrije standplaats" : "die vanuit " + net.Name(station);
}

// A sight of set-up `s` that puts its target (or the target's height) too far off: the sight
// flagged and the error said (`text` made only while findings are kept in full).
template <typename Text>
void Off(const Network& net, const SetUp& s, const Sight& sight, Concern concern,
         Findings& findings, Text&& text) {
    findings.FlagSight(net.NumberOf(sight));
    findings.Add(Severity::Error, {sight.target, s.station}, std::forward<Text>(text),
                 {concern, false, false, s.station, sight.target});
}

}  // namespace

void ComparePositions(const Network& net, std::size_t first, std::size_t last, Findings& findings) {
    for (std::size_t i = first; i < last; ++i) {
        const SetUp& s = net.setUps[i];
        const Orientation& o = net.orientations[i];
        const Point& at = net.points[s.station];
        if (!o.oriented) continue;
        const auto self = static_cast<std::uint32_t>(i + 1);  // as a point keeps it
        for (const Sight& sight : net.SightsOf(i)) {
            const Point& target = net.points[sight.target];
            if (sight.target == s.station || !target.placed) continue;
            // Skipped where the sight itself placed the target, or the fit of a free set-up
            // placed the station (its targets' misfits are reported there).
            if (sight.HasDirection() && sight.HasHorizontal() && target.from != self &&
                at.from != self) {
                const double h = sight.Horizontal();
                const geometry::Plan p =
                    geometry::PolarPoint(at.Plan(), o.orientation + sight.Direction(), h);
                const double dx = p.x - target.x;
                const double dy = p.y - target.y;
                const double off2 = dx * dx + dy * dy;
                const double tolerance2 = tolerance::PositionSquared(
                    at.sigma * at.sigma + net.sigmas.PolarVariance(h, o.sigma) +
                    target.sigma * target.sigma);
                if (off2 > tolerance2) {
                    const double off = std::sqrt(off2);
                    const double tolerance = std::sqrt(tolerance2);
                    Off(net, s, sight, Concern::Position, findings, [&] {
                        return target.known
                                   ? says::KnownPointOff(net.Name(sight.target),
                                                         net.Name(s.station), off, tolerance)
                                   : says::PlacementOff(net.Name(sight.target), net.Name(s.station),
                                                        Origin(net, sight.target), off, tolerance);
                    });
                }
            }
            const bool heightFromThis =
                (target.heightFrom == self && target.heightVia == s.station) ||
                (at.heightFrom == self && at.heightVia == sight.target);
            double dh = 0.0;
            double variance = 0.0;
            if (at.hasHeight && target.hasHeight && !heightFromThis &&
                SightHeightDifference(net, i, sight, dh, variance)) {
                const double offset = std::abs(at.z + dh - target.z);
                const double tolerance2 = tolerance::PositionSquared(
                    at.sigmaZ * at.sigmaZ + variance + target.sigmaZ * target.sigmaZ);
                if (offset * offset > tolerance2) {
                    const double tolerance = std::sqrt(tolerance2);
                    Off(net, s, sight, Concern::Height, findings, [&] {
                        return target.known
                                   ? says::KnownHeightOff(net.Name(sight.target),
                                                          net.Name(s.station), offset, tolerance)
                                   : says::HeightOff(net.Name(sight.target), net.Name(s.station),
                                                     net.Name(target.heightVia), offset, tolerance);
                    });
                }
            }
        }
    }
}

std::size_t SpreadComparisons(const Network& net) {
    std::size_t pairs = 0;
    const auto twoOf = [](std::size_t n) { return n * (n - 1) / 2; };
    for (const Sight& sight : net.sights) {
        pairs += twoOf(static_cast<std::size_t>(sight.Directions())) +
                 twoOf(static_cast<std::size_t>(sight.Zeniths())) +
                 twoOf(static_cast<std::size_t>(sight.Horizontals()));
    }
    return pairs;
}

void CompareSpreads(const Network& net, std::size_t setUp, double critical, Findings& findings) {
    const SetUp& s = net.setUps[setUp];
    for (const Sight& sight : net.SightsOf(setUp)) {
        if (!sight.HasSpread()) continue;
        const bool faces = sight.Face1() && sight.Face2();
        const double h = SightLength(net, setUp, sight);
        enum { kDirection, kZenith, kDistance };
        for (const int kind : {kDirection, kZenith, kDistance}) {
            const int readings = kind == kDirection ? sight.Directions()
                                 : kind == kZenith  ? sight.Zeniths()
                                                    : sight.Horizontals();
            if (readings < 2) continue;
            const double spread = kind == kDirection ? sight.DirectionHigh() - sight.DirectionLow()
                                  : kind == kZenith
                                      ? sight.ZenithHigh() - sight.ZenithLow()
                                      : sight.HorizontalHigh() - sight.HorizontalLow();
            const double cosZenith = sight.HasZenith() ? std::cos(sight.Zenith()) : 0.0;
            const double sigma = kind == kDirection ? net.sigmas.Direction(h)
                                 : kind == kZenith
                                     ? net.sigmas.Zenith(h)
                                     : std::sqrt(net.sigmas.HorizontalVariance(h, cosZenith));
            const double tolerance = tolerance::Spread(critical, sigma);
            if (!(spread > tolerance)) continue;
            findings.FlagSight(net.NumberOf(sight));
            const Concern concern = kind == kDirection ? Concern::Direction
                                    : kind == kZenith  ? Concern::Zenith
                                                       : Concern::Distance;
            findings.Add(Severity::Error, {s.station, sight.target},
                         [&] {
                             const std::string station = net.Name(s.station);
                             const std::string target = net.Name(sight.target);
                             if (kind == kDistance)
                                 return says::DistanceSpread(station, target, faces, spread,
                                                             tolerance);
                             return says::Spread(station, target, kind == kZenith, faces, spread,
                                                 tolerance, net.choices.unit);
                         },
                         {concern, false, false, s.station, sight.target});
        }
    }
}

void OneDirection(const Network& net, std::size_t setUp, Findings& findings) {
    const SetUp& s = net.setUps[setUp];
    int directions = 0;
    std::uint32_t only = 0;
    for (const Sight& sight : net.SightsOf(setUp)) {
        if (sight.HasDirection() && sight.target != s.station) ++directions, only = sight.target;
    }
    if (directions == 1)
        findings.Add(Severity::Warning, {s.station, only},
                     [&] { return says::OneDirection(net.Name(s.station), net.Name(only)); });
}

void Unplaced(const Network& net, Findings& findings) {
    for (std::uint32_t n = 0; n < net.observed; ++n) {
        const Point& point = net.points[n];
        if (!point.placed) {
            // The stations that see it, and whether any of them measured a distance to it.
            std::set<std::uint32_t> seenFrom;
            bool distance = false;
            for (const Network::Seen& seen : net.SeenBy(n)) {
                const std::uint32_t station = net.setUps[seen.setUp].station;
                const Sight& sight = net.sights[seen.sight];
                if (station == n) continue;
                if (sight.HasDirection()) seenFrom.insert(station);
                distance |= sight.HasHorizontal();
            }
            if (seenFrom.size() == 1 && !distance && net.points[*seenFrom.begin()].placed) {
                for (const Network::Seen& seen : net.SeenBy(n)) {
                    if (net.setUps[seen.setUp].station == *seenFrom.begin())
                        findings.FlagSight(seen.sight);
                }
                findings.Add(Severity::Error, {n, *seenFrom.begin()}, [&] {
                    return says::DirectionOnly(net.Name(n), net.Name(*seenFrom.begin()));
                });
            } else if (const Intersection crossing = IntersectRays(net, n);
                       crossing.kind == Intersection::Kind::Weak ||
                       crossing.kind == Intersection::Kind::Behind) {
                // Rays there are, but they cross too flatly or behind a station.
                // Plain variables, not a structured binding: the lambda below uses them.
                const std::uint32_t a = crossing.from[0];
                const std::uint32_t b = crossing.from[1];
                for (const Network::Seen& seen : net.SeenBy(n)) {
                    const std::uint32_t station = net.setUps[seen.setUp].station;
                    if (station == a || station == b) findings.FlagSight(seen.sight);
                }
                findings.Add(Severity::Error, {n, a, b}, [&] {
                    return crossing.kind == Intersection::Kind::Weak
                               ? says::WeakIntersection(net.Name(n), net.Name(a), net.Name(b),
                                                        crossing.angle, net.choices.unit)
                               : says::BehindStation(net.Name(n), net.Name(a), net.Name(b));
                });
            } else {
                findings.Add(Severity::Error, {n}, [&] { return says::NotConnected(net.Name(n)); });
            }
        } else if (!point.hasHeight && net.choices.heights) {
            findings.Add(Severity::Error, {n}, [&] { return says::NoHeight(net.Name(n)); });
        }
    }
}

}  // namespace talvik
