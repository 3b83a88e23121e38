#include "check/NetworkCheck.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <complex>
#include <cstring>
#include <optional>
#include <set>
#include <span>
#include <utility>

#include "model/Beside.h"
#include "text/Text.h"

namespace talvik {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;
constexpr double kGon = kPi / 200.0;
// Readings of one quantity that should agree (both faces, both ways) may differ by this many
// standard deviations of their difference: a clean reading passes with 1 - 6e-5.
constexpr double kPairFactor = 4.0;
// Two positions or heights of one point may differ by this many propagated standard
// deviations, and always by the floor below: the propagation is only approximate.
constexpr double kPositionFactor = 5.0;
constexpr double kPositionFloor = 0.05;
// Earth curvature and refraction in trigonometric heighting.
constexpr double kEarthRadius = 6381000.0;
constexpr double kRefraction = 0.13;

// An angle difference brought into (-pi, pi].
double Wrap(double angle) {
    // fmod leaves an angle under a full circle as it is; most are, and it is slow.
    if (!(angle > -kTwoPi && angle < kTwoPi)) angle = std::fmod(angle, kTwoPi);
    if (angle > kPi) angle -= kTwoPi;
    if (angle <= -kPi) angle += kTwoPi;
    return angle;
}

double Number(const std::string& text, double fallback) {
    const std::string_view trimmed = TrimBlanks(text);
    double value = 0.0;
    const auto [end, error] =
        std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), value);
    if (error != std::errc() || end == trimmed.data() || !(value >= 0.0)) return fallback;
    return value;
}

std::string Fixed(double value, int decimals) {
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return error == std::errc() ? std::string(buffer, end) : std::string("?");
}

std::string Metres(double value) {
    return Fixed(value, 3) + " m";
}

// An angle (radians) in the field file's unit, for the texts.
std::string AngleText(double radians, AngleUnit unit) {
    if (unit == AngleUnit::Gon) return Fixed(radians / kGon, 4) + " gon";
    return Fixed(radians * 180.0 / kPi, 4) + " graden";
}

std::string Trimmed(const Name9& name) {
    std::string_view text = name.View();
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return std::string(text);
}

// An unordered pair of points as one key.
std::uint64_t Pair(std::size_t a, std::size_t b) {
    return (std::uint64_t{std::min(a, b)} << 32) | std::max(a, b);
}

// Height difference from station (instrument) to target (target point).
double Curvature(double horizontal) {
    return (1.0 - kRefraction) * horizontal * horizontal / (2.0 * kEarthRadius);
}

// The standard deviations of a reading over a sight of this horizontal length.
double DirectionSigmaOf(const CheckChoices& c, double distance) {
    return (c.absHor + c.relHor * distance / 1000.0) * kGon;
}
double ZenithSigmaOf(const CheckChoices& c, double distance) {
    return (c.absVer + c.relVer * distance / 1000.0) * kGon;
}

// The readings of one set-up to one target while they are combined (face 2 reduced to face 1).
struct Combining {
    std::uint32_t target = 0;
    int directions = 0;
    double firstDirection = 0.0;
    double directionSum = 0.0;  // relative to the first
    double directionLow = 0.0;
    double directionHigh = 0.0;
    bool face1 = false;
    bool face2 = false;
    int zeniths = 0;
    double zenithSum = 0.0;
    double zenithLow = 0.0;
    double zenithHigh = 0.0;
    int horizontals = 0;
    double horizontalSum = 0.0;
    int heightDifferences = 0;
    double heightDifferenceSum = 0.0;
    bool hasAzimuth = false;
    double azimuthOrientation = 0.0;
    double heightOffset = 0.0;  // instrument height less target height of the zenith angles
};

// What one set-up says about one target, its readings combined: 40 bytes, for a large network
// has a great many. The counts stop at 2; the check only asks for none, one or more.
struct Sight {
    std::uint32_t target = 0;
    std::uint8_t directions = 0;
    std::uint8_t zeniths = 0;
    std::uint8_t horizontals = 0;
    std::uint8_t heightDifferences = 0;
    double direction = 0.0;
    double zenith = 0.0;
    double horizontal = 0.0;
    double height = 0.0;  // the height difference; without one, the height offset

    Sight() = default;
    explicit Sight(const Combining& c)
        : target(c.target),
          directions(Capped(c.directions)),
          zeniths(Capped(c.zeniths)),
          horizontals(Capped(c.horizontals)),
          heightDifferences(Capped(c.heightDifferences)),
          direction(c.directions > 0 ? c.firstDirection + c.directionSum / c.directions : 0.0),
          zenith(c.zeniths > 0 ? c.zenithSum / c.zeniths : 0.0),
          horizontal(c.horizontals > 0 ? c.horizontalSum / c.horizontals : 0.0),
          height(c.heightDifferences > 0 ? c.heightDifferenceSum / c.heightDifferences
                                         : c.heightOffset) {}
    static std::uint8_t Capped(int count) { return static_cast<std::uint8_t>(std::min(count, 2)); }

    double Direction() const { return direction; }
    double Horizontal() const { return horizontal; }
    double HeightDifference() const { return height; }
    double HeightOffset() const { return height; }
    double Zenith() const { return zenith; }
};

// Readings of one target in one set-up (both faces, or rounds) that spread too far.
// The tolerance follows from the sight's length, as when the spread was found.
struct Spread {
    static constexpr std::uint32_t kZenith = 0x80000000u;  // else the directions
    static constexpr std::uint32_t kFaces = 0x40000000u;   // both faces, else rounds in one face
    std::uint32_t setUp = 0;
    std::uint32_t sight = 0;  // in its set-up, with the bits above
    double spread = 0.0;
};

struct Station {
    std::uint32_t station = 0;
    std::span<const Sight> sights;
    bool oriented = false;
    double orientation = 0.0;
    double orientationSigma = 0.0;
    bool hasAzimuth = false;  // the orientation of the set-up's first azimuth record
    double azimuthOrientation = 0.0;
};

struct Node {
    bool known = false;
    bool placed = false;
    double x = 0.0;
    double y = 0.0;
    double sigma = 0.0;  // of the position, m
    int from = -1;       // the station that placed it
    bool hasHeight = false;
    double z = 0.0;
    double sigmaZ = 0.0;
    int heightFrom = -1;          // the set-up whose sight gave the height
    std::uint32_t heightVia = 0;  // and the point at the sight's other end
};

// Where a point is seen: set-up and sight.
struct Seen {
    std::uint32_t setUp = 0;
    std::uint32_t sight = 0;
};

