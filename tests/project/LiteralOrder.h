#pragma once
// The coordinate writer's ordering written out literally (quadratic), for tests and benchmark.

#include <utility>
#include <vector>

#include "model/Tables.h"

namespace talvik::testing {

// For i < j: exchange entries i and j when the name of i is greater. Index 0 is left alone.
inline void LiteralExchangeSort(std::vector<PointRecord>& e) {
    for (std::size_t i = 1; i + 1 < e.size(); ++i)
        for (std::size_t j = i + 1; j < e.size(); ++j)
            if (e[i].Name > e[j].Name) std::swap(e[i], e[j]);
}

}  // namespace talvik::testing
