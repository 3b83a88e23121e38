#include "check/Placement.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <functional>
#include <queue>
#include <utility>
#include <vector>

#include "check/Geometry.h"

namespace talvik {

namespace {

using geometry::Plan;

// One bit per set-up or point, visited in order and cleared as they are: a bit set beyond the
// one being visited is visited in the same pass.
struct Marks {
    std::vector<std::uint64_t> words;
    explicit Marks(std::size_t count) : words((count + 63) / 64, 0) {}
    void Set(std::size_t i) { words[i / 64] |= std::uint64_t{1} << (i % 64); }
    bool Any() const {
        return std::any_of(words.begin(), words.end(), [](std::uint64_t w) { return w != 0; });
    }
    template <typename Each>
    void Visit(Each&& visit) {
        for (std::size_t w = 0; w < words.size(); ++w) {
            while (words[w] != 0) {
                const auto bit = static_cast<std::size_t>(std::countr_zero(words[w]));
                words[w] &= words[w] - 1;
                visit(w * 64 + bit);
            }
        }
    }
};

class Placement {
  public:
    Placement(Network& network, Findings& findings, std::vector<std::string>& notes)
        : net_(network), points_(network.points), findings_(findings), notes_(notes) {}
    void Run();

  private:
    bool Orient(std::size_t index);
    double BearingVariance(std::uint32_t a, std::uint32_t b, double span) const;
    void PlacePolar(std::size_t index);
    bool PlaceFree(std::size_t index);
    bool Intersect(std::uint32_t target);
    void Heights();
    // A point has just been placed: its set-ups can be oriented, and the free set-ups that see
    // it tried again.
    void Placed(std::uint32_t point);
    // A set-up has been oriented (and has placed what it could): the points it sees without a
    // place may now be crossed.
    void Oriented(std::size_t index);