class Checker {
  public:
    Checker(const CheckChoices& choices, std::vector<Node>& nodes, std::vector<Station>& stations,
            const std::vector<Spread>& spreads, CheckReport& report)
        : c_(choices),
          nodes_(nodes),
          stations_(stations),
          spreads_(spreads),
          report_(report),
          seenAt_(nodes.size() + 1),
          setUpsAt_(nodes.size() + 1) {
        std::size_t sights = 0;
        for (const Station& s : stations)
            sights += s.sights.size();
        all_ = stations.empty() ? nullptr : stations.front().sights.data();
        sightFlags_.resize(sights);
        pointFlags_.resize(nodes.size());
        // Both lists in one array each, a point's entries from At[n] to At[n + 1].
        for (const Station& s : stations) {
            ++setUpsAt_[s.station + 1];
            for (const Sight& sight : s.sights)
                ++seenAt_[sight.target + 1];
        }
        for (std::size_t n = 1; n < seenAt_.size(); ++n) {
            seenAt_[n] += seenAt_[n - 1];
            setUpsAt_[n] += setUpsAt_[n - 1];
        }
        seen_.resize(seenAt_.back());
        setUps_.resize(setUpsAt_.back());
        std::vector<std::uint32_t> seenNext(seenAt_.begin(), seenAt_.end() - 1);
        std::vector<std::uint32_t> setUpNext(setUpsAt_.begin(), setUpsAt_.end() - 1);
        for (std::uint32_t i = 0; i < stations.size(); ++i) {
            setUps_[setUpNext[stations[i].station]++] = i;
            for (std::uint32_t j = 0; j < stations[i].sights.size(); ++j)
                seen_[seenNext[stations[i].sights[j].target]++] = {i, j};
        }
    }

    void Place();
    void Compare();
    void Unplaced(const std::vector<bool>& observed);

  private:
    double DirectionSigma(double distance) const { return DirectionSigmaOf(c_, distance); }
    double ZenithSigma(double distance) const { return ZenithSigmaOf(c_, distance); }
    double DistanceSigma(double distance) const { return c_.absDis + c_.relDis * 1e-6 * distance; }
    double Bearing(const Node& a, const Node& b) const { return std::atan2(b.x - a.x, b.y - a.y); }
    double Span(const Node& a, const Node& b) const { return std::hypot(b.x - a.x, b.y - a.y); }
    // The variance a polar sight of this length adds to a position.
    double PolarVariance(const Station& s, double distance) const {
        const double d = DistanceSigma(distance);
        const double r = std::hypot(DirectionSigma(distance), s.orientationSigma) * distance;
        return d * d + r * r + 2.0 * c_.sigmaCent * c_.sigmaCent;
    }
    double HeightVariance(double h, double zenith) const {
        const double z = ZenithSigma(h) * h;
        const double d = DistanceSigma(h) * std::cos(zenith);
        return z * z + d * d + 2.0 * c_.sigmaInst * c_.sigmaInst;
    }
    // The height difference a sight gives from station to target, and its variance: from the
    // slope distance, or from the zenith angle and the distance of the placed points.
    bool HeightDifference(const Station& s, const Sight& sight, double& dh,
                          double& variance) const {
        if (sight.heightDifferences > 0) {
            dh = sight.HeightDifference();
            variance = HeightVariance(sight.Horizontal(), sight.Zenith());
            return true;
        }
        const Node& at = nodes_[s.station];
        const Node& target = nodes_[sight.target];
        if (sight.zeniths == 0 || !at.placed || !target.placed) return false;
        const double h = Span(at, target);
        dh = h / std::tan(sight.Zenith()) + Curvature(h) + sight.HeightOffset();
        const double z = ZenithSigma(h) * h / std::pow(std::sin(sight.Zenith()), 2);
        const double d = std::hypot(at.sigma, target.sigma) / std::tan(sight.Zenith());
        variance = z * z + d * d + 2.0 * c_.sigmaInst * c_.sigmaInst;
        return true;
    }
    bool Orient(std::size_t index);
    bool PlaceFree(std::size_t index);
    bool Intersect(std::uint32_t target);
    void Heights();
    // Asks the processor to fetch the points a set-up sees: in a large network they lie far
    // apart, and fetched together they do not wait for each other.
    void Fetch(const Station& s) const {
#if defined(__GNUC__)
        __builtin_prefetch(&nodes_[s.station]);
        for (const Sight& sight : s.sights)
            __builtin_prefetch(&nodes_[sight.target]);
#else
        (void)s;
#endif
    }
    // A point has just been placed: its set-ups can be oriented.
    void Placed(std::uint32_t node) {
        for (const std::uint32_t i : SetUpsOf(node))
            queue_.push_back(i);
    }
    // The sight line an error names is drawn red: marked at one of its sights, or as a pair.
    void Flag(const Sight& sight) {
        sightFlags_[static_cast<std::size_t>(&sight - all_)] = true;
    }
    // A finding; its text is made only while the report keeps findings in full.
    template <typename Text>
    void Add(Severity severity, std::initializer_list<std::size_t> points, Text&& text) {
        if (severity == Severity::Error) {
            for (const std::size_t n : points)
                pointFlags_[n] = true;
        }
        if (report_.findings.size() < CheckReport::kKept)
            report_.findings.push_back({severity, std::string(text()), points});
        else
            ++(severity == Severity::Error ? report_.errorsLeftOut : report_.warningsLeftOut);
    }
    const std::string& Name(std::size_t node) const {
        return report_.points[node].name;
    }
    // How a placed point was placed, for the texts.
    std::string Origin(std::uint32_t node) const {
        const int from = nodes_[node].from;
        if (from < 0) return "de insnijding";
        const std::uint32_t station = stations_[static_cast<std::size_t>(from)].station;
        return station == node ? "de vrije standplaats" : "die vanuit " + Name(station);
    }

    const CheckChoices& c_;
    std::vector<Node>& nodes_;
    std::vector<Station>& stations_;
    const std::vector<Spread>& spreads_;
    CheckReport& report_;
    std::vector<std::uint32_t> seenAt_;
    std::vector<Seen> seen_;
    std::vector<std::uint32_t> setUpsAt_;
    std::vector<std::uint32_t> setUps_;
    // The sights that see a point; the set-ups on a point.
    std::span<const Seen> SeenBy(std::uint32_t n) const {
        return {seen_.data() + seenAt_[n], seen_.data() + seenAt_[n + 1]};
    }
    std::span<const std::uint32_t> SetUpsOf(std::uint32_t n) const {
        return {setUps_.data() + setUpsAt_[n], setUps_.data() + setUpsAt_[n + 1]};
    }
    std::vector<std::uint32_t> queue_;

    const Sight* all_ = nullptr;  // the first of all sights, one array
    std::vector<bool> sightFlags_;
    // Every sight under its pair of points, the two ways of a pair side by side once sorted.
    struct Entry {
        std::uint64_t pair;
        std::uint32_t sight;  // in the array of all sights; kBack: from the higher point
    };
    static constexpr std::uint32_t kBack = 0x80000000u;
    std::vector<Entry> entries_;
    std::vector<bool> pairFlags_;

