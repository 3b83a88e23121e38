#pragma once
// A fill-reducing order for the normal equations of large networks: nested dissection by level
// structures. A survey network is drawn on a plane, so a band of unknowns one tie wide, across
// the middle, parts it in two that do not touch; those two are ordered first (each parted again
// in the same way), the band last, and what is left small is ordered by minimum degree. On a
// mesh of thousands of points this takes a good part of the factor's work away against minimum
// degree alone.

#include <span>
#include <vector>

namespace talvik::adjustment {

// The graph of a symmetric pattern: the neighbours of vertex v are
// adjacent[start[v]] .. adjacent[start[v + 1] - 1], each edge in both directions, no loops.
// Returns the vertices in the order they are to be eliminated.
std::vector<int> DissectionOrder(std::span<const int> start, std::span<const int> adjacent);

}  // namespace talvik::adjustment
