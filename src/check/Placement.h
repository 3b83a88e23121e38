#pragma once
// The placement: approximate coordinates for every point the known points do not give, and the
// orientation of every set-up on a placed station. Orientation, polar placement, free set-ups
// (a similarity fit) and intersections, repeated until nothing more can be placed; then heights.
// The only rule it makes itself is the fit of a free set-up (its residuals).

#include "check/Findings.h"
#include "check/Network.h"

namespace talvik {

void PlaceNetwork(Network& network, Findings& findings, std::vector<std::string>& notes);

}  // namespace talvik