  public:
    std::vector<bool> pointFlags_;      // the points an error names, one bit each
    std::vector<std::uint64_t> pairs_;  // the pairs of points a sight joins, in order
    // Whether an error names the points of pairs_[i].
    std::vector<bool> FlaggedLines() const;
};

std::vector<bool> Checker::FlaggedLines() const {
    std::vector<bool> flagged(pairs_.size());
    std::size_t line = 0;
    for (std::size_t run = 0; run < entries_.size(); ++line) {
        const std::uint64_t key = entries_[run].pair;
        bool red = pairFlags_[line];
        for (; run < entries_.size() && entries_[run].pair == key; ++run)
            red = red || sightFlags_[entries_[run].sight & ~kBack];
        flagged[line] = red;
    }
    return flagged;
}

// Orients a set-up on a placed station and places its targets by polar sights.
bool Checker::Orient(std::size_t index) {
    Station& s = stations_[index];
    Fetch(s);
    const Node& at = nodes_[s.station];
    int count = 0;
    double first = 0.0;
    double sum = 0.0;
    double variance = 0.0;
    for (const Sight& sight : s.sights) {
        const Node& target = nodes_[sight.target];
        if (sight.directions == 0 || !target.placed || sight.target == s.station) continue;
        const double span = Span(at, target);
        if (span <= 0.0) continue;
        const double o = Bearing(at, target) - sight.Direction();
        if (count == 0) first = o;
        sum += Wrap(o - first);
        const double d = DirectionSigma(span);
        variance += d * d + (at.sigma * at.sigma + target.sigma * target.sigma) / (span * span);
        ++count;
    }
    if (count > 0) {
        s.orientation = first + sum / count;
        s.orientationSigma = std::sqrt(variance) / count;
    } else {
        // Only an azimuth record, when that is all there is.
        if (!s.hasAzimuth) return false;
        s.orientation = s.azimuthOrientation;
        s.orientationSigma = std::sqrt(2.0) * DirectionSigma(0.0);
    }
    s.oriented = true;
    for (const Sight& sight : s.sights) {
        Node& target = nodes_[sight.target];
        if (sight.target == s.station || sight.directions == 0) continue;
        if (!target.placed && sight.horizontals > 0) {
            const double h = sight.Horizontal();
            const double b = s.orientation + sight.Direction();
            target.x = at.x + h * std::sin(b);
            target.y = at.y + h * std::cos(b);
            target.sigma = std::sqrt(at.sigma * at.sigma + PolarVariance(s, h));
            target.placed = true;
            target.from = static_cast<int>(index);
            Placed(sight.target);
        }
    }
    return true;
}

// Places a set-up whose station is not known from two or more placed targets: the similarity
// transform that takes the targets' polar coordinates in the instrument's frame onto their
// positions gives the station (the frame's origin), the orientation and a scale.
bool Checker::PlaceFree(std::size_t index) {
    Station& s = stations_[index];
    std::vector<std::pair<std::complex<double>, std::complex<double>>> pairs;  // local, world
    std::vector<const Sight*> used;
    for (const Sight& sight : s.sights) {
        const Node& target = nodes_[sight.target];
        if (sight.directions == 0 || sight.horizontals == 0 || !target.placed ||
            sight.target == s.station)
            continue;
        const double h = sight.Horizontal();
        const double d = sight.Direction();
        pairs.push_back({{h * std::sin(d), h * std::cos(d)}, {target.x, target.y}});
        used.push_back(&sight);
    }
    if (pairs.size() < 2) return false;
    std::complex<double> localMean;
    std::complex<double> worldMean;
    for (const auto& [local, world] : pairs) {
        localMean += local;
        worldMean += world;
    }
    const double n = static_cast<double>(pairs.size());
    localMean /= n;
    worldMean /= n;
    std::complex<double> cross;
    double norm = 0.0;
    for (const auto& [local, world] : pairs) {
        cross += (world - worldMean) * std::conj(local - localMean);
        norm += std::norm(local - localMean);
    }
    if (norm <= 0.0) return false;
    // world = origin + factor * local; in (x, y) = (east, north) the factor turns clockwise by
    // the orientation: factor = scale * e^(-i orientation).
    const std::complex<double> factor = cross / norm;
    const std::complex<double> origin = worldMean - factor * localMean;
    Node& at = nodes_[s.station];
    at.placed = true;
    at.x = origin.real();
    at.y = origin.imag();
    at.from = static_cast<int>(index);
    s.oriented = true;
    s.orientation = -std::arg(factor);
    Placed(s.station);
    double variance = 0.0;
    double targetsVariance = 0.0;
    for (std::size_t i = 0; i < used.size(); ++i) {
        const double h = used[i]->Horizontal();
        const double d = DirectionSigma(h) * h;
        const double t = nodes_[used[i]->target].sigma;
        variance += (d * d + t * t) / (h * h);
        targetsVariance += t * t + DistanceSigma(h) * DistanceSigma(h) + d * d;
    }
    s.orientationSigma = std::sqrt(variance) / n;
    at.sigma = std::sqrt(targetsVariance / n);
    report_.notes.push_back("vrije standplaats " + Name(s.station) + ": schaal " +
                            Fixed(std::abs(factor), 6) + " uit " + std::to_string(pairs.size()) +
                            " punten");
    // With three or more targets the fit has something left over: a target that does not fit.
    if (pairs.size() >= 3) {
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            const double off = std::abs(origin + factor * pairs[i].first - pairs[i].second);
            const double h = used[i]->Horizontal();
            const double t = nodes_[used[i]->target].sigma;
            const double tolerance =
                std::max(kPositionFloor, kPositionFactor * std::sqrt(PolarVariance(s, h) + t * t));
            if (off > tolerance) {
                Flag(*used[i]);
                Add(Severity::Error, {s.station, used[i]->target}, [&] {
                    return "vrije standplaats " + Name(s.station) + ": punt " +
                           Name(used[i]->target) + " past " + Metres(off) +
                           " naast de aansluiting (toegestaan " + Metres(tolerance) + ")";
                });
            }
        }
    }
    return true;
}

