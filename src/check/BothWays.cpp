#include "check/BothWays.h"

#include <algorithm>
#include <cmath>

namespace talvik {

BothWays::BothWays(const Network& net) {
    // Every sight but a station's sight of itself, under the lower of its two points; a point's
    // partners ordered by the other point, and by set-up where that is the same.
    pairAt_.assign(net.points.size() + 1, 0);
    for (std::size_t u = 0; u < net.setUps.size(); ++u) {
        const std::uint32_t station = net.setUps[u].station;
        for (const Sight& sight : net.SightsOf(u)) {
            if (sight.target != station) ++pairAt_[std::min(station, sight.target) + 1];
        }
    }
    for (std::size_t n = 1; n < pairAt_.size(); ++n)
        pairAt_[n] += pairAt_[n - 1];
    partners_.resize(pairAt_.back());
    {
        std::vector<std::uint32_t> next(pairAt_.begin(), pairAt_.end() - 1);
        for (std::size_t u = 0; u < net.setUps.size(); ++u) {
            const std::uint32_t station = net.setUps[u].station;
            for (const Sight& sight : net.SightsOf(u)) {
                if (sight.target == station) continue;
                const bool back = station > sight.target;
                const auto number = static_cast<std::uint32_t>(net.NumberOf(sight));
                partners_[next[back ? sight.target : station]++] = {back ? station : sight.target,
                                                                    number | (back ? kBack : 0u)};
            }
        }
    }
    for (std::size_t n = 0; n + 1 < pairAt_.size(); ++n)
        std::stable_sort(partners_.begin() + pairAt_[n], partners_.begin() + pairAt_[n + 1],
                         [](const Partner& a, const Partner& b) { return a.other < b.other; });

    struct Way {
        double horizontal = 0.0;
        int horizontals = 0;
        double height = 0.0;
        int heights = 0;
        double zenith = 0.0;
    };
    std::uint32_t line = 0;
    for (std::uint32_t low = 0; low + 1 < pairAt_.size(); ++low) {
        const std::uint32_t end = pairAt_[low + 1];
        for (std::uint32_t run = pairAt_[low]; run < end; ++line) {
            const std::uint32_t high = partners_[run].other;
            const std::uint32_t first = run;
            std::uint32_t ways = 0;
            for (; run < end && partners_[run].other == high; ++run)
                ways |= (partners_[run].sight & kBack) != 0 ? 2u : 1u;
            if (ways != 3) continue;
            Way there;
            Way home;
            for (std::uint32_t p = first; p < run; ++p) {
                Way& way = (partners_[p].sight & kBack) != 0 ? home : there;
                const Sight& sight = net.sights[partners_[p].sight & ~kBack];
                if (sight.HasHorizontal()) {
                    way.horizontal += sight.Horizontal();
                    ++way.horizontals;
                }
                if (sight.HasHeightDifference()) {
                    way.height += sight.HeightDifference();
                    way.zenith = sight.Zenith();
                    ++way.heights;
                }
            }
            if (there.horizontals > 0 && home.horizontals > 0) {
                const double a = there.horizontal / there.horizontals;
                const double b = home.horizontal / home.horizontals;
                const double tolerance = tolerance::BothWaysDistance(net.sigmas, a);
                if (std::abs(a - b) > tolerance)
                    disagreements_.push_back({line, low, high, false, a, b, tolerance});
            }
            if (there.heights > 0 && home.heights > 0) {
                const double a = there.height / there.heights;
                const double b = -home.height / home.heights;
                const double h = there.horizontals > 0 ? there.horizontal / there.horizontals : 0.0;
                const double tolerance = tolerance::BothWaysHeight(
                    net.sigmas.SlopeHeightVariance(h, std::cos(there.zenith)));
                if (std::abs(a - b) > tolerance)
                    disagreements_.push_back({line, low, high, true, a, b, tolerance});
            }
        }
    }
    lines_ = line;
}

void BothWays::Report(const Network& net, Findings& findings) {
    pairFlags_.assign(lines_, false);
    for (const Disagreement& d : disagreements_) {
        pairFlags_[d.line] = true;
        findings.Add(Severity::Error, {d.from, d.to}, [&] {
            return says::BothWays(d.height, net.Name(d.from), net.Name(d.to), d.there, d.home,
                                  d.tolerance);
        });
    }
}

std::vector<CheckLine> BothWays::Lines(const Findings& findings) const {
    std::vector<CheckLine> lines;
    lines.reserve(lines_);
    std::uint32_t line = 0;
    for (std::uint32_t low = 0; low + 1 < pairAt_.size(); ++low) {
        const std::uint32_t end = pairAt_[low + 1];
        for (std::uint32_t run = pairAt_[low]; run < end; ++line) {
            const std::uint32_t high = partners_[run].other;
            bool red = line < pairFlags_.size() && pairFlags_[line];
            for (; run < end && partners_[run].other == high; ++run)
                red = red || findings.SightFlagged(partners_[run].sight & ~kBack);
            lines.push_back({low, high, red});
        }
    }
    return lines;
}

}  // namespace talvik
