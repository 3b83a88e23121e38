#include "check/BothWays.h"

#include <algorithm>
#include <cmath>

#include "check/Geometry.h"

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
}

// The two ways of every pair seen both ways, compared. σ from the placed points' distance (or
// the shorter way's when they are not both placed), never from the readings under test: each
// way is the mean of its set-ups' means, each of which carries its readings' noise and, once,
// the centring or the heights of its set-up; the two ways' variances add.
std::size_t BothWays::Compare(const Network& net) {
    struct Way {
        double horizontal = 0.0;
        double horizontalVariance = 0.0;  // the sum over its sights
        int horizontals = 0;              // sights
        double height = 0.0;
        double heightVariance = 0.0;
        int heights = 0;
        double Variance(double sum, int sights) const { return sum / (sights * sights); }
    };
    std::uint32_t line = 0;
    comparisons_ = 0;
    disagreements_.clear();
    for (std::uint32_t low = 0; low + 1 < pairAt_.size(); ++low) {
        const std::uint32_t end = pairAt_[low + 1];
        for (std::uint32_t run = pairAt_[low]; run < end; ++line) {
            const std::uint32_t high = partners_[run].other;
            const std::uint32_t first = run;
            std::uint32_t ways = 0;
            for (; run < end && partners_[run].other == high; ++run)
                ways |= (partners_[run].sight & kBack) != 0 ? 2u : 1u;
            if (ways != 3) continue;
            const Point& a = net.points[low];
            const Point& b = net.points[high];
            double h = a.placed && b.placed ? geometry::Distance(a.Plan(), b.Plan()) : 0.0;
            if (!(a.placed && b.placed)) {
                double shortest[2] = {0.0, 0.0};
                for (std::uint32_t p = first; p < run; ++p) {
                    const Sight& sight = net.sights[partners_[p].sight & ~kBack];
                    double& least = shortest[(partners_[p].sight & kBack) != 0 ? 1 : 0];
                    if (sight.HasHorizontal() && (least == 0.0 || sight.Horizontal() < least))
                        least = sight.Horizontal();
                }
                h = std::min(shortest[0], shortest[1]);
            }
            Way there;
            Way home;
            for (std::uint32_t p = first; p < run; ++p) {
                Way& way = (partners_[p].sight & kBack) != 0 ? home : there;
                const Sight& sight = net.sights[partners_[p].sight & ~kBack];
                const double cosZenith = sight.HasZenith() ? std::cos(sight.Zenith()) : 0.0;
                if (sight.HasHorizontal()) {
                    way.horizontal += sight.Horizontal();
                    way.horizontalVariance +=
                        net.sigmas.WayDistanceVariance(h, cosZenith, sight.Horizontals());
                    ++way.horizontals;
                }
                if (sight.HasHeightDifference()) {
                    way.height += sight.HeightDifference();
                    way.heightVariance +=
                        net.sigmas.WayHeightVariance(h, cosZenith, sight.HeightDifferences());
                    ++way.heights;
                }
            }
            if (there.horizontals > 0 && home.horizontals > 0) {
                ++comparisons_;
                const double x = there.horizontal / there.horizontals;
                const double y = home.horizontal / home.horizontals;
                const double v = there.Variance(there.horizontalVariance, there.horizontals);
                const double w = home.Variance(home.horizontalVariance, home.horizontals);
                if (std::abs(x - y) > tolerance::BothWays(kPairFactor, v, w))
                    disagreements_.push_back({line, low, high, false, x, y, v, w});
            }
            if (there.heights > 0 && home.heights > 0) {
                ++comparisons_;
                const double x = there.height / there.heights;
                const double y = -home.height / home.heights;
                const double v = there.Variance(there.heightVariance, there.heights);
                const double w = home.Variance(home.heightVariance, home.heights);
                if (std::abs(x - y) > tolerance::BothWays(kPairFactor, v, w))
                    disagreements_.push_back({line, low, high, true, x, y, v, w});
            }
        }
    }
    lines_ = line;
    return comparisons_;
}

void BothWays::Report(const Network& net, double critical, Findings& findings) {
    pairFlags_.assign(lines_, false);
    for (const Disagreement& d : disagreements_) {
        const double tolerance = tolerance::BothWays(critical, d.thereVariance, d.homeVariance);
        if (!(std::abs(d.there - d.home) > tolerance)) continue;
        pairFlags_[d.line] = true;
        findings.Add(Severity::Error, {d.from, d.to},
                     [&] {
                         return says::BothWays(d.height, net.Name(d.from), net.Name(d.to), d.there,
                                               d.home, tolerance);
                     },
                     {d.height ? Concern::Zenith : Concern::Distance, true, false, d.from, d.to});
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