// A target seen by directions alone from two oriented stations is placed where they cross.
bool Checker::Intersect(std::uint32_t target) {
    struct Ray {
        const Node* at;
        double bearing;
        double sigma;
    };
    std::vector<Ray> rays;
    for (const Seen& seen : SeenBy(target)) {
        const Station& s = stations_[seen.setUp];
        const Sight& sight = s.sights[seen.sight];
        if (!s.oriented || s.station == target || sight.directions == 0) continue;
        const double b = s.orientation + sight.Direction();
        if (std::none_of(rays.begin(), rays.end(),
                         [&](const Ray& r) { return r.at == &nodes_[s.station]; }))
            rays.push_back(
                {&nodes_[s.station], b, std::hypot(DirectionSigma(0.0), s.orientationSigma)});
    }
    // The pair of rays that crosses most nearly at right angles.
    double best = 0.0;
    std::size_t a = 0;
    std::size_t b = 0;
    for (std::size_t i = 0; i < rays.size(); ++i) {
        for (std::size_t j = i + 1; j < rays.size(); ++j) {
            const double cut = std::abs(std::sin(rays[j].bearing - rays[i].bearing));
            if (cut > best) best = cut, a = i, b = j;
        }
    }
    if (best < 0.05) return false;  // under 3 degrees: no usable crossing
    const Ray& p = rays[a];
    const Ray& q = rays[b];
    const double ux = std::sin(p.bearing), uy = std::cos(p.bearing);
    const double vx = std::sin(q.bearing), vy = std::cos(q.bearing);
    const double dx = q.at->x - p.at->x, dy = q.at->y - p.at->y;
    const double det = ux * (-vy) - uy * (-vx);
    const double t = (dx * (-vy) - dy * (-vx)) / det;
    const double u = (ux * dy - uy * dx) / det;
    if (t <= 0.0 || u <= 0.0) return false;  // the rays meet behind a station
    Node& node = nodes_[target];
    node.placed = true;
    node.x = p.at->x + t * ux;
    node.y = p.at->y + t * uy;
    const double along = std::hypot(t * p.sigma, u * q.sigma) / best;
    node.sigma = std::sqrt(along * along + p.at->sigma * p.at->sigma + q.at->sigma * q.at->sigma);
    Placed(target);
    return true;
}

void Checker::Place() {
    for (std::uint32_t n = 0; n < nodes_.size(); ++n) {
        if (nodes_[n].placed) Placed(n);
    }
    const auto drain = [this] {
        while (!queue_.empty()) {
            const std::uint32_t i = queue_.back();
            queue_.pop_back();
            if (!stations_[i].oriented) Orient(i);
        }
    };
    // Polar sights first; then free set-ups and crossings in sweeps, each followed by the polar
    // sights it opens the way for, until a sweep places nothing.
    drain();
    for (bool changed = true; changed;) {
        changed = false;
        for (std::size_t i = 0; i < stations_.size(); ++i) {
            if (!nodes_[stations_[i].station].placed && PlaceFree(i)) {
                changed = true;
                drain();
            }
        }
        for (std::uint32_t n = 0; n < nodes_.size(); ++n) {
            if (!nodes_[n].placed && Intersect(n)) {
                changed = true;
                drain();
            }
        }
    }
    Heights();
}

// Trigonometric heighting along the sights with zenith angle and distance, from the points
// with heights outwards (a station takes its height from a target as well).
void Checker::Heights() {
    for (bool changed = true; changed;) {
        changed = false;
        for (std::size_t i = 0; i < stations_.size(); ++i) {
            const Station& s = stations_[i];
            Node& at = nodes_[s.station];
            for (const Sight& sight : s.sights) {
                Node& target = nodes_[sight.target];
                double dh = 0.0;
                double variance = 0.0;
                if (sight.target == s.station || at.hasHeight == target.hasHeight ||
                    !HeightDifference(s, sight, dh, variance))
                    continue;
                Node& to = at.hasHeight ? target : at;
                const Node& from = at.hasHeight ? at : target;
                to.z = at.hasHeight ? at.z + dh : target.z - dh;
                to.sigmaZ = std::sqrt(from.sigmaZ * from.sigmaZ + variance);
                to.hasHeight = true;
                to.heightFrom = static_cast<int>(i);
                to.heightVia = &to == &at ? sight.target : s.station;
                changed = true;
            }
        }
    }
}

