#include "check/NetworkCheck.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <future>
#include <new>
#include <set>
#include <span>
#include <type_traits>
#include <unordered_map>
#include <utility>

#include "check/StepAngles.h"
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

// The length of (a, b). Coordinates and standard deviations are far from overflowing a square,
// and std::hypot, careful about that, is several times slower.
double Length(double a, double b) {
    return std::sqrt(a * a + b * b);
}

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

// Height difference from station (instrument) to target (target point).
double Curvature(double horizontal) {
    return horizontal * horizontal * ((1.0 - kRefraction) / (2.0 * kEarthRadius));
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

// One unbroken run of a set-up's readings of one target, combined, as it is kept until the
// check runs: the means, how many readings made them and how far the readings spread around
// them. A set-up whose readings come in more than one run (a station set up again without a
// station record joins its earlier set-up) has its runs merged from these.
struct Partial {
    static constexpr std::uint8_t kCount = 63;  // counts stop here; enough to weigh means
    static constexpr std::uint8_t kFace1 = 0x40;
    static constexpr std::uint8_t kFace2 = 0x80;
    std::uint32_t target = 0;
    std::uint8_t directions = 0;  // with the faces in the two high bits
    std::uint8_t zeniths = 0;
    std::uint8_t horizontals = 0;
    std::uint8_t heightDifferences = 0;
    float directionLow = 0.0f;  // the lowest and highest reading less the mean
    float directionHigh = 0.0f;
    float zenithLow = 0.0f;
    float zenithHigh = 0.0f;
    double direction = 0.0;
    double zenith = 0.0;
    double horizontal = 0.0;
    double height = 0.0;  // the mean height difference; without one, the height offset

    static std::uint8_t Capped(int count) {
        return static_cast<std::uint8_t>(std::min(count, int{kCount}));
    }
    int Directions() const { return directions & kCount; }

    Partial() = default;
    Partial(const struct Sight& sight, const struct Extent& extent);
    explicit Partial(const Combining& c)
        : target(c.target),
          directions(static_cast<std::uint8_t>(Capped(c.directions) | (c.face1 ? kFace1 : 0) |
                                               (c.face2 ? kFace2 : 0))),
          zeniths(Capped(c.zeniths)),
          horizontals(Capped(c.horizontals)),
          heightDifferences(Capped(c.heightDifferences)),
          direction(c.directions > 0 ? c.firstDirection + c.directionSum / c.directions : 0.0),
          zenith(c.zeniths > 0 ? c.zenithSum / c.zeniths : 0.0),
          horizontal(c.horizontals > 0 ? c.horizontalSum / c.horizontals : 0.0),
          height(c.heightDifferences > 0 ? c.heightDifferenceSum / c.heightDifferences
                                         : c.heightOffset) {
        if (c.directions > 0) {
            const double mean = c.directionSum / c.directions;
            directionLow = static_cast<float>(c.directionLow - mean);
            directionHigh = static_cast<float>(c.directionHigh - mean);
        }
        if (c.zeniths > 0) {
            zenithLow = static_cast<float>(c.zenithLow - zenith);
            zenithHigh = static_cast<float>(c.zenithHigh - zenith);
        }
    }

    // Takes in a later run of the same target: weighted means, the spreads around the new mean.
    void Merge(const Partial& b) {
        const auto blend = [](double a, int na, double b, int nb) {
            return a + (b - a) * nb / (na + nb);
        };
        const int na = Directions();
        const int nb = b.Directions();
        if (nb > 0 && na == 0) {
            direction = b.direction;
            directionLow = b.directionLow;
            directionHigh = b.directionHigh;
        } else if (nb > 0) {
            const double there = direction + Wrap(b.direction - direction);
            const double mean = blend(direction, na, there, nb);
            directionLow = static_cast<float>(
                std::min(directionLow + (direction - mean), b.directionLow + (there - mean)));
            directionHigh = static_cast<float>(
                std::max(directionHigh + (direction - mean), b.directionHigh + (there - mean)));
            direction = mean;
        }
        if (b.zeniths > 0 && zeniths == 0) {
            zenith = b.zenith;
            zenithLow = b.zenithLow;
            zenithHigh = b.zenithHigh;
        } else if (b.zeniths > 0) {
            const double mean = blend(zenith, zeniths, b.zenith, b.zeniths);
            zenithLow = static_cast<float>(
                std::min(zenithLow + (zenith - mean), b.zenithLow + (b.zenith - mean)));
            zenithHigh = static_cast<float>(
                std::max(zenithHigh + (zenith - mean), b.zenithHigh + (b.zenith - mean)));
            zenith = mean;
        }
        if (b.horizontals > 0)
            horizontal = horizontals > 0
                             ? blend(horizontal, horizontals, b.horizontal, b.horizontals)
                             : b.horizontal;
        if (b.heightDifferences > 0)
            height = heightDifferences > 0
                         ? blend(height, heightDifferences, b.height, b.heightDifferences)
                         : b.height;
        else if (heightDifferences == 0 && b.zeniths > 0)
            height = b.height;  // the later height offset
        directions =
            static_cast<std::uint8_t>(Capped(na + nb) | ((directions | b.directions) & ~kCount));
        zeniths = Capped(zeniths + b.zeniths);
        horizontals = Capped(horizontals + b.horizontals);
        heightDifferences = Capped(heightDifferences + b.heightDifferences);
    }
};

// What one set-up says about one target, its readings combined: 24 bytes, for a large network
// has a great many. The counts are a partial's (the faces in the high bits of `directions`,
// which a reading always sets with its count); the check asks only for none or some. Lengths
// are kept to seven digits: a hundredth of a millimetre in a kilometre, far below what the
// distances are measured to.
struct Sight {
    std::uint32_t target = 0;
    std::uint8_t directions = 0;
    std::uint8_t zeniths = 0;
    std::uint8_t horizontals = 0;
    std::uint8_t heightDifferences = 0;
    std::uint32_t direction = 0;  // in steps of the circle
    std::uint32_t zenith = 0;
    float horizontal = 0.0f;
    float height = 0.0f;  // the height difference; without one, the height offset

    Sight() = default;
    explicit Sight(const Partial& p)
        : target(p.target),
          directions(p.directions),
          zeniths(p.zeniths),
          horizontals(p.horizontals),
          heightDifferences(p.heightDifferences),
          direction(ToSteps(p.direction)),
          zenith(ToSteps(p.zenith)),
          horizontal(static_cast<float>(p.horizontal)),
          height(static_cast<float>(p.height)) {}
    double Direction() const { return FromSteps(direction); }
    double Horizontal() const { return horizontal; }
    double HeightDifference() const { return height; }
    double HeightOffset() const { return height; }
    double Zenith() const { return FromSteps(zenith); }
    bool HasExtent() const { return (directions & Partial::kCount) >= 2 || zeniths >= 2; }
};
static_assert(sizeof(Sight) == 24);

// What a run keeps of a partial beside its sight: the spreads, for merging runs and for the
// spreads' findings; let go once those are made. Only a sight of more than one reading has
// them (one reading spreads nowhere): a set-up's extents follow each other in the order of
// its sights that have them.
struct Extent {
    float directionLow;
    float directionHigh;
    float zenithLow;
    float zenithHigh;

    Extent() = default;
    explicit Extent(const Partial& p)
        : directionLow(p.directionLow),
          directionHigh(p.directionHigh),
          zenithLow(p.zenithLow),
          zenithHigh(p.zenithHigh) {}
};

Partial::Partial(const Sight& sight, const Extent& extent)
    : target(sight.target),
      directions(sight.directions),
      zeniths(sight.zeniths),
      horizontals(sight.horizontals),
      heightDifferences(sight.heightDifferences),
      directionLow(extent.directionLow),
      directionHigh(extent.directionHigh),
      zenithLow(extent.zenithLow),
      zenithHigh(extent.zenithHigh),
      direction(sight.Direction()),
      zenith(sight.Zenith()),
      horizontal(sight.horizontal),
      height(sight.height) {}

struct Station {
    std::uint32_t station = 0;
    std::uint32_t firstSight = 0;  // the number of its first sight in the store
    std::span<const Sight> sights;
    const Extent* extents = nullptr;  // the spreads of its sights that have them, in order
    double orientation = 0.0;
    double azimuthOrientation = 0.0;  // the orientation of the set-up's first azimuth record
    float orientationSigma = 0.0f;
    bool oriented = false;
    bool hasAzimuth = false;
};

// A point as the check computes it: 48 bytes, what the placement reads first. A new one is all
// zero bytes, so that a large array of them can be had from the system without writing it.
struct Node {
    double x = 0.0;
    double y = 0.0;
    float sigma = 0.0f;  // of the position, m
    bool known = false;
    bool placed = false;
    bool hasHeight = false;
    double z = 0.0;
    float sigmaZ = 0.0f;
    std::uint32_t from = 0;        // the set-up that placed it + 1; 0 for a crossing
    std::uint32_t heightFrom = 0;  // the set-up whose sight gave the height + 1; 0 none
    std::uint32_t heightVia = 0;   // and the point at the sight's other end
};
static_assert(sizeof(Node) == 48 && std::is_trivially_copyable_v<Node>);

// Memory for the points that comes zeroed from the system and is not written again: a new
// point is all zero bytes. So the points grow once, from none (grown again after shrinking, the
// places between would keep what they held).
template <typename T>
struct Zeroed {
    using value_type = T;
    Zeroed() = default;
    template <typename U>
    explicit Zeroed(const Zeroed<U>&) {}
    T* allocate(std::size_t n) {
        if (void* p = std::calloc(n, sizeof(T))) return static_cast<T*>(p);
        throw std::bad_alloc();
    }
    void deallocate(T* p, std::size_t) { std::free(p); }
    template <typename U>
    void construct(U*) {}
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
    friend bool operator==(const Zeroed&, const Zeroed&) { return true; }
};
using Nodes = std::vector<Node, Zeroed<Node>>;

// Where a point is seen: set-up and sight.
struct Seen {
    std::uint32_t setUp = 0;
    std::uint32_t sight = 0;
};

// Where the sights are kept: slices of kSlice places, a sight known by the number of its place
// (a set-up's sights have numbers that follow each other).
struct SightStore {
    static constexpr std::uint32_t kSlice = 8192;
    std::vector<const Sight*> slices;
    const Sight& operator[](std::uint32_t n) const { return slices[n / kSlice][n % kSlice]; }
    std::size_t Places() const { return slices.size() * std::size_t{kSlice}; }
};

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

class Checker {
  public:
    Checker(const CheckChoices& choices, const StepTrigonometry& trigonometry, Nodes& nodes,
            std::vector<Station>& stations, const SightStore& store,
            const std::vector<Name9>& names, CheckReport& report)
        : c_(choices),
          trigonometry_(trigonometry),
          nodes_(nodes),
          stations_(stations),
          store_(store),
          names_(names),
          report_(report),
          setUpsAt_(nodes.size() + 1) {
        for (const Station& s : stations)
            sights_ += s.sights.size();
        sightFlags_.resize(store.Places());
        pointFlags_.resize(nodes.size());
        // The set-ups on each point in one array, a point's from At[n] to At[n + 1].
        for (const Station& s : stations)
            ++setUpsAt_[s.station + 1];
        for (std::size_t n = 1; n < setUpsAt_.size(); ++n)
            setUpsAt_[n] += setUpsAt_[n - 1];
        setUps_.resize(setUpsAt_.back());
        std::vector<std::uint32_t> setUpNext(setUpsAt_.begin(), setUpsAt_.end() - 1);
        for (std::uint32_t i = 0; i < stations.size(); ++i)
            setUps_[setUpNext[stations[i].station]++] = i;
    }

    // Where a part of the comparisons made on a thread of its own puts its findings and marks
    // until they are delivered to the report, after those of the part before it.
    struct Outbox {
        std::vector<Finding> findings;
        std::size_t errorsLeftOut = 0;
        std::size_t warningsLeftOut = 0;
        std::vector<bool> pointFlags;
        std::vector<bool> sightFlags;
    };
    void ComparePositions(std::size_t from, std::size_t to, Outbox* out);
    void Deliver(Outbox& out);
    // Pairs the sights both ways beside what follows; Compare waits for it.
    void StartPairing();
    std::function<void()> roomy_;  // returns once the pairs may take their memory
    void Place();
    void Compare();
    void Unplaced(std::size_t observed);
    // The lines of the sketch, one per pair of points a sight joins, in the order of the pairs,
    // red where an error names them.
    std::vector<CheckLine> Lines() const;

    std::vector<bool> pointFlags_;  // the points an error names, one bit each

  private:
  private:
    double DirectionSigma(double distance) const { return DirectionSigmaOf(c_, distance); }
    double ZenithSigma(double distance) const { return ZenithSigmaOf(c_, distance); }
    double DistanceSigma(double distance) const { return c_.absDis + c_.relDis * 1e-6 * distance; }
    double Bearing(const Node& a, const Node& b) const { return std::atan2(b.x - a.x, b.y - a.y); }
    double Span(const Node& a, const Node& b) const { return Length(b.x - a.x, b.y - a.y); }
    // The variance a polar sight of this length adds to a position.
    double PolarVariance(const Station& s, double distance) const {
        const double d = DistanceSigma(distance);
        const double a = DirectionSigma(distance);
        const double o = s.orientationSigma;
        return d * d + (a * a + o * o) * distance * distance + 2.0 * c_.sigmaCent * c_.sigmaCent;
    }
    double HeightVariance(double h, double zenith) const {
        return HeightVarianceCos(h, std::cos(zenith));
    }
    double HeightVarianceCos(double h, double cosZenith) const {
        const double z = ZenithSigma(h) * h;
        const double d = DistanceSigma(h) * cosZenith;
        return z * z + d * d + 2.0 * c_.sigmaInst * c_.sigmaInst;
    }
    // The height difference a sight gives from station to target, and its variance: from the
    // slope distance, or from the zenith angle and the distance of the placed points.
    bool HeightDifference(const Station& s, const Sight& sight, double& dh,
                          double& variance) const {
        const SineCosine zenith = trigonometry_(sight.zenith);
        if (sight.heightDifferences > 0) {
            dh = sight.HeightDifference();
            variance = HeightVarianceCos(sight.Horizontal(), zenith.cos);
            return true;
        }
        const Node& at = nodes_[s.station];
        const Node& target = nodes_[sight.target];
        if (sight.zeniths == 0 || !at.placed || !target.placed) return false;
        const double h = Span(at, target);
        const double cotangent = zenith.cos / zenith.sin;
        dh = h * cotangent + Curvature(h) + sight.HeightOffset();
        const double z = ZenithSigma(h) * h / (zenith.sin * zenith.sin);
        const double d = Length(at.sigma, target.sigma) * cotangent;
        variance = z * z + d * d + 2.0 * c_.sigmaInst * c_.sigmaInst;
        return true;
    }
    bool Orient(std::size_t index);
    void PlacePolar(std::size_t index);
    bool PlaceFree(std::size_t index);
    bool Intersect(std::uint32_t target);
    void Heights();
    template <typename Visit>
    void SweepWhereHeightsCame(const std::vector<bool>& settled, std::vector<std::uint32_t>& given,
                               Visit& visit);
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
    void FetchSights(const Station& s) const {
#if defined(__GNUC__)
        for (std::size_t i = 0; i < s.sights.size(); i += 64 / sizeof(Sight))
            __builtin_prefetch(&s.sights[i]);
#else
        (void)s;
#endif
    }
    // A point has just been placed: its set-ups can be oriented.
    void Placed(std::uint32_t node) {
        for (const std::uint32_t i : SetUpsOf(node))
            queue_.push_back(i);
        if (sweep_ == nullptr) return;
        for (const Seen& seen : SeenBy(node)) {
            const std::uint32_t u = seen.setUp;
            if (nodes_[stations_[u].station].placed) continue;
            (!sweep_->crossing && u > sweep_->at ? sweep_->freeNow : sweep_->freeLater).Set(u);
        }
    }
    // A set-up has been oriented (and has placed what it could): the points it sees without a
    // place may now be crossed.
    void Oriented(std::size_t index) {
        if (sweep_ == nullptr) return;
        for (const Sight& sight : stations_[index].sights) {
            const std::uint32_t n = sight.target;
            if (nodes_[n].placed) continue;
            (sweep_->crossing && n <= sweep_->at ? sweep_->crossLater : sweep_->crossNow).Set(n);
        }
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
    // The sight line an error names is drawn red: marked at one of its sights, or as a pair.
    void Flag(const Station& s, const Sight& sight) {
        sightFlags_[s.firstSight + static_cast<std::size_t>(&sight - s.sights.data())] = true;
    }
    void FlagIn(Outbox* out, const Station& s, const Sight& sight) {
        if (out == nullptr) return Flag(s, sight);
        out->sightFlags[s.firstSight + static_cast<std::size_t>(&sight - s.sights.data())] = true;
    }
    template <typename Text>
    void AddIn(Outbox* out, Severity severity, std::initializer_list<std::size_t> points,
               Text&& text) {
        if (out == nullptr) return Add(severity, points, std::forward<Text>(text));
        if (severity == Severity::Error) {
            for (const std::size_t n : points)
                out->pointFlags[n] = true;
        }
        if (out->findings.size() < CheckReport::kKept)
            out->findings.push_back({severity, std::string(text()), points});
        else
            ++(severity == Severity::Error ? out->errorsLeftOut : out->warningsLeftOut);
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
    std::string Name(std::size_t node) const {
        return Trimmed(names_[node]);
    }
    // How a placed point was placed, for the texts.
    std::string Origin(std::uint32_t node) const {
        const std::uint32_t from = nodes_[node].from;
        if (from == 0) return "de insnijding";
        const std::uint32_t station = stations_[from - 1].station;
        return station == node ? "de vrije standplaats" : "die vanuit " + Name(station);
    }

    const CheckChoices& c_;
    const StepTrigonometry& trigonometry_;
    Nodes& nodes_;
    std::vector<Station>& stations_;
    const SightStore& store_;
    std::size_t sights_ = 0;  // in all
    const std::vector<Name9>& names_;
    CheckReport& report_;

    // The sights that see a point not placed by polar sights, from seenAt_[n] to seenAt_[n + 1]:
    // only those points are looked up by where they are seen.
    void SeeUnplaced();
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

    std::vector<bool> sightFlags_;
    // Every sight under the lower of its two points, from pairAt_[n] to pairAt_[n + 1], ordered
    // by the other point: the two ways of a pair side by side.
    struct Partner {
        std::uint32_t other;
        std::uint32_t sight;  // its number in the store; kBack: from the higher point
    };
    const Sight& SightOf(const Partner& p) const {
        return store_[p.sight & ~kBack];
    }
    static constexpr std::uint32_t kBack = 0x80000000u;
    void Pair();
    std::vector<std::uint32_t> pairAt_;
    std::vector<Partner> partners_;
    std::vector<bool> pairFlags_;  // per line, in the order of the pairs
    std::uint32_t lines_ = 0;
    struct Way {
        double horizontal = 0.0;
        int horizontals = 0;
        double height = 0.0;
        int heights = 0;
        double zenith = 0.0;
    };
    struct Disagreement {
        std::uint32_t line = 0;
        std::uint32_t from = 0;
        std::uint32_t to = 0;
        bool height = false;  // else the distance
        double there = 0.0;
        double home = 0.0;
        double tolerance = 0.0;
    };
    std::vector<Disagreement> disagreements_;
    std::future<void> paired_;
};

// Every sight but a station's sight of itself, under the lower of its two points; a point's
// partners ordered by the other point, and by sight where that is the same.
void Checker::Pair() {
    pairAt_.assign(nodes_.size() + 1, 0);
    for (const Station& s : stations_) {
        for (const Sight& sight : s.sights) {
            if (sight.target != s.station) ++pairAt_[std::min(s.station, sight.target) + 1];
        }
    }
    for (std::size_t n = 1; n < pairAt_.size(); ++n)
        pairAt_[n] += pairAt_[n - 1];
    partners_.resize(pairAt_.back());
    std::vector<std::uint32_t> next(pairAt_.begin(), pairAt_.end() - 1);
    for (std::uint32_t u = 0; u < stations_.size(); ++u) {
        const Station& s = stations_[u];
        for (const Sight& sight : s.sights) {
            if (sight.target == s.station) continue;
            const bool back = s.station > sight.target;
            const auto index = s.firstSight + static_cast<std::uint32_t>(&sight - s.sights.data());
            partners_[next[back ? sight.target : s.station]++] = {back ? s.station : sight.target,
                                                                  index | (back ? kBack : 0u)};
        }
    }
    std::vector<std::uint32_t>().swap(next);
    const auto byOther = [](const Partner& a, const Partner& b) { return a.other < b.other; };
    for (std::size_t n = 0; n + 1 < pairAt_.size(); ++n) {
        Partner* first = partners_.data() + pairAt_[n];
        Partner* last = partners_.data() + pairAt_[n + 1];
        if (last - first > 16) {
            std::stable_sort(first, last, byOther);
            continue;
        }
        // A point has a few partners: put in order in place.
        for (Partner* p = first + 1; p < last; ++p) {
            const Partner moving = *p;
            Partner* q = p;
            for (; q > first && byOther(moving, q[-1]); --q)
                *q = q[-1];
            *q = moving;
        }
    }
}

std::vector<CheckLine> Checker::Lines() const {
    std::vector<CheckLine> lines;
    lines.reserve(lines_);
    std::uint32_t line = 0;
    for (std::uint32_t low = 0; low + 1 < pairAt_.size(); ++low) {
        const std::uint32_t end = pairAt_[low + 1];
        for (std::uint32_t run = pairAt_[low]; run < end; ++line) {
            const std::uint32_t high = partners_[run].other;
            bool red = pairFlags_[line];
            for (; run < end && partners_[run].other == high; ++run)
                red = red || sightFlags_[partners_[run].sight & ~kBack];
            lines.push_back({low, high, red});
        }
    }
    return lines;
}
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
        s.orientationSigma = static_cast<float>(std::sqrt(variance) / count);
    } else {
        // Only an azimuth record, when that is all there is.
        if (!s.hasAzimuth) return false;
        s.orientation = s.azimuthOrientation;
        s.orientationSigma = static_cast<float>(std::sqrt(2.0) * DirectionSigma(0.0));
    }
    s.oriented = true;
    PlacePolar(index);
    Oriented(index);
    return true;
}

// The targets an oriented set-up on a placed station sees with a distance, not placed before.
void Checker::PlacePolar(std::size_t index) {
    const Station& s = stations_[index];
    const Node& at = nodes_[s.station];
    const SineCosine orientation{std::sin(s.orientation), std::cos(s.orientation)};
    for (const Sight& sight : s.sights) {
        Node& target = nodes_[sight.target];
        if (sight.target == s.station || sight.directions == 0) continue;
        if (!target.placed && sight.horizontals > 0) {
            const double h = sight.Horizontal();
            const SineCosine bearing = trigonometry_(sight.direction).Turned(orientation);
            target.x = at.x + h * bearing.sin;
            target.y = at.y + h * bearing.cos;
            target.sigma = static_cast<float>(std::sqrt(at.sigma * at.sigma + PolarVariance(s, h)));
            target.placed = true;
            target.from = static_cast<std::uint32_t>(index + 1);
            Placed(sight.target);
        }
    }
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
    at.from = static_cast<std::uint32_t>(index + 1);
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
    s.orientationSigma = static_cast<float>(std::sqrt(variance) / n);
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
                Flag(s, *used[i]);
                Add(Severity::Error, {s.station, used[i]->target}, [&] {
                    return "vrije standplaats " + Name(s.station) + ": punt " +
                           Name(used[i]->target) + " past " + Metres(off) +
                           " naast de aansluiting (toegestaan " + Metres(tolerance) + ")";
                });
            }
        }
    }
    // The station placed and oriented, its other targets are placed along its sights.
    PlacePolar(index);
    Oriented(index);
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

