#pragma once
// The network as the check computes it: the points (known from the drawing or the field file's
// coordinate records, or placed by the check), the set-ups with their combined readings, and the
// export's standard deviations.
//
// What an adjustment can read, once Placement has run (see NetworkCheck.cpp, Run):
// - points[n]: Placed() points have approximate coordinates X(), Y() and, with HasHeight(), Z();
//   Known() ones are the fixed points (σ = Sigmas::KnownPosition / KnownHeight); Name(n).
// - setUps[u]: the station (a point), and SightsOf(u): one Sight per target with the means of its
//   readings in radians and metres: Direction() (face 2 reduced; one orientation unknown per
//   set-up, its approximate value `orientation` where `oriented`), Horizontal() (a slope distance
//   already reduced with the zenith angle), Zenith(), HeightDifference() (from slope distances,
//   station to target, curvature and the instrument and target heights in) or, without one,
//   HeightOffset() (instrument height less target height) for a zenith angle; Has...() and the
//   counts say which of them were read, and how many readings made each mean.
// - sigmas: σ of one reading over a sight of length h: Direction(h), Zenith(h), Distance(h),
//   Centring(), InstrumentHeight() — the same standard deviations the export writes.
// Nothing here is written by the rules: only Placement writes points and orientations.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "check/Geometry.h"
#include "check/SetUps.h"
#include "check/Tolerances.h"
#include "model/Tables.h"

namespace talvik {

struct Point {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    double sigma = 0.0;   // of the position, m (propagated roughly along the placement)
    double sigmaZ = 0.0;  // of the height
    bool known = false;
    bool placed = false;
    bool hasHeight = false;
    std::uint32_t from = 0;        // the set-up that placed it + 1; 0 for a crossing
    std::uint32_t heightFrom = 0;  // the set-up whose sight gave the height + 1; 0 none
    std::uint32_t heightVia = 0;   // and the point at the sight's other end
    geometry::Plan Plan() const { return {x, y}; }
};

// What the placement found of a set-up.
struct Orientation {
    double orientation = 0.0;  // bearing = orientation + direction (radians)
    double sigma = 0.0;
    bool oriented = false;
};

struct Network {
    explicit Network(const CheckChoices& c) : choices(c), sigmas(choices) {}
    Network(const Network&) = delete;
    Network& operator=(const Network&) = delete;

    CheckChoices choices;
    Sigmas sigmas;
    std::vector<Point> points;
    std::vector<Name9> names;
    std::size_t observed = 0;  // points the records name; the coordinate records' follow
    std::vector<SetUp> setUps;
    std::vector<Orientation> orientations;  // one per set-up
    std::vector<Sight> sights;              // all set-ups' sights, set-up by set-up

    std::span<const Sight> SightsOf(std::size_t setUp) const {
        const SetUp& s = setUps[setUp];
        return {sights.data() + s.firstSight, s.sightCount};
    }
    // The number of a set-up's sight in `sights`.
    std::size_t NumberOf(const Sight& sight) const {
        return static_cast<std::size_t>(&sight - sights.data());
    }
    std::string Name(std::size_t point) const;  // trailing blanks removed

    // Where each point is seen, and the set-ups on each point: made by Index, after the set-ups.
    struct Seen {
        std::uint32_t setUp = 0;
        std::uint32_t sight = 0;  // its number in `sights`
    };
    void Index();
    std::span<const Seen> SeenBy(std::uint32_t n) const {
        return {seen_.data() + seenAt_[n], seen_.data() + seenAt_[n + 1]};
    }
    std::span<const std::uint32_t> SetUpsOn(std::uint32_t n) const {
        return {setUpsOn_.data() + setUpsAt_[n], setUpsOn_.data() + setUpsAt_[n + 1]};
    }

  private:
    std::vector<std::uint32_t> seenAt_;
    std::vector<Seen> seen_;
    std::vector<std::uint32_t> setUpsAt_;
    std::vector<std::uint32_t> setUpsOn_;
};

std::string Trimmed(const Name9& name);

// The horizontal length of a set-up's sight for its tolerances: between the placed station and
// target when both are placed, else the least of its readings (never more than a blunder in
// them makes it).
double SightLength(const Network& net, std::size_t setUp, const Sight& sight);

// The height difference a set-up's sight gives from station to target, and its variance: from
// the slope distances, or from the zenith angle over the distance of the placed points. False
// when it gives none.
bool SightHeightDifference(const Network& net, std::size_t setUp, const Sight& sight, double& dh,
                           double& variance);

}  // namespace talvik