void Checker::Compare() {
    // Distances and height differences measured both ways: the sights are paired beside the
    // comparisons above (they read only the sights); the pairs that disagree are reported after
    // them, in the order of the pairs.
    struct Way {
        double horizontal = 0.0;
        int horizontals = 0;
        double height = 0.0;
        int heights = 0;
        double zenith = 0.0;
    };
    struct Disagreement {
        std::uint32_t line = 0;
        bool height = false;  // else the distance
        double there = 0.0;
        double home = 0.0;
        double tolerance = 0.0;
    };
    std::vector<Disagreement> disagreements;
    // Room for the pairs is made here, where the memory let go before can be had again.
    entries_.reserve(sightFlags_.size());
    pairs_.reserve(sightFlags_.size());
    pairFlags_.reserve(sightFlags_.size());
    std::future<void> paired = RunBeside([this, &disagreements] {
        for (const Station& s : stations_) {
            for (const Sight& sight : s.sights) {
                if (sight.target != s.station)
                    entries_.push_back({Pair(s.station, sight.target),
                                        static_cast<std::uint32_t>(&sight - all_) |
                                            (s.station > sight.target ? kBack : 0u)});
            }
        }
        std::sort(entries_.begin(), entries_.end(),
                  [](const Entry& a, const Entry& b) { return a.pair < b.pair; });
        for (std::size_t run = 0; run < entries_.size();) {
            const std::uint64_t key = entries_[run].pair;
            const auto line = static_cast<std::uint32_t>(pairs_.size());
            pairs_.push_back(key);
            pairFlags_.push_back(false);
            Way there;
            Way home;
            for (; run < entries_.size() && entries_[run].pair == key; ++run) {
#if defined(__GNUC__)
                // The sights lie in the order of their set-ups, not of their pairs.
                if (run + 8 < entries_.size())
                    __builtin_prefetch(&all_[entries_[run + 8].sight & ~kBack]);
#endif
                Way& way = (entries_[run].sight & kBack) != 0 ? home : there;
                const Sight& sight = all_[entries_[run].sight & ~kBack];
                if (sight.horizontals > 0) {
                    way.horizontal += sight.Horizontal();
                    ++way.horizontals;
                }
                if (sight.heightDifferences > 0) {
                    way.height += sight.HeightDifference();
                    way.zenith = sight.Zenith();
                    ++way.heights;
                }
            }
            if (there.horizontals > 0 && home.horizontals > 0) {
                const double a = there.horizontal / there.horizontals;
                const double b = home.horizontal / home.horizontals;
                const double sigma = std::hypot(DistanceSigma(a), std::sqrt(2.0) * c_.sigmaCent);
                const double tolerance = kPairFactor * std::sqrt(2.0) * sigma;
                if (std::abs(a - b) > tolerance)
                    disagreements.push_back({line, false, a, b, tolerance});
            }
            if (there.heights > 0 && home.heights > 0) {
                const double a = there.height / there.heights;
                const double b = -home.height / home.heights;
                const double h = there.horizontals > 0 ? there.horizontal / there.horizontals : 0.0;
                const double tolerance =
                    kPairFactor * std::sqrt(2.0 * HeightVariance(h, there.zenith));
                if (std::abs(a - b) > tolerance)
                    disagreements.push_back({line, true, a, b, tolerance});
            }
        }
    });

    // Positions and heights that a sight gives for a point placed otherwise.
    if (!stations_.empty()) Fetch(stations_.front());
    for (std::size_t i = 0; i < stations_.size(); ++i) {
        const Station& s = stations_[i];
        if (i + 1 < stations_.size()) Fetch(stations_[i + 1]);
        const Node& at = nodes_[s.station];
        if (!s.oriented) continue;
        const int self = static_cast<int>(i);
        for (const Sight& sight : s.sights) {
            const Node& target = nodes_[sight.target];
            if (sight.target == s.station || !target.placed) continue;
            const std::string& who = Name(sight.target);
            const std::string& where = Name(s.station);
            // Skipped where the sight itself placed the target, or the fit of a free set-up
            // placed the station (its targets' misfits are reported there).
            if (sight.directions > 0 && sight.horizontals > 0 && target.from != self &&
                at.from != self) {
                const double h = sight.Horizontal();
                const double b = s.orientation + sight.Direction();
                const double off = std::hypot(at.x + h * std::sin(b) - target.x,
                                              at.y + h * std::cos(b) - target.y);
                const double tolerance =
                    std::max(kPositionFloor,
                             kPositionFactor * std::sqrt(at.sigma * at.sigma + PolarVariance(s, h) +
                                                         target.sigma * target.sigma));
                if (off > tolerance) {
                    Flag(sight);
                    if (target.known)
                        Add(Severity::Error, {sight.target, s.station}, [&] {
                            return "bekend punt " + who + ": vanuit " + where + " berekend op " +
                                   Metres(off) + " van de bekende co\xF6rdinaten (toegestaan " +
                                   Metres(tolerance) + ")";
                        });
                    else
                        Add(Severity::Error, {sight.target, s.station}, [&] {
                            return "punt " + who + ": plaatsing vanuit " + where + " wijkt " +
                                   Metres(off) + " af van " + Origin(sight.target) +
                                   " (toegestaan " + Metres(tolerance) + ")";
                        });
                }
            }
            const bool heightFromThis =
                (target.heightFrom == self && target.heightVia == s.station) ||
                (at.heightFrom == self && at.heightVia == sight.target);
            double dh = 0.0;
            double variance = 0.0;
            if (at.hasHeight && target.hasHeight && !heightFromThis &&
                HeightDifference(s, sight, dh, variance)) {
                const double off = std::abs(at.z + dh - target.z);
                const double tolerance = std::max(
                    kPositionFloor, kPositionFactor * std::sqrt(at.sigmaZ * at.sigmaZ + variance +
                                                                target.sigmaZ * target.sigmaZ));
                if (off > tolerance) {
                    Flag(sight);
                    if (target.known)
                        Add(Severity::Error, {sight.target, s.station}, [&] {
                            return "bekend punt " + who + ": hoogte vanuit " + where + " wijkt " +
                                   Metres(off) + " af van de bekende hoogte (toegestaan " +
                                   Metres(tolerance) + ")";
                        });
                    else
                        Add(Severity::Error, {sight.target, s.station}, [&] {
                            return "punt " + who + ": hoogte vanuit " + where + " wijkt " +
                                   Metres(off) + " af van die vanuit " + Name(target.heightVia) +
                                   " (toegestaan " + Metres(tolerance) + ")";
                        });
                }
            }
        }
    }

    paired.get();
    for (const Disagreement& d : disagreements) {
        const auto from = static_cast<std::uint32_t>(pairs_[d.line] >> 32);
        const auto to = static_cast<std::uint32_t>(pairs_[d.line] & 0xFFFFFFFFu);
        pairFlags_[d.line] = true;
        Add(Severity::Error, {from, to}, [&] {
            return (d.height ? "hoogteverschil " : "afstand ") + Name(from) + "-" + Name(to) +
                   ": heen " + Metres(d.there) + ", terug " + Metres(d.home) + ", verschil " +
                   Metres(std::abs(d.there - d.home)) + " (toegestaan " + Metres(d.tolerance) + ")";
        });
    }

    // Readings of one target in one set-up: both faces, or repeated rounds (their spreads
    // were found while the readings were combined).
    auto spread = spreads_.begin();
    for (std::uint32_t i = 0; i < stations_.size(); ++i) {
        const Station& s = stations_[i];
        for (; spread != spreads_.end() && spread->setUp == i; ++spread) {
            const Spread& f = *spread;
            const Sight& sight = s.sights[f.sight & ~(Spread::kZenith | Spread::kFaces)];
            const std::uint32_t target = sight.target;
            const bool zenith = (f.sight & Spread::kZenith) != 0;
            const bool faces = (f.sight & Spread::kFaces) != 0;
            const double h = sight.horizontals > 0 ? sight.Horizontal() : 0.0;
            const double tolerance =
                kPairFactor * std::sqrt(2.0) * (zenith ? ZenithSigma(h) : DirectionSigma(h));
            Flag(sight);
            Add(Severity::Error, {s.station, target}, [&] {
                const std::string where =
                    "standplaats " + Name(s.station) + ", " + Name(target) + ": ";
                const std::string amount = AngleText(f.spread, c_.unit);
                const std::string tail = " (toegestaan " + AngleText(tolerance, c_.unit) + ")";
                if (zenith)
                    return where +
                           (faces ? "zenithoeken in kijkerstand 1 en 2 wijken " + amount +
                                        " af van een volle cirkel"
                                  : "herhaalde zenithoeken lopen " + amount + " uiteen") +
                           tail;
                return where +
                       (faces ? "richtingen in kijkerstand 1 en 2 verschillen " + amount +
                                    " van een halve cirkel"
                              : "herhaalde richtingen lopen " + amount + " uiteen") +
                       tail;
            });
        }
        int directions = 0;
        std::uint32_t only = 0;
        for (const Sight& sight : s.sights) {
            if (sight.directions > 0 && sight.target != s.station)
                ++directions, only = sight.target;
        }
        if (directions == 1)
            Add(Severity::Warning, {s.station, only}, [&] {
                return "standplaats " + Name(s.station) + ": slechts \xE9\xE9n richting (naar " +
                       Name(only) + "); zonder bekende ori\xEBntatie voegt die niets toe";
            });
    }
}