void Checker::SeeUnplaced() {
    // The sights are walked in order; whether their targets are placed is looked up in one bit
    // each, which stays in the cache where the points would not.
    std::vector<bool> unplaced(nodes_.size());
    for (std::size_t n = 0; n < nodes_.size(); ++n)
        unplaced[n] = !nodes_[n].placed;
    seenAt_.assign(nodes_.size() + 1, 0);
    for (const Station& s : stations_) {
        for (const Sight& sight : s.sights) {
            if (unplaced[sight.target]) ++seenAt_[sight.target + 1];
        }
    }
    for (std::size_t n = 1; n < seenAt_.size(); ++n)
        seenAt_[n] += seenAt_[n - 1];
    seen_.resize(seenAt_.back());
    std::vector<std::uint32_t> next(seenAt_.begin(), seenAt_.end() - 1);
    for (std::uint32_t i = 0; i < stations_.size(); ++i) {
        const std::span<const Sight> sights = stations_[i].sights;
        for (std::uint32_t j = 0; j < sights.size(); ++j) {
            if (unplaced[sights[j].target]) seen_[next[sights[j].target]++] = {i, j};
        }
    }
}

void Checker::Place() {
    // The pairs are made beside the placement (they read only the sights), once an export
    // beside has let go of its tables.
    StartPairing();
    // The set-ups on known points first, in the order of the file (taken from the back).
    for (std::size_t i = stations_.size(); i-- > 0;) {
        if (nodes_[stations_[i].station].placed) queue_.push_back(static_cast<std::uint32_t>(i));
    }
    const auto drain = [this] {
        while (!queue_.empty()) {
            const std::uint32_t i = queue_.back();
            queue_.pop_back();
            // The next set-up's points are fetched while this one is oriented, and the sights
            // of the one after that.
            if (!queue_.empty()) Fetch(stations_[queue_.back()]);
            if (queue_.size() > 1) FetchSights(stations_[queue_[queue_.size() - 2]]);
            if (!stations_[i].oriented) Orient(i);
        }
    };
    // Polar sights first; then free set-ups and crossings in sweeps, each followed by the polar
    // sights it opens the way for, until a sweep places nothing. A sweep visits only what was
    // not placed before it, in order.
    drain();
    SeeUnplaced();
    // A sweep tries every free set-up, then every point not placed, in order. After the first,
    // it tries only the free set-ups one of whose targets has been placed since their last
    // try, and the points that a set-up oriented since sees: the others would fail as before,
    // and a chain that is placed against the order of the file costs no sweep over everything
    // per link.
    Sweep sweep(stations_.size(), nodes_.size());
    for (std::uint32_t i = 0; i < stations_.size(); ++i) {
        if (!nodes_[stations_[i].station].placed) sweep.freeNow.Set(i);
    }
    for (std::uint32_t n = 0; n < nodes_.size(); ++n) {
        if (!nodes_[n].placed) sweep.crossNow.Set(n);
    }
    sweep_ = &sweep;
    while (sweep.freeNow.Any() || sweep.crossNow.Any()) {
        sweep.crossing = false;
        sweep.freeNow.Visit([&](std::size_t i) {
            sweep.at = i;
            if (!nodes_[stations_[i].station].placed && PlaceFree(i)) drain();
        });
        sweep.crossing = true;
        sweep.crossNow.Visit([&](std::size_t n) {
            sweep.at = n;
            if (!nodes_[n].placed && Intersect(static_cast<std::uint32_t>(n))) drain();
        });
        std::swap(sweep.freeNow, sweep.freeLater);
        std::swap(sweep.crossNow, sweep.crossLater);
    }
    sweep_ = nullptr;
    Heights();
}

