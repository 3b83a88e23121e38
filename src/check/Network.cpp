#include "check/Network.h"

#include <cmath>

#include "check/Geometry.h"

namespace talvik {

std::string Trimmed(const Name9& name) {
    std::string_view text = name.View();
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return std::string(text);
}

std::string Network::Name(std::size_t point) const {
    return Trimmed(names[point]);
}

void Network::Index() {
    const std::size_t count = points.size();
    seenAt_.assign(count + 1, 0);
    setUpsAt_.assign(count + 1, 0);
    for (const SetUp& s : setUps) {
        ++setUpsAt_[s.station + 1];
        for (std::uint32_t k = s.firstSight; k < s.firstSight + s.sightCount; ++k)
            ++seenAt_[sights[k].target + 1];
    }
    for (std::size_t n = 1; n <= count; ++n) {
        seenAt_[n] += seenAt_[n - 1];
        setUpsAt_[n] += setUpsAt_[n - 1];
    }
    seen_.resize(seenAt_.back());
    setUpsOn_.resize(setUpsAt_.back());
    std::vector<std::uint32_t> nextSeen(seenAt_.begin(), seenAt_.end() - 1);
    std::vector<std::uint32_t> nextOn(setUpsAt_.begin(), setUpsAt_.end() - 1);
    for (std::uint32_t u = 0; u < setUps.size(); ++u) {
        const SetUp& s = setUps[u];
        setUpsOn_[nextOn[s.station]++] = u;
        for (std::uint32_t k = s.firstSight; k < s.firstSight + s.sightCount; ++k)
            seen_[nextSeen[sights[k].target]++] = {u, k};
    }
}

double SightLength(const Network& net, std::size_t setUp, const Sight& sight) {
    const Point& at = net.points[net.setUps[setUp].station];
    const Point& target = net.points[sight.target];
    if (at.placed && target.placed) return geometry::Distance(at.Plan(), target.Plan());
    if (!sight.HasHorizontal()) return 0.0;
    return sight.Horizontal() + sight.HorizontalLow();
}

bool SightHeightDifference(const Network& net, std::size_t setUp, const Sight& sight, double& dh,
                           double& variance) {
    if (sight.HasHeightDifference()) {
        dh = sight.HeightDifference();
        variance = net.sigmas.SlopeHeightVariance(sight.Horizontal(), std::cos(sight.Zenith()));
        return true;
    }
    const Point& at = net.points[net.setUps[setUp].station];
    const Point& target = net.points[sight.target];
    if (!sight.HasZenith() || !at.placed || !target.placed) return false;
    const double h = geometry::Distance(at.Plan(), target.Plan());
    dh = geometry::HeightFromZenith(h, sight.Zenith(), sight.HeightOffset());
    variance = net.sigmas.ZenithHeightVariance(h, sight.Zenith(), at.sigma, target.sigma);
    return true;
}

}  // namespace talvik