void Checker::Unplaced(const std::vector<bool>& observed) {
    for (std::uint32_t n = 0; n < nodes_.size(); ++n) {
        const Node& node = nodes_[n];
        if (!observed[n]) continue;
        if (!node.placed) {
            // The stations that see it, and whether any of them measured a distance to it.
            std::set<std::uint32_t> seenFrom;
            bool distance = false;
            for (const Seen& seen : SeenBy(n)) {
                const Station& s = stations_[seen.setUp];
                const Sight& sight = s.sights[seen.sight];
                if (s.station == n) continue;
                if (sight.directions > 0) seenFrom.insert(s.station);
                distance |= sight.horizontals > 0;
            }
            if (seenFrom.size() == 1 && !distance && nodes_[*seenFrom.begin()].placed) {
                for (const Seen& seen : SeenBy(n)) {
                    const Station& s = stations_[seen.setUp];
                    if (s.station == *seenFrom.begin()) Flag(s.sights[seen.sight]);
                }
                Add(Severity::Error, {n, *seenFrom.begin()}, [&] {
                    return "punt " + Name(n) + ": niet te plaatsen, alleen een richting vanuit " +
                           Name(*seenFrom.begin());
                });
            } else {
                Add(Severity::Error, {n}, [&] {
                    return "punt " + Name(n) +
                           ": niet te plaatsen, niet verbonden met bekende punten";
                });
            }
        } else if (!node.hasHeight && c_.heights) {
            Add(Severity::Error, {n},
                [&] { return "punt " + Name(n) + ": geen hoogte te berekenen"; });
        }
    }
}

}  // namespace

std::size_t CheckReport::Errors() const {
    return errorsLeftOut + static_cast<std::size_t>(std::count_if(
                               findings.begin(), findings.end(),
                               [](const Finding& f) { return f.severity == Severity::Error; }));
}

std::size_t CheckReport::Warnings() const {
    return findings.size() + errorsLeftOut + warningsLeftOut - Errors();
}

std::size_t CheckReport::Find(std::string_view name) const {
    while (!name.empty() && name.back() == ' ')
        name.remove_suffix(1);
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (points[i].name == name) return i;
    }
    return points.size();
}

CheckChoices ChoicesFrom(const ExportOptions& options, AngleUnit unit) {
    CheckChoices c;
    c.unit = unit;
    c.face2to1 = options.Face2to1;
    c.heights = options.Version != 1;
    c.absHor = Number(options.AbsHor, c.absHor);
    c.relHor = Number(options.RelHor, c.relHor);
    c.absVer = Number(options.AbsVer, c.absVer);
    c.relVer = Number(options.RelVer, c.relVer);
    c.absDis = Number(options.AbsDis, c.absDis);
    c.relDis = Number(options.RelDis, c.relDis);
    c.sdXY = Number(options.SDXY, c.sdXY);
    c.sdZ = Number(options.SDZ, c.sdZ);
    c.sigmaCent = Number(options.SigmaCent, c.sigmaCent);
    c.sigmaInst = Number(options.SigmaInst, c.sigmaInst);
    return c;
}

double AngleToRadians(double value, AngleUnit unit) {
    switch (unit) {
        case AngleUnit::Gon:
            return value * kGon;
        case AngleUnit::DecimalDegrees:
            return value * kPi / 180.0;
        case AngleUnit::DegreesMinutesSeconds: {
            // DDD.MMSSs: whole degrees, two digits of minutes, seconds with their decimals.
            const double size = std::abs(value);
            double degrees = std::floor(size);
            double rest = (size - degrees) * 100.0;
            double minutes = std::floor(rest + 1e-9);
            double seconds = (rest - minutes) * 100.0;
            if (seconds < 0.0) seconds = 0.0;
            const double total = degrees + minutes / 60.0 + seconds / 3600.0;
            return (value < 0.0 ? -total : total) * kPi / 180.0;
        }
    }
    return value * kGon;
}

std::size_t NetworkCheck::NameHash::operator()(const Name9& name) const {
    std::uint64_t head = 0;
    std::memcpy(&head, name.data(), 8);
    std::uint64_t h = (head ^ static_cast<unsigned char>(name.data()[8])) * 0x9E3779B97F4A7C15ull;
    h ^= h >> 32;
    h *= 0xD6E8FEB86659FD93ull;
    return static_cast<std::size_t>(h ^ (h >> 32));
}

NetworkCheck::Slot NetworkCheck::SlotOf(const Name9& name, std::uint32_t index) {
    Slot slot;
    std::memcpy(&slot.head, name.data(), 8);
    slot.index = index;
    slot.last = name.data()[8];
    return slot;
}

std::uint32_t NetworkCheck::Lookup(const Name9& name) const {
    if (slots_.empty()) return static_cast<std::uint32_t>(names_.size());
    const std::size_t mask = slots_.size() - 1;
    const Slot key = SlotOf(name, 0);
    for (std::size_t at = NameHash()(name) & mask;; at = (at + 1) & mask) {
        const Slot& slot = slots_[at];
        if (slot.index == 0) return static_cast<std::uint32_t>(names_.size());
        if (slot.head == key.head && slot.last == key.last) return slot.index - 1;
    }
}

std::uint32_t NetworkCheck::Intern(const Name9& name) {
    if ((names_.size() + 1) * 2 > slots_.size()) {
        slots_.assign(slots_.empty() ? 1024 : slots_.size() * 2, Slot{});
        const std::size_t mask = slots_.size() - 1;
        for (std::uint32_t i = 0; i < names_.size(); ++i) {
            std::size_t at = NameHash()(names_[i]) & mask;
            while (slots_[at].index != 0)
                at = (at + 1) & mask;
            slots_[at] = SlotOf(names_[i], i + 1);
        }
    }
    const std::size_t mask = slots_.size() - 1;
    const Slot key = SlotOf(name, 0);
    for (std::size_t at = NameHash()(name) & mask;; at = (at + 1) & mask) {
        Slot& slot = slots_[at];
        if (slot.index == 0) {
            names_.push_back(name);
            slot = SlotOf(name, static_cast<std::uint32_t>(names_.size()));
            return slot.index - 1;
        }
        if (slot.head == key.head && slot.last == key.last) return slot.index - 1;
    }
}

void NetworkCheck::Put(const ObservationRecord& record) {
    if (record.Zenith > 200.0 && ++face2Readings_ == 1) {
        face2Station_ = record.Station;
        face2Target_ = record.Target;
    }
#if defined(__GNUC__)
    if (!slots_.empty())
        __builtin_prefetch(&slots_[NameHash()(record.Target) & (slots_.size() - 1)]);
#endif
    if (waitingCount_ == kAhead) {
        Take(waiting_[waitingFirst_]);
        waiting_[waitingFirst_] = record;
        waitingFirst_ = (waitingFirst_ + 1) % kAhead;
    } else {
        waiting_[(waitingFirst_ + waitingCount_++) % kAhead] = record;
    }
}

void NetworkCheck::TakeWaiting() {
    for (; waitingCount_ > 0; --waitingCount_) {
        Take(waiting_[waitingFirst_]);
        waitingFirst_ = (waitingFirst_ + 1) % kAhead;
    }
}