// Trigonometric heighting along the sights with zenith angle and distance, from the points
// with heights outwards (a station takes its height from a target as well).
void Checker::Heights() {
    // A set-up whose points all have heights changes nothing more: later sweeps pass it by.
    std::vector<bool> settled(stations_.size());
    std::vector<std::uint32_t> given;  // the points the last visit gave a height
    const auto visit = [&](std::size_t i) {
        const Station& s = stations_[i];
        Node& at = nodes_[s.station];
        bool all = at.hasHeight;
        for (const Sight& sight : s.sights) {
            Node& target = nodes_[sight.target];
            double dh = 0.0;
            double variance = 0.0;
            if (sight.target == s.station || at.hasHeight == target.hasHeight ||
                !HeightDifference(s, sight, dh, variance)) {
                all = all && target.hasHeight;
                continue;
            }
            Node& to = at.hasHeight ? target : at;
            const Node& from = at.hasHeight ? at : target;
            to.z = at.hasHeight ? at.z + dh : target.z - dh;
            to.sigmaZ = static_cast<float>(std::sqrt(from.sigmaZ * from.sigmaZ + variance));
            to.hasHeight = true;
            to.heightFrom = static_cast<std::uint32_t>(i + 1);
            to.heightVia = &to == &at ? sight.target : s.station;
            given.push_back(&to == &at ? s.station : sight.target);
            all = false;  // the station may just have had its height: look again
        }
        settled[i] = all;
    };
    // Sweeps over the set-ups in the order of the file, while there are few (in most networks
    // two: heights spread along the file).
    bool changed = true;
    for (int sweep = 0; changed && sweep < 4; ++sweep) {
        changed = false;
        for (std::size_t i = 0; i < stations_.size(); ++i) {
            if (settled[i]) continue;
            if (i + 1 < stations_.size()) Fetch(stations_[i + 1]);
            visit(i);
            changed = changed || !given.empty();
            given.clear();
        }
    }
    if (changed) SweepWhereHeightsCame(settled, given, visit);
}

