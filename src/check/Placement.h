#pragma once
// The placement: approximate coordinates for every point the known points do not give, and the
// orientation of every set-up on a placed station. Orientation, polar placement, free set-ups
// (a similarity fit) and intersections, repeated until nothing more can be placed; then heights.
// The only rule it makes itself is the fit of a free set-up (its residuals).

#include <array>
#include <cstdint>

#include "check/Findings.h"
#include "check/Network.h"

namespace talvik {

// Rays to one point from two oriented set-ups on different stations cross usably when they meet
// in front of both under at least 3 degrees (the sine of that).
inline constexpr double kLeastCrossing = 0.052335956242943835;

// The crossing of the rays to a point seen by directions from oriented set-ups: the pair that
// crosses usably most nearly at right angles; without one, why not (the pair that comes
// nearest).
struct Intersection {
    enum class Kind { TooFew, Weak, Behind, Crossed };
    Kind kind = Kind::TooFew;
    std::array<std::uint32_t, 2> from{};  // the stations of the pair
    double angle = 0.0;                   // the angle they cross under, radians (up to π/2)
    geometry::Plan point;
    double sigma = 0.0;
};
Intersection IntersectRays(const Network& network, std::uint32_t target);

void PlaceNetwork(Network& network, Findings& findings, std::vector<std::string>& notes);

}  // namespace talvik