void NetworkCheck::Take(const ObservationRecord& record) {
    // The records of one set-up mostly name the same station: its look-up is kept.
    if (!haveLastStation_ || !(record.Station == lastStation_)) {
        lastStationIndex_ = Intern(record.Station);
        lastStation_ = record.Station;
        haveLastStation_ = true;
    }
    const std::uint32_t station = lastStationIndex_;
    const bool stationRecord = record.Zenith == -1.0;
    // A station record made at a change of rounds carries no reading and opens no set-up.
    if (stationRecord && record.Target == Name9("0")) return;
    const std::uint32_t target = Intern(record.Target);
    // The records of a set-up need not follow each other: a face-2 reading of a set-up opened
    // without a station record goes behind the latest station record of another one. So a
    // record joins its station's latest set-up; only a station record with a reference opens a
    // new one, unless it repeats the one that opened the latest (the copy that follows a face-2
    // block).
    if (latest_.size() < names_.size()) latest_.resize(names_.size() * 2, 0);
    std::uint32_t& latest = latest_[station];
    const auto same = [&](const SetUp& a) {
        return a.opened && a.openingTarget == target && a.openingDirection == record.Direction &&
               a.openingInstrumentHeight == record.InstrumentHeight &&
               a.openingTargetHeight == record.TargetHeight;
    };
    if (latest == 0 || (stationRecord && !same(setUps_[latest - 1]))) {
        setUps_.push_back({station, stationRecord, target, record.Direction,
                           record.InstrumentHeight, record.TargetHeight});
        latest = static_cast<std::uint32_t>(setUps_.size());
    }
    if ((readings_ >> kBlockShift) == blocks_.size())
        blocks_.push_back(std::make_unique<Reading[]>(std::size_t{1} << kBlockShift));
    Reading& reading =
        blocks_[readings_ >> kBlockShift][readings_ & ((std::size_t{1} << kBlockShift) - 1)];
    reading.setUp = latest - 1;
    reading.target = target;
    reading.direction = record.Direction;
    reading.zenith = 0.0;
    reading.distance = 0.0;
    if (!stationRecord) {
        reading.zenith = record.Zenith;
        if (record.Distance > 0.0)
            reading.distance = record.Distance;
        else if (record.Distance2 > 0.0)
            reading.distance = -record.Distance2;
        if (record.Azimuth != 0.0) {
            reading.setUp |= kAzimuth;
            azimuths_.emplace_back(readings_, record.Azimuth);
        }
    }
    reading.heightOffset = record.InstrumentHeight - record.TargetHeight;
    ++readings_;
}

