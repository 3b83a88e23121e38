#pragma once
// The coordinate writer's ordering written out literally (quadratic): the reference for the
// randomized tests and the comparison benchmark; and the table put into the writer's order.

#include <utility>
#include <vector>

#include "model/Tables.h"
#include "project/CoordinateFile.h"

namespace talvik::testing {

// For i < j: exchange entries i and j when the name of i is greater. Index 0 is left alone.
inline void LiteralExchangeSort(std::vector<PointRecord>& e) {
    for (std::size_t i = 1; i + 1 < e.size(); ++i)
        for (std::size_t j = i + 1; j < e.size(); ++j)
            if (e[i].Name > e[j].Name) std::swap(e[i], e[j]);
}

// Moves the entries into the order OrderByName finds and rebuilds the table's name index.
inline void SortPointsByName(PointTable& points, const std::vector<NameKey>& sortedFirst = {}) {
    const std::vector<std::uint32_t> order = OrderByName(points, sortedFirst);
    std::vector<PointRecord>& entries = points.Entries();
    std::vector<PointRecord> sorted;
    sorted.reserve(entries.size());
    sorted.push_back(std::move(entries[0]));
    for (const std::uint32_t entry : order)
        sorted.push_back(std::move(entries[entry]));
    entries = std::move(sorted);
    points.Reindex();
}

}  // namespace talvik::testing