// Further sweeps as the ones before would make them, but visiting only the set-ups one of whose
// points has had its height since their last visit (the others would find nothing new): heights
// that spread against the order of the file, one set-up a sweep, cost no more than the sights.
template <typename Visit>
void Checker::SweepWhereHeightsCame(const std::vector<bool>& settled,
                                    std::vector<std::uint32_t>& given, Visit& visit) {
    // The set-ups that see each point, from seeingAt[n] to seeingAt[n + 1].
    std::vector<std::uint32_t> seeingAt(nodes_.size() + 1, 0);
    for (const Station& s : stations_) {
        for (const Sight& sight : s.sights) {
            if (sight.target != s.station) ++seeingAt[sight.target + 1];
        }
    }
    for (std::size_t n = 1; n < seeingAt.size(); ++n)
        seeingAt[n] += seeingAt[n - 1];
    std::vector<std::uint32_t> seeing(seeingAt.back());
    {
        std::vector<std::uint32_t> next(seeingAt.begin(), seeingAt.end() - 1);
        for (std::uint32_t i = 0; i < stations_.size(); ++i) {
            for (const Sight& sight : stations_[i].sights) {
                if (sight.target != stations_[i].station) seeing[next[sight.target]++] = i;
            }
        }
    }
    // This sweep's set-ups still to visit and the next sweep's.
    Marks now(stations_.size());
    Marks later(stations_.size());
    for (std::size_t i = 0; i < stations_.size(); ++i) {
        if (!settled[i]) now.Set(i);
    }
    const auto mark = [&](std::uint32_t u, std::size_t visited) {
        if (!settled[u]) (u > visited ? now : later).Set(u);
    };
    while (now.Any()) {
        now.Visit([&](std::size_t i) {
            if (settled[i]) return;
            visit(i);
            for (const std::uint32_t n : given) {
                for (const std::uint32_t u : SetUpsOf(n))
                    mark(u, i);
                for (std::uint32_t k = seeingAt[n]; k < seeingAt[n + 1]; ++k)
                    mark(seeing[k], i);
            }
            given.clear();
        });
        std::swap(now, later);
    }
}

// Distances and height differences measured both ways. The sights are paired beside the
// placement and the comparisons (they read only the sights); the pairs that disagree are
// reported after the comparisons, in the order of the pairs.
void Checker::StartPairing() {
    paired_ = RunBeside([this] {
        if (roomy_) roomy_();
        Pair();
        std::uint32_t line = 0;
        for (std::uint32_t low = 0; low + 1 < pairAt_.size(); ++low) {
            const std::uint32_t end = pairAt_[low + 1];
            for (std::uint32_t run = pairAt_[low]; run < end; ++line) {
                const std::uint32_t high = partners_[run].other;
                // Only a pair seen both ways has its sights read: they lie in the order of their
                // set-ups, far apart.
                const std::uint32_t first = run;
                std::uint32_t ways = 0;
                for (; run < end && partners_[run].other == high; ++run)
                    ways |= (partners_[run].sight & kBack) != 0 ? 2u : 1u;
                if (ways != 3) continue;
                Way there;
                Way home;
                for (std::uint32_t p = first; p < run; ++p) {
                    Way& way = (partners_[p].sight & kBack) != 0 ? home : there;
                    const Sight& sight = SightOf(partners_[p]);
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
                    const double sigma = Length(DistanceSigma(a), std::sqrt(2.0) * c_.sigmaCent);
                    const double tolerance = kPairFactor * std::sqrt(2.0) * sigma;
                    if (std::abs(a - b) > tolerance)
                        disagreements_.push_back({line, low, high, false, a, b, tolerance});
                }
                if (there.heights > 0 && home.heights > 0) {
                    const double a = there.height / there.heights;
                    const double b = -home.height / home.heights;
                    const double h =
                        there.horizontals > 0 ? there.horizontal / there.horizontals : 0.0;
                    const double tolerance =
                        kPairFactor * std::sqrt(2.0 * HeightVariance(h, there.zenith));
                    if (std::abs(a - b) > tolerance)
                        disagreements_.push_back({line, low, high, true, a, b, tolerance});
                }
            }
        }
        lines_ = line;
    });
}