CheckReport NetworkCheck::Run(const PointTable& points, std::size_t knownPoints,
                              const CheckChoices& choices) {
    TakeWaiting();
    // The set-ups, their readings reduced to face 1 and combined per target, beside the look-up
    // of the known points below: neither needs the other.
    std::vector<Sight> sights;
    std::vector<Spread> spreads;
    std::vector<Station> stations;
    std::future<void> combined = RunBeside([&] {
        // The readings are taken set-up by set-up, in the order they came; a block of them is
        // let go once used.
        constexpr std::size_t kBlock = std::size_t{1} << kBlockShift;
        std::vector<std::uint32_t> order(readings_);
        std::vector<std::uint32_t> readingsAt(setUps_.size() + 1, 0);
        for (std::size_t k = 0; k < readings_; ++k)
            ++readingsAt[(ReadingAt(k).setUp & ~kAzimuth) + 1];
        for (std::size_t i = 1; i < readingsAt.size(); ++i)
            readingsAt[i] += readingsAt[i - 1];
        {
            std::vector<std::uint32_t> next(readingsAt.begin(), readingsAt.end() - 1);
            for (std::size_t k = 0; k < readings_; ++k)
                order[next[ReadingAt(k).setUp & ~kAzimuth]++] = static_cast<std::uint32_t>(k);
        }
        std::vector<std::uint32_t> unused(blocks_.size(), static_cast<std::uint32_t>(kBlock));
        if (!blocks_.empty())
            unused.back() = static_cast<std::uint32_t>(readings_ - (blocks_.size() - 1) * kBlock);
        // No more sights than readings; the room never filled is never touched either.
        sights.reserve(readings_);
        std::vector<std::pair<std::size_t, std::size_t>> ranges(setUps_.size());
        stations.resize(setUps_.size());
        std::vector<Combining> combining;
        for (std::uint32_t u = 0; u < setUps_.size(); ++u) {
            Station& s = stations[u];
            s.station = setUps_[u].station;
            combining.clear();
            for (std::uint32_t at = readingsAt[u]; at < readingsAt[u + 1]; ++at) {
                const std::size_t k = order[at];
                const Reading& r = ReadingAt(k);
                // A set-up sees a few dozen targets at most: a search from the end finds them.
                auto found =
                    std::find_if(combining.rbegin(), combining.rend(),
                                 [&r](const Combining& sight) { return sight.target == r.target; });
                if (found == combining.rend()) {
                    combining.push_back(Combining{r.target});
                    found = combining.rbegin();
                }
                Combining& sight = *found;
                double direction = AngleToRadians(r.direction, choices.unit);
                double zenith = r.zenith > 0.0 ? AngleToRadians(r.zenith, choices.unit) : 0.0;
                const bool face2 = zenith > kPi;
                if (face2) {
                    direction -= kPi;
                    zenith = kTwoPi - zenith;
                }
                (face2 ? sight.face2 : sight.face1) = true;
                if (sight.directions == 0) sight.firstDirection = direction;
                const double delta = Wrap(direction - sight.firstDirection);
                sight.directionSum += delta;
                sight.directionLow =
                    sight.directions == 0 ? delta : std::min(sight.directionLow, delta);
                sight.directionHigh =
                    sight.directions == 0 ? delta : std::max(sight.directionHigh, delta);
                ++sight.directions;
                if (zenith > 0.0) {
                    sight.heightOffset = r.heightOffset;
                    sight.zenithSum += zenith;
                    sight.zenithLow =
                        sight.zeniths == 0 ? zenith : std::min(sight.zenithLow, zenith);
                    sight.zenithHigh =
                        sight.zeniths == 0 ? zenith : std::max(sight.zenithHigh, zenith);
                    ++sight.zeniths;
                }
                if (r.distance > 0.0) {
                    const double h = zenith > 0.0 ? r.distance * std::sin(zenith) : r.distance;
                    sight.horizontalSum += h;
                    ++sight.horizontals;
                    if (zenith > 0.0) {
                        sight.heightDifferenceSum +=
                            r.distance * std::cos(zenith) + Curvature(h) + r.heightOffset;
                        ++sight.heightDifferences;
                    }
                } else if (r.distance < 0.0) {
                    sight.horizontalSum += -r.distance;
                    ++sight.horizontals;
                }
                if ((r.setUp & kAzimuth) != 0 && !sight.hasAzimuth) {
                    const auto azimuth =
                        std::lower_bound(azimuths_.begin(), azimuths_.end(), k,
                                         [](const std::pair<std::size_t, double>& a,
                                            std::size_t b) { return a.first < b; });
                    sight.hasAzimuth = true;
                    sight.azimuthOrientation =
                        AngleToRadians(azimuth->second, choices.unit) - direction;
                }
                if (--unused[k >> kBlockShift] == 0) blocks_[k >> kBlockShift].reset();
            }
            ranges[u] = {sights.size(), combining.size()};
            for (const Combining& c : combining) {
                // The readings of one target, both faces or rounds, that spread too far.
                const double h = c.horizontals > 0 ? c.horizontalSum / c.horizontals : 0.0;
                const auto index = static_cast<std::uint32_t>(sights.size() - ranges[u].first);
                const std::uint32_t faces = c.face1 && c.face2 ? Spread::kFaces : 0u;
                if (c.directions > 1) {
                    const double spread = c.directionHigh - c.directionLow;
                    const double tolerance =
                        kPairFactor * std::sqrt(2.0) * DirectionSigmaOf(choices, h);
                    if (spread > tolerance) spreads.push_back({u, index | faces, spread});
                }
                if (c.zeniths > 1) {
                    const double spread = c.zenithHigh - c.zenithLow;
                    const double tolerance =
                        kPairFactor * std::sqrt(2.0) * ZenithSigmaOf(choices, h);
                    if (spread > tolerance)
                        spreads.push_back({u, index | faces | Spread::kZenith, spread});
                }
                if (c.hasAzimuth && !s.hasAzimuth) {
                    s.hasAzimuth = true;
                    s.azimuthOrientation = c.azimuthOrientation;
                }
                sights.emplace_back(c);
            }
        }
        std::vector<std::unique_ptr<Reading[]>>().swap(blocks_);
        std::vector<std::uint32_t>().swap(order);
        for (std::size_t u = 0; u < stations.size(); ++u)
            stations[u].sights = {sights.data() + ranges[u].first, ranges[u].second};
        std::vector<std::pair<std::size_t, std::size_t>>().swap(ranges);
    });

    CheckReport report;
    std::vector<Node> nodes(names_.size());
    std::vector<bool> observed(names_.size(), true);
    for (const Name9& name : names_)
        report.points.push_back({Trimmed(name)});

    // The known points: the first entry of a name with coordinates; and the points of the
    // field file's coordinate records even when nothing observes them.
    const auto& entries = points.Entries();
    // The first entry with coordinates of each name: open addressing over the entries,
    // slot = entry index + 1, 0 empty.
    std::size_t size = 1024;
    while (size < entries.size() * 2)
        size *= 2;
    std::vector<std::uint32_t> firstOf(size, 0);
    for (std::size_t i = 1; i < entries.size(); ++i) {
        const PointRecord& p = entries[i];
        if (!p.HasCoordinates) continue;
        std::size_t at = NameHash()(p.Name) & (size - 1);
        while (firstOf[at] != 0 && !(entries[firstOf[at] - 1].Name == p.Name))
            at = (at + 1) & (size - 1);
        if (firstOf[at] != 0) {
            const PointRecord& q = entries[firstOf[at] - 1];
            const std::size_t first = firstOf[at] - 1;
            if (i <= knownPoints && first <= knownPoints &&
                (std::abs(p.X - q.X) > 5e-4 || std::abs(p.Y - q.Y) > 5e-4 ||
                 std::abs(p.Z - q.Z) > 5e-4)) {
                const std::uint32_t node = Lookup(p.Name);
                std::vector<std::size_t> named;
                if (node < names_.size()) named.push_back(node);
                if (report.findings.size() >= CheckReport::kKept) {
                    ++report.warningsLeftOut;
                    continue;
                }
                report.findings.push_back(
                    {Severity::Warning,
                     "IDEX-bestand: punt " + Trimmed(p.Name) + " staat er meer dan eens in, met " +
                         Fixed(q.X, 3) + " " + Fixed(q.Y, 3) + " " + Fixed(q.Z, 3) + " en " +
                         Fixed(p.X, 3) + " " + Fixed(p.Y, 3) + " " + Fixed(p.Z, 3),
                     named});
            }
            continue;
        }
        firstOf[at] = static_cast<std::uint32_t>(i + 1);
        const std::uint32_t node = Lookup(p.Name);
        std::size_t n = 0;
        if (node < names_.size()) {
            n = node;
        } else if (i > knownPoints) {
            n = nodes.size();
            nodes.emplace_back();
            observed.push_back(false);
            report.points.push_back({Trimmed(p.Name)});
        } else {
            continue;
        }
        Node& k = nodes[n];
        k.known = k.placed = k.hasHeight = true;
        k.x = p.X;
        k.y = p.Y;
        k.z = p.Z;
        k.sigma = choices.sdXY;
        k.sigmaZ = choices.sdZ;
    }

    combined.get();
    Checker checker(choices, nodes, stations, spreads, report);
    checker.Place();
    checker.Compare();
    checker.Unplaced(observed);

    if (choices.face2to1 && choices.unit != AngleUnit::Gon && face2Readings_ > 0)
        report.findings.push_back(
            {Severity::Warning,
             std::string("de hoeken staan in ") +
                 (choices.unit == AngleUnit::Gon ? "gon" : "graden") +
                 ", maar de export herleidt kijkerstand 2 met 200 en 400 (gon): " +
                 std::to_string(face2Readings_) + " waarnemingen betreffen dit, de eerste " +
                 Trimmed(face2Station_) + "-" + Trimmed(face2Target_),
             {Lookup(face2Station_), Lookup(face2Target_)}});

    for (std::size_t n = 0; n < nodes.size(); ++n) {
        CheckPoint& p = report.points[n];
        const Node& node = nodes[n];
        p.state = node.known    ? PointState::Known
                  : node.placed ? PointState::Placed
                                : PointState::NotPlaced;
        p.x = node.x;
        p.y = node.y;
        p.z = node.z;
        p.hasHeight = node.hasHeight;
        p.flagged = checker.pointFlags_[n];
    }
    const std::vector<std::uint64_t>& drawn = checker.pairs_;
    const std::vector<bool> flagged = checker.FlaggedLines();
    report.lines.reserve(drawn.size());
    for (std::size_t i = 0; i < drawn.size(); ++i)
        report.lines.push_back({static_cast<std::size_t>(drawn[i] >> 32),
                                static_cast<std::size_t>(drawn[i] & 0xFFFFFFFFu), flagged[i]});
    return report;
}

}  // namespace talvik
