#pragma once
// The rules that compare what the field book says with the placed network, each in one function.
// They read the network (points, set-ups, orientations, sights, sigmas) and write only findings.
// The both-ways rule lives in BothWays.h, the free set-up's fit in Placement.cpp.

#include <cstddef>

#include "check/Findings.h"
#include "check/Network.h"

namespace talvik {

// Positions and heights that the sights of set-ups first .. last - 1 give for points placed
// otherwise (known points, or placed from another set-up, a fit or a crossing).
void ComparePositions(const Network& network, std::size_t first, std::size_t last,
                      Findings& findings);
// How many pairs of readings the spread rule compares (every two readings of one quantity of
// one sight): its share of the pair rules' critical value.
std::size_t SpreadComparisons(const Network& network);
// The readings of one target in one set-up, both faces or repeated rounds, that spread further
// than `critical` standard deviations of the difference of two readings.
void CompareSpreads(const Network& network, std::size_t setUp, double critical, Findings& findings);
// A set-up with one direction target.
void OneDirection(const Network& network, std::size_t setUp, Findings& findings);
// The points the placement could not place, or gave no height.
void Unplaced(const Network& network, Findings& findings);

}  // namespace talvik
