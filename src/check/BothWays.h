#pragma once
// Distances and height differences measured both ways, and the sketch's lines: every sight is
// paired under the lower of its two points with the sights the other way. The pairs read only the
// sights, so they are made beside the placement.

#include <cstdint>
#include <vector>

#include "check/Findings.h"
#include "check/Network.h"

namespace talvik {

class BothWays {
  public:
    // Pairs the sights (reading only the sights).
    explicit BothWays(const Network& network);
    // Compares the two ways of every pair seen both ways, once the network is placed; returns
    // how many comparisons it made (for the pair rules' critical value).
    std::size_t Compare(const Network& network);
    // The findings of the pairs whose ways differ by more than `critical` standard deviations
    // of their difference, in the order of the pairs.
    void Report(const Network& network, double critical, Findings& findings);
    // One line per pair of points a sight joins, in the order of the pairs, red where an error
    // names them.
    std::vector<CheckLine> Lines(const Findings& findings) const;

  private:
    struct Partner {
        std::uint32_t other;
        std::uint32_t sight;  // its number; kBack: from the higher point
    };
    static constexpr std::uint32_t kBack = 0x80000000u;
    struct Disagreement {
        std::uint32_t line = 0;
        std::uint32_t from = 0;
        std::uint32_t to = 0;
        bool height = false;  // else the distance
        double there = 0.0;
        double home = 0.0;
        double thereVariance = 0.0;  // of the two ways' means
        double homeVariance = 0.0;
    };
    std::vector<std::uint32_t> pairAt_;  // a point's partners from pairAt_[n] to pairAt_[n + 1]
    std::vector<Partner> partners_;
    std::vector<Disagreement> disagreements_;
    std::vector<bool> pairFlags_;  // per line
    std::uint32_t lines_ = 0;
    std::size_t comparisons_ = 0;
};

}  // namespace talvik