// Positions and heights that the sights of set-ups from .. to - 1 give for points placed
// otherwise; findings and marks go to `out`, or to the report when it is null.
void Checker::ComparePositions(std::size_t from, std::size_t to, Outbox* out) {
    // Squares are compared: the roots are taken only for the texts.
    constexpr double kFloor2 = kPositionFloor * kPositionFloor;
    constexpr double kFactor2 = kPositionFactor * kPositionFactor;
    if (from < to) Fetch(stations_[from]);
    for (std::size_t i = from; i < to; ++i) {
        const Station& s = stations_[i];
        // The next set-up's points are fetched while this one is compared, and the sights of
        // the one after that.
        if (i + 1 < to) Fetch(stations_[i + 1]);
        if (i + 2 < to) FetchSights(stations_[i + 2]);
        const Node& at = nodes_[s.station];
        if (!s.oriented) continue;
        const auto self = static_cast<std::uint32_t>(i + 1);  // as a point keeps it
        const SineCosine orientation{std::sin(s.orientation), std::cos(s.orientation)};
        for (const Sight& sight : s.sights) {
            const Node& target = nodes_[sight.target];
            if (sight.target == s.station || !target.placed) continue;
            // The names, for the texts only.
            const auto who = [&] { return Name(sight.target); };
            const auto where = [&] { return Name(s.station); };
            // Skipped where the sight itself placed the target, or the fit of a free set-up
            // placed the station (its targets' misfits are reported there).
            if (sight.directions > 0 && sight.horizontals > 0 && target.from != self &&
                at.from != self) {
                const double h = sight.Horizontal();
                const SineCosine b = trigonometry_(sight.direction).Turned(orientation);
                const double dx = at.x + h * b.sin - target.x;
                const double dy = at.y + h * b.cos - target.y;
                const double off2 = dx * dx + dy * dy;
                const double tolerance2 =
                    std::max(kFloor2, kFactor2 * (at.sigma * at.sigma + PolarVariance(s, h) +
                                                  target.sigma * target.sigma));
                if (off2 > tolerance2) {
                    const auto off = [off2] { return Metres(std::sqrt(off2)); };
                    const auto tolerance = [tolerance2] { return Metres(std::sqrt(tolerance2)); };
                    FlagIn(out, s, sight);
                    if (target.known)
                        AddIn(out, Severity::Error, {sight.target, s.station}, [&] {
                            return "bekend punt " + who() + ": vanuit " + where() +
                                   " berekend op " + off() +
                                   " van de bekende co\xF6rdinaten (toegestaan " + tolerance() +
                                   ")";
                        });
                    else
                        AddIn(out, Severity::Error, {sight.target, s.station}, [&] {
                            return "punt " + who() + ": plaatsing vanuit " + where() + " wijkt " +
                                   off() + " af van " + Origin(sight.target) + " (toegestaan " +
                                   tolerance() + ")";
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
                const double offset = std::abs(at.z + dh - target.z);
                const double tolerance2 = std::max(
                    kFloor2,
                    kFactor2 * (at.sigmaZ * at.sigmaZ + variance + target.sigmaZ * target.sigmaZ));
                if (offset * offset > tolerance2) {
                    const auto off = [offset] { return Metres(offset); };
                    const auto tolerance = [tolerance2] { return Metres(std::sqrt(tolerance2)); };
                    FlagIn(out, s, sight);
                    if (target.known)
                        AddIn(out, Severity::Error, {sight.target, s.station}, [&] {
                            return "bekend punt " + who() + ": hoogte vanuit " + where() +
                                   " wijkt " + off() + " af van de bekende hoogte (toegestaan " +
                                   tolerance() + ")";
                        });
                    else
                        AddIn(out, Severity::Error, {sight.target, s.station}, [&] {
                            return "punt " + who() + ": hoogte vanuit " + where() + " wijkt " +
                                   off() + " af van die vanuit " + Name(target.heightVia) +
                                   " (toegestaan " + tolerance() + ")";
                        });
                }
            }
        }
    }
}

void Checker::Deliver(Outbox& out) {
    for (Finding& finding : out.findings) {
        if (report_.findings.size() < CheckReport::kKept)
            report_.findings.push_back(std::move(finding));
        else
            ++(finding.severity == Severity::Error ? report_.errorsLeftOut
                                                   : report_.warningsLeftOut);
    }
    report_.errorsLeftOut += out.errorsLeftOut;
    report_.warningsLeftOut += out.warningsLeftOut;
    for (std::size_t n = 0; n < out.pointFlags.size(); ++n) {
        if (out.pointFlags[n]) pointFlags_[n] = true;
    }
    for (std::size_t n = 0; n < out.sightFlags.size(); ++n) {
        if (out.sightFlags[n]) sightFlags_[n] = true;
    }
}

void Checker::Compare() {
    // Positions and heights that a sight gives for a point placed otherwise: the set-ups in two
    // halves of about as many sights, the second on a thread of its own and reported after the
    // first.
    std::size_t half = 0;
    for (std::size_t seen = 0; half < stations_.size() && seen * 2 < sights_; ++half)
        seen += stations_[half].sights.size();
    Outbox second;
    second.pointFlags.resize(pointFlags_.size());
    second.sightFlags.resize(sightFlags_.size());
    std::future<void> later =
        RunBeside([this, half, &second] { ComparePositions(half, stations_.size(), &second); });
    ComparePositions(0, half, nullptr);
    later.get();
    Deliver(second);

    paired_.get();
    pairFlags_.resize(lines_);
    for (const Disagreement& d : disagreements_) {
        const std::uint32_t from = d.from;
        const std::uint32_t to = d.to;
        pairFlags_[d.line] = true;
        Add(Severity::Error, {from, to}, [&] {
            return (d.height ? "hoogteverschil " : "afstand ") + Name(from) + "-" + Name(to) +
                   ": heen " + Metres(d.there) + ", terug " + Metres(d.home) + ", verschil " +
                   Metres(std::abs(d.there - d.home)) + " (toegestaan " + Metres(d.tolerance) + ")";
        });
    }

    // Readings of one target in one set-up, both faces or repeated rounds, that spread too far.
    for (std::uint32_t i = 0; i < stations_.size(); ++i) {
        const Station& s = stations_[i];
        const Extent* extent = s.extents;
        for (const Sight& sight : s.sights) {
            if (!sight.HasExtent()) continue;
            const Extent& e = *extent++;
            const int readings = sight.directions & Partial::kCount;
            const bool faces = (sight.directions & Partial::kFace1) != 0 &&
                               (sight.directions & Partial::kFace2) != 0;
            const double h = sight.horizontals > 0 ? sight.Horizontal() : 0.0;
            for (const bool zenith : {false, true}) {
                if ((zenith ? sight.zeniths : readings) < 2) continue;
                const double spread = zenith ? double{e.zenithHigh} - double{e.zenithLow}
                                             : double{e.directionHigh} - double{e.directionLow};
                const double tolerance =
                    kPairFactor * std::sqrt(2.0) * (zenith ? ZenithSigma(h) : DirectionSigma(h));
                if (!(spread > tolerance)) continue;
                const std::uint32_t target = sight.target;
                Flag(s, sight);
                Add(Severity::Error, {s.station, target}, [&] {
                    const std::string where =
                        "standplaats " + Name(s.station) + ", " + Name(target) + ": ";
                    const std::string amount = AngleText(spread, c_.unit);
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

void Checker::Unplaced(std::size_t observed) {
    for (std::uint32_t n = 0; n < observed; ++n) {
        const Node& node = nodes_[n];
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
                    if (s.station == *seenFrom.begin()) Flag(s, s.sights[seen.sight]);
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

// ---- the records, combined as they come ----

struct NetworkCheck::State {
    explicit State(const CheckChoices& checkChoices)
        : choices(checkChoices), unit(checkChoices.unit) {}

    struct SetUp {
        std::uint32_t station = 0;        // node
        std::uint32_t openingTarget = 0;  // entry of the station record's target
        bool opened = false;              // by a station record
        bool hasAzimuth = false;          // the orientation of its first azimuth record
        double openingDirection = 0.0;
        double openingInstrumentHeight = 0.0;
        double openingTargetHeight = 0.0;
        double azimuthOrientation = 0.0;
    };
    // One run of a set-up's readings: its sights and their extents, in a block.
    struct RunOf {
        std::uint32_t setUp = 0;
        std::uint32_t count = 0;
        std::uint32_t block = 0;
        std::uint32_t first = 0;
        std::uint32_t firstExtent = 0;
    };
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    // Sights are kept in blocks of whole slices of the store, so that it never has to move; a
    // run never spans two.
    struct Block {
        std::unique_ptr<Sight[]> sights;
        std::unique_ptr<Extent[]> extents;  // as many as it has sights; those used are touched
        std::uint32_t size = 0;
        std::uint32_t extentsUsed = 0;
        std::uint32_t base = 0;  // the number of its first place in the store
    };
    Block& RoomFor(std::uint32_t count);

    std::uint32_t NodeOf(std::uint32_t entry);
    void Put(const ObservationRecord& record);
    void PutMany(std::span<const ObservationRecord> records);
    void Take(const ObservationRecord& record);
    void TakeWaiting();
    void Combine(const ObservationRecord& record, std::uint32_t target, bool stationRecord);
    struct Open;
    void Flush(Open& run);
    void Adopt(const PointTable& points, std::size_t knownPoints);
    void EndOfRecords();
    std::vector<Station> Stations();
    CheckReport Run(const std::function<void()>& adopted, const std::function<void()>& roomy);

    const CheckChoices choices;
    const AngleUnit unit;
    const StepTrigonometry trigonometry;
    // A node is a point the records name, numbered as they first come. Per entry of the point
    // table: its node + 1 and, for a station, its latest set-up + 1; 0 none. Side by side, so
    // that a station's record finds both in one place.
    struct EntryState {
        std::uint32_t node = 0;
        std::uint32_t latest = 0;
    };
    std::vector<EntryState> byEntry;
    std::uint32_t nodeCount = 0;
    std::vector<SetUp> setUps;
    // The set-ups whose readings are being combined. The records of neighbouring set-ups come
    // mixed (a set-up's face-2 readings behind the next one's station record), so the last few
    // stay open and such a set-up keeps one run; one that comes again later has its runs merged.
    struct Open {
        std::uint32_t setUp = kNone;
        std::uint64_t used = 0;  // when it was last the current one
        std::vector<Combining> combining;
        // Where a target stands in `combining`, once it holds more than kSearched: a set-up
        // mostly sees a few dozen targets, found by a search from the end, but a station of a
        // detail survey may see thousands.
        std::unordered_map<std::uint32_t, std::uint32_t> at;
        Combining& For(std::uint32_t target);
    };
    static constexpr std::size_t kSearched = 48;
    static constexpr std::size_t kOpen = 4;
    std::array<Open, kOpen> open;
    Open* current = nullptr;
    std::uint64_t switches = 0;
    Open& OpenFor(std::uint32_t setUp);
    std::vector<Block> blocks;
    std::uint32_t blockUsed = 0;  // of the last block
    std::vector<RunOf> runs;
    std::size_t partials = 0;
    bool ended = false;  // EndOfRecords was called
    // A record is taken a few records after it came, once the processor has had time to fetch
    // the node numbers of its names: in a large network those look-ups miss the cache.
    static constexpr std::size_t kAhead = 16;
    std::array<ObservationRecord, kAhead> waiting;
    std::size_t waitingFirst = 0;
    std::size_t waitingCount = 0;
    std::uint32_t lastStationEntry = 0;  // the records of a set-up mostly name one station
    std::uint32_t lastStationNode = 0;
    std::size_t face2Readings = 0;
    std::uint32_t face2Station = 0;  // entries of the first one
    std::uint32_t face2Target = 0;

    // What Adopt took from the point table.
    std::size_t observed = 0;  // nodes the records name; the points of coordinate records follow
    Nodes nodes;
    std::vector<Name9> nodeNames;
    std::vector<Finding> twins;  // the IDEX file's names with two sets of coordinates
    std::size_t twinsLeftOut = 0;
    std::size_t face2Node[2] = {0, 0};  // node + 1 of the first face-2 reading's names
};

std::uint32_t NetworkCheck::State::NodeOf(std::uint32_t entry) {
    if (entry >= byEntry.size())
        byEntry.resize(std::max<std::size_t>(entry + 1, byEntry.size() + byEntry.size() / 4));
    std::uint32_t& node = byEntry[entry].node;
    if (node == 0) {
        node = ++nodeCount;
    }
    return node - 1;
}

void NetworkCheck::State::Put(const ObservationRecord& record) {
#if defined(__GNUC__)
    if (record.TargetEntry < byEntry.size()) __builtin_prefetch(&byEntry[record.TargetEntry]);
    if (record.StationEntry < byEntry.size()) __builtin_prefetch(&byEntry[record.StationEntry]);
#endif
    if (waitingCount == kAhead) {
        Take(waiting[waitingFirst]);
        waiting[waitingFirst] = record;
        waitingFirst = (waitingFirst + 1) % kAhead;
    } else {
        waiting[(waitingFirst + waitingCount++) % kAhead] = record;
    }
}

// Records that came together are looked ahead in place, without the queue.
void NetworkCheck::State::PutMany(std::span<const ObservationRecord> records) {
    TakeWaiting();
    for (std::size_t i = 0; i < records.size(); ++i) {
#if defined(__GNUC__)
        if (i + kAhead < records.size()) {
            const ObservationRecord& ahead = records[i + kAhead];
            if (ahead.TargetEntry < byEntry.size()) __builtin_prefetch(&byEntry[ahead.TargetEntry]);
            if (ahead.StationEntry < byEntry.size())
                __builtin_prefetch(&byEntry[ahead.StationEntry]);
        }
#endif
        Take(records[i]);
    }
}

void NetworkCheck::State::TakeWaiting() {
    for (; waitingCount > 0; --waitingCount) {
        Take(waiting[waitingFirst]);
        waitingFirst = (waitingFirst + 1) % kAhead;
    }
}

void NetworkCheck::State::Take(const ObservationRecord& record) {
    if (record.Zenith > 200.0 && ++face2Readings == 1) {
        face2Station = record.StationEntry;
        face2Target = record.TargetEntry;
    }
    if (record.StationEntry == 0) return;
    if (record.StationEntry != lastStationEntry) {
        lastStationNode = NodeOf(record.StationEntry);
        lastStationEntry = record.StationEntry;
    }
    const std::uint32_t station = lastStationNode;
    const bool stationRecord = record.IsSetUp();
    // A station record made at a change of rounds carries no reading and opens no set-up.
    if (stationRecord && record.Target == Name9("0")) return;
    const std::uint32_t target = record.TargetEntry != 0 ? NodeOf(record.TargetEntry) : kNone;
    // The records of a set-up need not follow each other: a face-2 reading of a set-up opened
    // without a station record goes behind the latest station record of another one. So a
    // record joins its station's latest set-up; only a station record with a reference opens a
    // new one, unless it repeats the one that opened the latest (the copy that follows a face-2
    // block).
    std::uint32_t& last = byEntry[record.StationEntry].latest;
    const auto same = [&](const SetUp& a) {
        return a.opened && a.openingTarget == record.TargetEntry &&
               a.openingDirection == record.Direction &&
               a.openingInstrumentHeight == record.InstrumentHeight &&
               a.openingTargetHeight == record.TargetHeight;
    };
    if (last == 0 || (stationRecord && !same(setUps[last - 1]))) {
        setUps.push_back({station, record.TargetEntry, stationRecord, false, record.Direction,
                          record.InstrumentHeight, record.TargetHeight, 0.0});
        last = static_cast<std::uint32_t>(setUps.size());
    }
    if (current == nullptr || current->setUp != last - 1) {
        current = &OpenFor(last - 1);
        current->used = ++switches;
    }
    if (target != kNone) Combine(record, target, stationRecord);
}

// Face 2 is reduced to face 1 with the half and full circle of the file's unit.
void NetworkCheck::State::Combine(const ObservationRecord& record, std::uint32_t target,
                                  bool stationRecord) {
    Combining& sight = current->For(target);
    double direction = AngleToRadians(record.Direction, unit);
    double zenith =
        !stationRecord && record.Zenith > 0.0 ? AngleToRadians(record.Zenith, unit) : 0.0;
    const bool face2 = zenith > kPi;
    if (face2) {
        direction -= kPi;
        zenith = kTwoPi - zenith;
    }
    (face2 ? sight.face2 : sight.face1) = true;
    if (sight.directions == 0) sight.firstDirection = direction;
    const double delta = Wrap(direction - sight.firstDirection);
    sight.directionSum += delta;
    sight.directionLow = sight.directions == 0 ? delta : std::min(sight.directionLow, delta);
    sight.directionHigh = sight.directions == 0 ? delta : std::max(sight.directionHigh, delta);
    ++sight.directions;
    const double heightOffset = record.InstrumentHeight - record.TargetHeight;
    if (zenith > 0.0) {
        sight.heightOffset = heightOffset;
        sight.zenithSum += zenith;
        sight.zenithLow = sight.zeniths == 0 ? zenith : std::min(sight.zenithLow, zenith);
        sight.zenithHigh = sight.zeniths == 0 ? zenith : std::max(sight.zenithHigh, zenith);
        ++sight.zeniths;
    }
    if (stationRecord) return;
    if (record.Distance > 0.0 && zenith > 0.0) {
        const auto [sine, cosine] = trigonometry(ToSteps(zenith));
        const double h = record.Distance * sine;
        sight.horizontalSum += h;
        ++sight.horizontals;
        sight.heightDifferenceSum += record.Distance * cosine + Curvature(h) + heightOffset;
        ++sight.heightDifferences;
    } else if (record.Distance > 0.0) {
        sight.horizontalSum += record.Distance;
        ++sight.horizontals;
    } else if (record.Distance2 > 0.0) {
        sight.horizontalSum += record.Distance2;
        ++sight.horizontals;
    }
    if (record.Azimuth != 0.0 && !sight.hasAzimuth) {
        sight.hasAzimuth = true;
        sight.azimuthOrientation = AngleToRadians(record.Azimuth, unit) - direction;
    }
}

// The combined readings of a target in this set-up; new ones are made in place (one copied in
// would wait for its own zeroing to be stored).
Combining& NetworkCheck::State::Open::For(std::uint32_t target) {
    if (combining.size() <= kSearched) {
        const auto found =
            std::find_if(combining.rbegin(), combining.rend(),
                         [target](const Combining& c) { return c.target == target; });
        if (found != combining.rend()) return *found;
        if (combining.size() == kSearched) {
            for (std::uint32_t i = 0; i < combining.size(); ++i)
                at.emplace(combining[i].target, i);
        }
    } else if (const auto found = at.find(target); found != at.end()) {
        return combining[found->second];
    }
    if (combining.size() >= kSearched)
        at.emplace(target, static_cast<std::uint32_t>(combining.size()));
    combining.emplace_back().target = target;
    return combining.back();
}

// The open set-up of that number, or the one it takes the place of: the least recently
// current one, whose run goes into the blocks.
NetworkCheck::State::Open& NetworkCheck::State::OpenFor(std::uint32_t setUp) {
    Open* oldest = &open[0];
    for (Open& o : open) {
        if (o.setUp == setUp) return o;
        if (o.used < oldest->used) oldest = &o;
    }
    Flush(*oldest);
    oldest->setUp = setUp;
    return *oldest;
}

// The last block, with room for `count` more sights.
NetworkCheck::State::Block& NetworkCheck::State::RoomFor(std::uint32_t count) {
    if (blocks.empty() || blockUsed + count > blocks.back().size) {
        constexpr std::uint32_t slice = SightStore::kSlice;
        const std::uint32_t size = (std::max(count, std::uint32_t{1}) + slice - 1) / slice * slice;
        const std::uint32_t base = blocks.empty() ? 0 : blocks.back().base + blocks.back().size;
        blocks.push_back({std::make_unique<Sight[]>(size),
                          std::make_unique_for_overwrite<Extent[]>(size), size, 0, base});
        blockUsed = 0;
    }
    return blocks.back();
}

// A run of an open set-up goes into the blocks.
void NetworkCheck::State::Flush(Open& run) {
    if (run.setUp == kNone) return;
    SetUp& setUp = setUps[run.setUp];
    std::vector<Combining>& combining = run.combining;
    run.setUp = kNone;
    for (const Combining& c : combining) {
        if (c.hasAzimuth && !setUp.hasAzimuth) {
            setUp.hasAzimuth = true;
            setUp.azimuthOrientation = c.azimuthOrientation;
        }
    }
    const auto count = static_cast<std::uint32_t>(combining.size());
    if (count == 0) return;
    Block& block = RoomFor(count);
    runs.push_back({static_cast<std::uint32_t>(&setUp - setUps.data()), count,
                    static_cast<std::uint32_t>(blocks.size() - 1), blockUsed, block.extentsUsed});
    for (std::uint32_t i = 0; i < count; ++i) {
        const Partial partial(combining[i]);
        const Sight& sight = block.sights[blockUsed + i] = Sight(partial);
        if (sight.HasExtent()) block.extents[block.extentsUsed++] = Extent(partial);
    }
    blockUsed += count;
    partials += count;
    combining.clear();
    run.at.clear();
}

void NetworkCheck::State::EndOfRecords() {
    if (ended) return;
    ended = true;
    TakeWaiting();
    for (Open& o : open)
        Flush(o);
    current = nullptr;
}

void NetworkCheck::State::Adopt(const PointTable& points, std::size_t knownPoints) {
    EndOfRecords();
    const std::vector<PointRecord>& entries = points.Entries();
    observed = nodeCount;
    // Room for every point at once: the entries after the IDEX file's may each add one, and at
    // most every point is known. Grown step by step these would be copied, and twice as large.
    const std::size_t fieldEntries = entries.size() - 1 - std::min(knownPoints, entries.size() - 1);
    nodeNames.reserve(observed + fieldEntries);
    nodeNames.resize(observed);
    // The points come zeroed and are written where a point is known: the pages of those that
    // are not stay untouched until the check reads them.
    nodes.resize(observed + fieldEntries);
    const auto nodeOfEntry = [this](std::uint32_t entry) {
        return entry < byEntry.size() ? byEntry[entry].node : 0u;
    };
    for (int i = 0; i < 2; ++i)
        face2Node[i] = nodeOfEntry(i == 0 ? face2Station : face2Target);

    // The first entry with coordinates of each name gives its coordinates; the points of the
    // field file's coordinate records count even when nothing observes them. The entries are
    // walked in order, and with them the entries whose name an earlier one has.
    std::vector<PointTable::Shadow> shadows = points.Shadowed();
    std::sort(shadows.begin(), shadows.end(),
              [](const auto& a, const auto& b) { return a.entry < b.entry; });
    std::unordered_map<std::uint32_t, std::uint32_t> coordinatesAt;  // for a first without
    auto shadow = shadows.begin();
    for (std::uint32_t e = 1; e < entries.size(); ++e) {
        const PointRecord& p = entries[e];
        const bool later = shadow != shadows.end() && shadow->entry == e;
        const std::uint32_t first = later ? (shadow++)->first : e;
        const std::uint32_t node = nodeOfEntry(first);
        if (!later && node != 0) nodeNames[node - 1] = p.Name;
        if (!p.HasCoordinates) continue;
        if (later) {
            std::uint32_t q = first;
            if (!entries[first].HasCoordinates)
                q = coordinatesAt.try_emplace(first, e).first->second;
            if (q != e) {
                const PointRecord& r = entries[q];
                if (e <= knownPoints && q <= knownPoints &&
                    (std::abs(p.X - r.X) > 5e-4 || std::abs(p.Y - r.Y) > 5e-4 ||
                     std::abs(p.Z - r.Z) > 5e-4)) {
                    if (twins.size() >= CheckReport::kKept) {
                        ++twinsLeftOut;
                        continue;
                    }
                    std::vector<std::size_t> named;
                    if (node != 0) named.push_back(node - 1);
                    twins.push_back({Severity::Warning,
                                     "IDEX-bestand: punt " + Trimmed(p.Name) +
                                         " staat er meer dan eens in, met " + Fixed(r.X, 3) + " " +
                                         Fixed(r.Y, 3) + " " + Fixed(r.Z, 3) + " en " +
                                         Fixed(p.X, 3) + " " + Fixed(p.Y, 3) + " " + Fixed(p.Z, 3),
                                     named});
                }
                continue;
            }
        }
        std::uint32_t n = 0;
        if (node != 0) {
            n = node - 1;
        } else if (e > knownPoints) {
            n = static_cast<std::uint32_t>(nodeNames.size());
            nodeNames.push_back(p.Name);
        } else {
            continue;
        }
        Node& point = nodes[n];
        point.known = point.placed = point.hasHeight = true;
        point.x = p.X;
        point.y = p.Y;
        point.z = p.Z;
        point.sigma = static_cast<float>(choices.sdXY);
        point.sigmaZ = static_cast<float>(choices.sdZ);
    }
    nodes.resize(nodeNames.size());
    std::vector<EntryState>().swap(byEntry);
}

// Each set-up's sights and their extents: its run in a block, or its runs merged into one
// behind the others. The runs are let go.
std::vector<Station> NetworkCheck::State::Stations() {
    std::vector<std::uint32_t> runsAt(setUps.size() + 1, 0);
    std::size_t split = 0;  // sights in set-ups of more than one run
    for (const RunOf& run : runs)
        ++runsAt[run.setUp + 1];
    for (std::size_t u = 1; u < runsAt.size(); ++u)
        runsAt[u] += runsAt[u - 1];
    std::vector<std::uint32_t> runOrder(runs.size());
    {
        std::vector<std::uint32_t> next(runsAt.begin(), runsAt.end() - 1);
        for (std::uint32_t r = 0; r < runs.size(); ++r) {
            runOrder[next[runs[r].setUp]++] = r;
            if (runsAt[runs[r].setUp + 1] - runsAt[runs[r].setUp] > 1) split += runs[r].count;
        }
    }
    std::vector<Station> stations(setUps.size());
    std::vector<Partial> merged;
    // Where a target stands in `merged` + 1; 0 again once a set-up is merged. A station seen
    // again and again may gather hundreds of targets in one set-up.
    std::vector<std::uint32_t> mergedAt(split > 0 ? nodeCount : 0, 0);
    for (std::uint32_t u = 0; u < setUps.size(); ++u) {
        Station& s = stations[u];
        s.station = setUps[u].station;
        s.hasAzimuth = setUps[u].hasAzimuth;
        s.azimuthOrientation = setUps[u].azimuthOrientation;
        const std::uint32_t firstRun = runsAt[u];
        const std::uint32_t endRun = runsAt[u + 1];
        if (endRun - firstRun == 1) {
            const RunOf& run = runs[runOrder[firstRun]];
            s.sights = {blocks[run.block].sights.get() + run.first, run.count};
            s.extents = blocks[run.block].extents.get() + run.firstExtent;
            s.firstSight = blocks[run.block].base + run.first;
        } else if (endRun - firstRun > 1) {
            merged.clear();
            for (std::uint32_t r = firstRun; r < endRun; ++r) {
                const RunOf& run = runs[runOrder[r]];
                const Block& block = blocks[run.block];
                const Extent* extent = block.extents.get() + run.firstExtent;
                for (std::uint32_t i = run.first; i < run.first + run.count; ++i) {
                    const Sight& sight = block.sights[i];
                    const Partial partial(sight, sight.HasExtent() ? *extent++ : Extent{});
                    std::uint32_t& slot = mergedAt[partial.target];
                    if (slot == 0) {
                        merged.push_back(partial);
                        slot = static_cast<std::uint32_t>(merged.size());
                    } else {
                        merged[slot - 1].Merge(partial);
                    }
                }
            }
            for (const Partial& partial : merged)
                mergedAt[partial.target] = 0;
            // The merged run goes behind the others.
            const auto count = static_cast<std::uint32_t>(merged.size());
            Block& block = RoomFor(count);
            s.sights = {block.sights.get() + blockUsed, count};
            s.extents = block.extents.get() + block.extentsUsed;
            s.firstSight = block.base + blockUsed;
            for (std::uint32_t i = 0; i < count; ++i) {
                if ((block.sights[blockUsed + i] = Sight(merged[i])).HasExtent())
                    block.extents[block.extentsUsed++] = Extent(merged[i]);
            }
            blockUsed += count;
        }
    }
    std::vector<RunOf>().swap(runs);
    std::vector<SetUp>().swap(setUps);
    return stations;
}

CheckReport NetworkCheck::State::Run(const std::function<void()>& adopted,
                                     const std::function<void()>& roomy) {
    EndOfRecords();

    std::vector<Station> stations = Stations();
    SightStore store;
    for (const Block& block : blocks) {
        for (std::uint32_t at = 0; at < block.size; at += SightStore::kSlice)
            store.slices.push_back(block.sights.get() + at);
    }

    // The points, as Adopt made them from the point table.
    if (adopted) adopted();
    CheckReport report;
    report.findings = std::move(twins);
    report.warningsLeftOut = twinsLeftOut;
    Checker checker(choices, trigonometry, nodes, stations, store, nodeNames, report);
    checker.roomy_ = roomy;
    checker.Place();
    // The report's points are made beside the comparisons, which only read the points.
    std::future<std::vector<CheckPoint>> points = RunBeside([this] {
        std::vector<CheckPoint> made(nodes.size());
        for (std::size_t n = 0; n < nodes.size(); ++n) {
            CheckPoint& p = made[n];
            const Node& node = nodes[n];
            p.name = Trimmed(nodeNames[n]);
            p.state = node.known    ? PointState::Known
                      : node.placed ? PointState::Placed
                                    : PointState::NotPlaced;
            p.x = node.x;
            p.y = node.y;
            p.z = node.z;
            p.hasHeight = node.hasHeight;
        }
        return made;
    });
    checker.Compare();
    // The spreads have been looked at.
    for (Block& block : blocks)
        block.extents.reset();
    checker.Unplaced(observed);
    // The sights have been looked at: the report is made from the pairs and the points.
    std::vector<Station>().swap(stations);
    std::vector<Block>().swap(blocks);
    // The sketch's lines beside its points.
    std::future<std::vector<CheckLine>> lines = RunBeside([&checker] { return checker.Lines(); });
    if (choices.face2to1 && choices.unit != AngleUnit::Gon && face2Readings > 0) {
        std::vector<std::size_t> named;
        for (const std::size_t node : face2Node) {
            if (node != 0) named.push_back(node - 1);
        }
        const auto nameOf = [this](std::size_t node) {
            return node != 0 ? Trimmed(nodeNames[node - 1]) : std::string("?");
        };
        report.findings.push_back(
            {Severity::Warning,
             std::string("de hoeken staan in ") +
                 (choices.unit == AngleUnit::Gon ? "gon" : "graden") +
                 ", maar de export herleidt kijkerstand 2 met 200 en 400 (gon): " +
                 std::to_string(face2Readings) + " waarnemingen betreffen dit, de eerste " +
                 nameOf(face2Node[0]) + "-" + nameOf(face2Node[1]),
             named});
    }

    report.points = points.get();
    for (std::size_t n = 0; n < report.points.size(); ++n)
        report.points[n].flagged = checker.pointFlags_[n];
    Nodes().swap(nodes);
    std::vector<Name9>().swap(nodeNames);
    report.lines = lines.get();
    return report;
}

NetworkCheck::NetworkCheck(const CheckChoices& choices)
    : state_(std::make_unique<State>(choices)) {}
NetworkCheck::~NetworkCheck() = default;

void NetworkCheck::Put(const ObservationRecord& record) {
    state_->Put(record);
}

void NetworkCheck::PutMany(std::span<const ObservationRecord> records) {
    state_->PutMany(records);
}

void NetworkCheck::Adopt(const PointTable& points, std::size_t knownPoints) {
    state_->Adopt(points, knownPoints);
}

void NetworkCheck::EndOfRecords() {
    state_->EndOfRecords();
}

CheckReport NetworkCheck::Run(const std::function<void()>& adopted,
                              const std::function<void()>& roomy) {
    return state_->Run(adopted, roomy);
}

}  // namespace talvik