    Network& net_;
    std::vector<Point>& points_;
    Findings& findings_;
    std::vector<std::string>& notes_;
    // The set-ups to orient, the one on the best-placed station first (then the file's order):
    // the points spread outwards from the known ones as an adjustment would have them, and a
    // long chain is not followed to its end while a known point beside it waits.
    using Waiting = std::pair<double, std::uint32_t>;  // the station's σ, the set-up
    std::priority_queue<Waiting, std::vector<Waiting>, std::greater<>> queue_;
    void Queue(std::uint32_t setUp) {
        queue_.push({points_[net_.setUps[setUp].station].sigma, setUp});
    }
    // The tries still to make in this sweep and in the next; what is being tried.
    struct Sweep {
        Sweep(std::size_t setUps, std::size_t points)
            : freeNow(setUps), freeLater(setUps), crossNow(points), crossLater(points) {}
        Marks freeNow, freeLater;    // free set-ups
        Marks crossNow, crossLater;  // points to cross
        bool crossing = false;
        std::size_t at = 0;
    };
    Sweep* sweep_ = nullptr;
};

void Placement::Placed(std::uint32_t point) {
    for (const std::uint32_t i : net_.SetUpsOn(point))
        Queue(i);
    for (const Network::Seen& seen : net_.SeenBy(point)) {
        const std::uint32_t u = seen.setUp;
        if (net_.orientations[u].oriented) continue;
        if (points_[net_.setUps[u].station].placed) {
            // A set-up on a placed station that could not be oriented: now it can.
            Queue(u);
        } else if (sweep_ != nullptr) {
            (!sweep_->crossing && u > sweep_->at ? sweep_->freeNow : sweep_->freeLater).Set(u);
        }
    }
}

void Placement::Oriented(std::size_t index) {
    if (sweep_ == nullptr) return;
    for (const Sight& sight : net_.SightsOf(index)) {
        const std::uint32_t n = sight.target;
        if (points_[n].placed) continue;
        (sweep_->crossing && n <= sweep_->at ? sweep_->crossLater : sweep_->crossNow).Set(n);
    }
}

// The variance of the bearing between two placed points as their placement knows it. When one
// was placed polar from a set-up on the other, their bearing is that set-up's orientation plus a
// reading: its σ is theirs, whatever the errors the two points share from further back (so a
// traverse's orientation errors add up leg by leg, as they do in the field). Otherwise the two
// positions' σ across the sight.
double Placement::BearingVariance(std::uint32_t a, std::uint32_t b, double span) const {
    for (const std::uint32_t placed : {a, b}) {
        const std::uint32_t from = points_[placed].from;
        if (from == 0) continue;
        const std::uint32_t station = net_.setUps[from - 1].station;
        if (station != (placed == a ? b : a) || station == placed) continue;
        const double o = net_.orientations[from - 1].sigma;
        const double r = net_.sigmas.Direction(span);
        return o * o + r * r;
    }
    return (points_[a].sigma * points_[a].sigma + points_[b].sigma * points_[b].sigma) /
           (span * span);
}

// The orientation of a set-up on a placed station: the weighted mean of (bearing - reading) over
// its placed targets, wrapped around the first; without one, the azimuth of a record 103/108.
bool Placement::Orient(std::size_t index) {
    const SetUp& s = net_.setUps[index];
    Orientation& o = net_.orientations[index];
    const Point& at = points_[s.station];
    int count = 0;
    double first = 0.0;
    double sum = 0.0;      // of the weighted differences from the first
    double weights = 0.0;  // the sum of 1 / variance
    for (const Sight& sight : net_.SightsOf(index)) {
        const Point& target = points_[sight.target];
        if (!sight.HasDirection() || !target.placed || sight.target == s.station) continue;
        const double span = geometry::Distance(at.Plan(), target.Plan());
        if (span <= 0.0) continue;
        const double bearing = geometry::Bearing(at.Plan(), target.Plan()) - sight.Direction();
        if (count == 0) first = bearing;
        const double d = net_.sigmas.Direction(span);
        const double weight = 1.0 / (d * d + BearingVariance(s.station, sight.target, span));
        sum += weight * geometry::Wrap(bearing - first);
        weights += weight;
        ++count;
    }
    if (count > 0) {
        // Weighted by the bearings' variances: a far known point counts more than a point at
        // the end of a long chain.
        o.orientation = first + sum / weights;
        o.sigma = std::sqrt(1.0 / weights);
    } else {
        if (!s.hasAzimuth) return false;
        o.orientation = s.azimuthOrientation;
        o.sigma = std::sqrt(2.0) * net_.sigmas.Direction(0.0);
    }
    o.oriented = true;
    PlacePolar(index);
    Oriented(index);
    return true;
}

// The targets an oriented set-up on a placed station sees with a distance, not placed before.
void Placement::PlacePolar(std::size_t index) {
    const SetUp& s = net_.setUps[index];
    const Orientation& o = net_.orientations[index];
    const Point& at = points_[s.station];
    for (const Sight& sight : net_.SightsOf(index)) {
        Point& target = points_[sight.target];
        if (sight.target == s.station || !sight.HasDirection()) continue;
        if (!target.placed && sight.HasHorizontal()) {
            const double h = sight.Horizontal();
            const Plan p = geometry::PolarPoint(at.Plan(), o.orientation + sight.Direction(), h);
            target.x = p.x;
            target.y = p.y;
            target.sigma = std::sqrt(at.sigma * at.sigma + net_.sigmas.PolarVariance(h, o.sigma));
            target.placed = true;
            target.from = static_cast<std::uint32_t>(index + 1);
            Placed(sight.target);
        }
    }
}

// A set-up whose station is not placed, with two or more placed targets with distances: the
// similarity transform that takes the targets' polar coordinates in the instrument's frame onto
// their positions gives the station (the frame's origin), the orientation and a scale.
bool Placement::PlaceFree(std::size_t index) {
    const SetUp& s = net_.setUps[index];
    std::vector<Plan> local;
    std::vector<Plan> world;
    std::vector<const Sight*> used;
    for (const Sight& sight : net_.SightsOf(index)) {
        const Point& target = points_[sight.target];
        if (!sight.HasDirection() || !sight.HasHorizontal() || !target.placed ||
            sight.target == s.station)
            continue;
        local.push_back(geometry::PolarPoint({0.0, 0.0}, sight.Direction(), sight.Horizontal()));
        world.push_back(target.Plan());
        used.push_back(&sight);
    }
    if (used.size() < 2) return false;
    const std::optional<geometry::SimilarityFit> fit = geometry::FitSimilarity(local, world);
    if (!fit) return false;
    Point& at = points_[s.station];
    Orientation& o = net_.orientations[index];
    at.placed = true;
    at.x = fit->origin.real();
    at.y = fit->origin.imag();
    at.from = static_cast<std::uint32_t>(index + 1);
    o.oriented = true;
    o.orientation = fit->Orientation();
    Placed(s.station);
    const double n = static_cast<double>(used.size());
    double variance = 0.0;
    double targetsVariance = 0.0;
    for (const Sight* sight : used) {
        const double h = sight->Horizontal();
        const double d = net_.sigmas.Direction(h) * h;
        const double t = points_[sight->target].sigma;
        variance += (d * d + t * t) / (h * h);
        targetsVariance += t * t + net_.sigmas.Distance(h) * net_.sigmas.Distance(h) + d * d;
    }
    o.sigma = std::sqrt(variance) / n;
    at.sigma = std::sqrt(targetsVariance / n);
    notes_.push_back(says::FreeStationScale(net_.Name(s.station), fit->Scale(), used.size()));
    // With three or more targets the fit has something left over: a target that does not fit.
    if (used.size() >= 3) {
        for (std::size_t i = 0; i < used.size(); ++i) {
            const Plan fitted = fit->Apply(local[i]);
            const double off = geometry::Distance(fitted, world[i]);
            const double h = used[i]->Horizontal();
            const double t = points_[used[i]->target].sigma;
            const double tolerance = tolerance::Fit(net_.sigmas.PolarVariance(h, o.sigma) + t * t);
            if (off > tolerance) {
                findings_.FlagSight(net_.NumberOf(*used[i]));
                findings_.Add(Severity::Error, {s.station, used[i]->target},
                              [&] {
                                  return says::FitResidual(net_.Name(s.station),
                                                           net_.Name(used[i]->target), off,
                                                           tolerance);
                              },
                              {Concern::Position, false, false, s.station, used[i]->target});
            }
        }
    }
    // The station placed and oriented, its other targets are placed along its sights.
    PlacePolar(index);
    Oriented(index);
    return true;
}

// A target seen by directions alone from two oriented stations is placed where the rays meet.
bool Placement::Intersect(std::uint32_t target) {
    const Intersection found = IntersectRays(net_, target);
    if (found.kind != Intersection::Kind::Crossed) return false;
    Point& point = points_[target];
    point.placed = true;
    point.x = found.point.x;
    point.y = found.point.y;
    point.sigma = found.sigma;
    Placed(target);
    return true;
}

void Placement::Run() {
    // The set-ups on known points first.
    for (std::uint32_t i = 0; i < net_.setUps.size(); ++i) {
        if (points_[net_.setUps[i].station].placed) Queue(i);
    }
    const auto drain = [this] {
        while (!queue_.empty()) {
            const std::uint32_t i = queue_.top().second;
            queue_.pop();
            if (!net_.orientations[i].oriented) Orient(i);
        }
    };
    // Polar sights first; then free set-ups and crossings in sweeps, each followed by the polar
    // sights it opens the way for, until a sweep places nothing. A sweep tries every free set-up,
    // then every point not placed, in order. After the first, it tries only the free set-ups one
    // of whose targets has been placed since their last try, and the points that a set-up
    // oriented since sees: the others would fail as before.
    drain();
    Sweep sweep(net_.setUps.size(), points_.size());
    for (std::uint32_t i = 0; i < net_.setUps.size(); ++i) {
        if (!points_[net_.setUps[i].station].placed) sweep.freeNow.Set(i);
    }
    for (std::uint32_t n = 0; n < points_.size(); ++n) {
        if (!points_[n].placed) sweep.crossNow.Set(n);
    }
    sweep_ = &sweep;
    while (sweep.freeNow.Any() || sweep.crossNow.Any()) {
        sweep.crossing = false;
        sweep.freeNow.Visit([&](std::size_t i) {
            sweep.at = i;
            if (!points_[net_.setUps[i].station].placed && PlaceFree(i)) drain();
        });
        sweep.crossing = true;
        sweep.crossNow.Visit([&](std::size_t n) {
            sweep.at = n;
            if (!points_[n].placed && Intersect(static_cast<std::uint32_t>(n))) drain();
        });
        std::swap(sweep.freeNow, sweep.freeLater);
        std::swap(sweep.crossNow, sweep.crossLater);
    }
    sweep_ = nullptr;
    Heights();
}

// Trigonometric heighting along the sights with a height difference, from the points with
// heights outwards (a station takes its height from a target as well). Sweeps over the set-ups
// in the order of the file, visiting only those one of whose points has had its height since
// their last visit (the others would find nothing new), until none is left.
void Placement::Heights() {
    const std::size_t count = net_.setUps.size();
    // A set-up whose points all have heights changes nothing more.
    std::vector<bool> settled(count);
    std::vector<std::uint32_t> given;  // the points the last visit gave a height
    Marks now(count);
    Marks later(count);
    for (std::size_t i = 0; i < count; ++i)
        now.Set(i);
    const auto visit = [&](std::size_t i) {
        const SetUp& s = net_.setUps[i];
        Point& at = points_[s.station];
        bool all = at.hasHeight;
        for (const Sight& sight : net_.SightsOf(i)) {
            Point& target = points_[sight.target];
            double dh = 0.0;
            double variance = 0.0;
            if (sight.target == s.station || at.hasHeight == target.hasHeight ||
                !SightHeightDifference(net_, i, sight, dh, variance)) {
                all = all && target.hasHeight;
                continue;
            }
            Point& to = at.hasHeight ? target : at;
            const Point& from = at.hasHeight ? at : target;
            to.z = at.hasHeight ? at.z + dh : target.z - dh;
            to.sigmaZ = std::sqrt(from.sigmaZ * from.sigmaZ + variance);
            to.hasHeight = true;
            to.heightFrom = static_cast<std::uint32_t>(i + 1);
            to.heightVia = &to == &at ? sight.target : s.station;
            given.push_back(&to == &at ? s.station : sight.target);
            all = false;  // the station may just have had its height: look again
        }
        settled[i] = all;
    };
    const auto mark = [&](std::uint32_t u, std::size_t visited) {
        if (!settled[u]) (u > visited ? now : later).Set(u);
    };
    while (now.Any()) {
        now.Visit([&](std::size_t i) {
            if (settled[i]) return;
            visit(i);
            for (const std::uint32_t n : given) {
                for (const std::uint32_t u : net_.SetUpsOn(n))
                    mark(u, i);
                for (const Network::Seen& seen : net_.SeenBy(n))
                    mark(seen.setUp, i);
            }
            given.clear();
        });
        std::swap(now, later);
    }
}

}  // namespace

Intersection IntersectRays(const Network& net, std::uint32_t target) {
    struct Ray {
        std::uint32_t station;
        double bearing;
        double sigma;
    };
    std::vector<Ray> rays;
    for (const Network::Seen& seen : net.SeenBy(target)) {
        const SetUp& s = net.setUps[seen.setUp];
        const Orientation& o = net.orientations[seen.setUp];
        const Sight& sight = net.sights[seen.sight];
        if (!o.oriented || s.station == target || !sight.HasDirection()) continue;
        if (std::none_of(rays.begin(), rays.end(),
                         [&](const Ray& r) { return r.station == s.station; }))
            rays.push_back({s.station, o.orientation + sight.Direction(),
                            std::hypot(net.sigmas.Direction(0.0), o.sigma)});
    }
    Intersection found;
    if (rays.size() < 2) return found;
    // The pair of rays that cross in front of both stations most nearly at right angles; the
    // best pair of all, for the text, when none crosses well.
    double best = -1.0;
    double bestAll = -1.0;
    for (std::size_t i = 0; i < rays.size(); ++i) {
        for (std::size_t j = i + 1; j < rays.size(); ++j) {
            const Ray& p = rays[i];
            const Ray& q = rays[j];
            const Point& a = net.points[p.station];
            const Point& b = net.points[q.station];
            const std::optional<geometry::Crossing> crossing =
                geometry::CrossRays(a.Plan(), p.bearing, b.Plan(), q.bearing);
            const double cut = std::abs(std::sin(q.bearing - p.bearing));
            const bool usable = crossing && cut >= kLeastCrossing;
            if (!usable && cut > bestAll && best < 0.0) {
                bestAll = cut;
                found.kind =
                    cut >= kLeastCrossing ? Intersection::Kind::Behind : Intersection::Kind::Weak;
                found.from = {p.station, q.station};
                found.angle = std::asin(std::min(cut, 1.0));
            }
            if (!usable || cut <= best) continue;
            best = cut;
            found.kind = Intersection::Kind::Crossed;
            found.from = {p.station, q.station};
            found.angle = std::asin(std::min(cut, 1.0));
            found.point = crossing->point;
            const double along =
                std::hypot(crossing->alongP * p.sigma, crossing->alongQ * q.sigma) / cut;
            found.sigma = std::sqrt(along * along + a.sigma * a.sigma + b.sigma * b.sigma);
        }
    }
    return found;
}

void PlaceNetwork(Network& network, Findings& findings, std::vector<std::string>& notes) {
    Placement(network, findings, notes).Run();
}

}  // namespace talvik
