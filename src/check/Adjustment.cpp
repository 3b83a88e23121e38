#include "check/Adjustment.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <unordered_map>

namespace talvik::adjustment {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;
constexpr double kGon = kPi / 200.0;
constexpr double kEarthRadius = 6381000.0;
constexpr double kRefraction = 0.13;
// Converged when no coordinate moves more than this (m), nor an orientation more than this at
// a kilometre.
constexpr double kConverged = 1e-5;
constexpr int kMostIterations = 20;
// A step smaller than this (m) keeps the factor for the next iteration.
constexpr double kRefactor = 1e-2;
// Undetermined parts are taken out this many times at most (each time all that the factor
// shows at once).
constexpr int kMostAttempts = 20;
// An observation whose redundancy is below this is not controlled by the others: it is not
// tested (its w would be noise divided by almost nothing).
constexpr double kTestable = 1e-3;
// A reading's own variance is never taken below this (rad² or m²): a standard deviation of 0
// in the choices would make every difference infinitely significant.
constexpr double kLeastVariance = 1e-20;

// A height difference or a zenith angle: what the heights (and the instrument height) take.
bool InHeight(ObservationKind kind) {
    return kind == ObservationKind::HeightDifference || kind == ObservationKind::Zenith;
}

double Wrap(double angle) {
    angle = std::fmod(angle, kTwoPi);
    if (angle > kPi) angle -= kTwoPi;
    if (angle <= -kPi) angle += kTwoPi;
    return angle;
}

}  // namespace

double CurvatureTerm(double horizontal) {
    return (1.0 - kRefraction) * horizontal * horizontal / (2.0 * kEarthRadius);
}

Adjustment::Adjustment(const Network& network, const Sigmas& sigmas)
    : network_(network), sigmas_(sigmas) {
    const auto& points = network_.points;
    const auto usable = [&](std::uint32_t i) { return i < points.size() && points[i].placed; };
    const double cent2 = 2.0 * sigmas_.sigmaCent * sigmas_.sigmaCent;
    // A height reading shares its target's height with its sight; the instrument's height, which
    // all sights of the set-up share, is an unknown of the set-up (below).
    const double aim2 = sigmas_.sigmaInst * sigmas_.sigmaInst;
    // Every reading's value, with the variance of its own and the part its sight shares, put
    // into the sight it belongs to: (set-up, target, kind, instrument and target height).
    struct Key {
        std::uint32_t setUp, target;
        ObservationKind kind;
        double instrument, aimed;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& k) const {
            std::size_t h = std::hash<std::uint64_t>()((std::uint64_t{k.setUp} << 32) | k.target);
            h ^= std::hash<double>()(k.instrument) + 0x9e3779b9 + (h << 6) + (h >> 2);
            h ^= std::hash<double>()(k.aimed) + 0x9e3779b9 + (h << 6) + (h >> 2);
            return h ^ static_cast<std::size_t>(k.kind);
        }
    };
    std::unordered_map<Key, std::uint32_t, KeyHash> sights;
    struct Piece {
        std::uint32_t observation;
        Member member;
    };
    std::vector<Piece> pieces;
    std::vector<double> shared;  // per observation: the sum of its readings' shared parts
    const auto put = [&](const Reading& reading, std::uint32_t r, ObservationKind kind,
                         double value, double own, double common) {
        const auto [at, added] =
            sights.try_emplace(Key{reading.setUp, reading.target, kind, reading.instrumentHeight,
                                   reading.targetHeight},
                               static_cast<std::uint32_t>(observations_.size()));
        if (added) {
            Observation o;
            o.kind = kind;
            o.reading = r;
            o.count = 0;
            observations_.push_back(o);
            shared.push_back(0.0);
        }
        Observation& o = observations_[at->second];
        ++o.count;
        o.readVariance += own;
        shared[at->second] += common;
        pieces.push_back({at->second, {r, value, true}});
    };
    for (std::uint32_t r = 0; r < network_.readings.size(); ++r) {
        const Reading& reading = network_.readings[r];
        if (!usable(reading.station) || !usable(reading.target) ||
            reading.station == reading.target)
            continue;
        const NetPoint& s = points[reading.station];
        const NetPoint& t = points[reading.target];
        const double approx = std::hypot(t.x - s.x, t.y - s.y);
        const bool withZenith = reading.zenith > 0.0 && reading.zenith < kPi;
        double horizontal = 0.0;
        if (reading.slope > 0.0 && withZenith) {
            horizontal = reading.slope * std::sin(reading.zenith);
        } else if (reading.slope > 0.0) {
            horizontal = reading.slope;
        } else if (reading.horizontal > 0.0) {
            horizontal = reading.horizontal;
        }
        const double length = std::max(horizontal > 0.0 ? horizontal : approx, 1.0);
        const double sigmaR = (sigmas_.absHor + sigmas_.relHor * length / 1000.0) * kGon;
        const double sigmaZ = (sigmas_.absVer + sigmas_.relVer * length / 1000.0) * kGon;
        const double sigmaD = sigmas_.absDis + sigmas_.relDis * 1e-6 * length;
        if (reading.hasDirection)
            put(reading, r, ObservationKind::Direction, reading.direction, sigmaR * sigmaR,
                cent2 / (length * length));
        if (horizontal > 0.0) {
            double variance = sigmaD * sigmaD;
            if (reading.slope > 0.0 && withZenith) {
                const double c = std::cos(reading.zenith);
                const double sn = std::sin(reading.zenith);
                variance = sigmaD * sigmaD * sn * sn +
                           reading.slope * reading.slope * c * c * sigmaZ * sigmaZ;
            }
            put(reading, r, ObservationKind::Distance, horizontal, variance, cent2);
        }
        if (withZenith && s.hasHeight && t.hasHeight) {
            const double offset = reading.instrumentHeight - reading.targetHeight;
            if (reading.slope > 0.0) {
                const double c = std::cos(reading.zenith);
                const double value = reading.slope * c + CurvatureTerm(horizontal) + offset;
                put(reading, r, ObservationKind::HeightDifference, value,
                    horizontal * horizontal * sigmaZ * sigmaZ + sigmaD * sigmaD * c * c, aim2);
            } else {
                put(reading, r, ObservationKind::Zenith, reading.zenith, sigmaZ * sigmaZ,
                    aim2 / (length * length));
            }
        }
    }
    // The readings of each sight side by side; the sight's variances the means of its readings'.
    std::uint32_t next = 0;
    for (std::size_t i = 0; i < observations_.size(); ++i) {
        Observation& o = observations_[i];
        o.first = next;
        next += o.count;
        o.readVariance = std::max(o.readVariance / o.count, kLeastVariance);
        o.shared = shared[i] / o.count;
        o.count = 0;
    }
    members_.resize(pieces.size());
    for (const Piece& piece : pieces) {
        Observation& o = observations_[piece.observation];
        members_[o.first + o.count++] = piece.member;
    }
    for (Observation& o : observations_)
        Mean(o);
    for (std::uint32_t p = 0; p < points.size(); ++p) {
        if (!points[p].known) continue;
        for (const ObservationKind kind :
             {ObservationKind::KnownX, ObservationKind::KnownY, ObservationKind::KnownH}) {
            if (kind == ObservationKind::KnownH && !points[p].hasHeight) continue;
            Observation o;
            o.kind = kind;
            o.reading = p;
            o.value = kind == ObservationKind::KnownX   ? points[p].x
                      : kind == ObservationKind::KnownY ? points[p].y
                                                        : points[p].h;
            o.sigma = kind == ObservationKind::KnownH ? sigmas_.sdZ : sigmas_.sdXY;
            o.readVariance = o.sigma * o.sigma;
            observations_.push_back(o);
        }
    }
    // Each set-up that measures heights: its instrument height as booked, within SigmaInst (an
    // instrument height of no uncertainty is no unknown).
    std::vector<std::int64_t> heightReading(network_.setUps, -1);
    for (const Observation& o : observations_) {
        if (!InHeight(o.kind)) continue;
        const std::uint32_t u = network_.readings[o.reading].setUp;
        if (u < network_.setUps && heightReading[u] < 0) heightReading[u] = o.reading;
    }
    for (std::uint32_t u = 0; u < network_.setUps && sigmas_.sigmaInst > 0.0; ++u) {
        if (heightReading[u] < 0) continue;
        Observation o;
        o.kind = ObservationKind::InstrumentHeight;
        o.reading = static_cast<std::uint32_t>(heightReading[u]);
        o.sigma = sigmas_.sigmaInst;
        o.readVariance = o.sigma * o.sigma;
        observations_.push_back(o);
    }
    excluded_.assign(points.size(), false);
    heightExcluded_.assign(points.size(), false);
    setUpExcluded_.assign(network_.setUps, false);
    setUpHeightExcluded_.assign(network_.setUps, false);
    instrument_.assign(network_.setUps, -1);
    instrumentValue_.assign(network_.setUps, 0.0);
    orientation_.assign(network_.setUps, -1);
    orientationValue_.assign(network_.setUps, std::nan(""));
    for (std::uint32_t p = 0; p < points.size(); ++p)
        if (!points[p].placed) excluded_[p] = true;
}

// The mean of a sight's active readings (directions around the first), and its variance.
void Adjustment::Mean(Observation& o) {
    if (o.count == 0) return;
    double sum = 0.0;
    double base = 0.0;
    std::uint32_t n = 0;
    for (std::uint32_t m = o.first; m < o.first + o.count; ++m) {
        const Member& member = members_[m];
        if (!member.active) continue;
        if (n == 0) base = member.value;
        sum +=
            o.kind == ObservationKind::Direction ? Wrap(member.value - base) : member.value - base;
        ++n;
    }
    o.n = n;
    if (n == 0) {
        o.active = false;
        return;
    }
    o.value = base + sum / n;
    o.sigma = std::sqrt(o.readVariance / n + o.shared);
}

double Deviation(const Observation& o, const Member& m) {
    return o.kind == ObservationKind::Direction ? Wrap(m.value - o.value) : m.value - o.value;
}

void Adjustment::Reject(std::uint32_t observation, std::int64_t member) {
    Observation& o = observations_[observation];
    if (member < 0) {
        o.active = false;
        return;
    }
    members_[static_cast<std::size_t>(member)].active = false;
    Mean(o);
}

// Unknowns: x and y of every point in the plane, h of every point with a height, one
// orientation per set-up with a direction.
void Adjustment::Number() {
    const auto& points = network_.points;
    places_.assign(points.size(), Place{});
    std::int64_t next = 0;
    std::vector<bool> seen(points.size(), false);
    std::vector<bool> seenHeight(points.size(), false);
    // Only points some active observation reaches take part.
    for (const Observation& o : observations_) {
        if (!o.active) continue;
        if (o.kind == ObservationKind::InstrumentHeight) continue;
        if (o.kind >= ObservationKind::KnownX) {
            (o.kind == ObservationKind::KnownH ? seenHeight : seen)[o.reading] = true;
            continue;
        }
        const Reading& r = network_.readings[o.reading];
        const bool height = InHeight(o.kind);
        (height ? seenHeight : seen)[r.station] = true;
        (height ? seenHeight : seen)[r.target] = true;
        if (o.kind == ObservationKind::Zenith) seen[r.station] = seen[r.target] = true;
    }
    for (std::uint32_t p = 0; p < points.size(); ++p) {
        if (excluded_[p] || !seen[p]) continue;
        places_[p].xy = next;
        next += 2;
    }
    for (std::uint32_t p = 0; p < points.size(); ++p) {
        if (excluded_[p] || heightExcluded_[p] || !points[p].hasHeight || !seenHeight[p]) continue;
        places_[p].h = next++;
    }
    std::fill(orientation_.begin(), orientation_.end(), -1);
    // Orientation unknowns, begun at the mean of (bearing - reading) around the first.
    std::vector<double> first(network_.setUps, 0.0);
    std::vector<double> sum(network_.setUps, 0.0);
    std::vector<std::uint32_t> count(network_.setUps, 0);
    for (const Observation& o : observations_) {
        if (!o.active || o.kind != ObservationKind::Direction) continue;
        const Reading& r = network_.readings[o.reading];
        if (setUpExcluded_[r.setUp] || places_[r.station].xy < 0 || places_[r.target].xy < 0)
            continue;
        if (orientation_[r.setUp] < 0) orientation_[r.setUp] = next++;
        if (!std::isnan(orientationValue_[r.setUp])) continue;
        const NetPoint& s = points[r.station];
        const NetPoint& t = points[r.target];
        const double value = std::atan2(t.x - s.x, t.y - s.y) - r.direction;
        if (count[r.setUp] == 0) first[r.setUp] = value;
        sum[r.setUp] += Wrap(value - first[r.setUp]);
        ++count[r.setUp];
    }
    for (std::uint32_t u = 0; u < network_.setUps; ++u)
        if (std::isnan(orientationValue_[u]) && count[u] > 0)
            orientationValue_[u] = first[u] + sum[u] / count[u];
    // An instrument height unknown for each set-up with a height sight in the adjustment (held
    // by its observation, or free once that was rejected).
    std::fill(instrument_.begin(), instrument_.end(), -1);
    if (sigmas_.sigmaInst > 0.0) {
        for (const Observation& o : observations_) {
            if (!o.active || !InHeight(o.kind)) continue;
            const Reading& r = network_.readings[o.reading];
            if (setUpHeightExcluded_[r.setUp] || instrument_[r.setUp] >= 0 ||
                places_[r.station].h < 0 || places_[r.target].h < 0)
                continue;
            if (o.kind == ObservationKind::Zenith &&
                (places_[r.station].xy < 0 || places_[r.target].xy < 0))
                continue;
            instrument_[r.setUp] = next++;
        }
    }
    unknowns_ = static_cast<std::size_t>(next);
}

bool Adjustment::Equate(const Observation& o, Equation& e) const {
    const auto& points = network_.points;
    e = Equation{};
    e.sigma = o.sigma;
    if (o.kind == ObservationKind::InstrumentHeight) {
        const std::uint32_t setUp = network_.readings[o.reading].setUp;
        if (instrument_[setUp] < 0) return false;
        e.Add(static_cast<std::uint32_t>(instrument_[setUp]), 1.0);
        e.misclosure = o.value - instrumentValue_[setUp];
        return true;
    }
    if (o.kind >= ObservationKind::KnownX) {
        const Place& place = places_[o.reading];
        const NetPoint& p = points[o.reading];
        if (o.kind == ObservationKind::KnownH) {
            if (place.h < 0) return false;
            e.Add(static_cast<std::uint32_t>(place.h), 1.0);
            e.misclosure = o.value - p.h;
            return true;
        }
        if (place.xy < 0) return false;
        const bool x = o.kind == ObservationKind::KnownX;
        e.Add(static_cast<std::uint32_t>(place.xy + (x ? 0 : 1)), 1.0);
        e.misclosure = o.value - (x ? p.x : p.y);
        return true;
    }
    const Reading& r = network_.readings[o.reading];
    const Place& ps = places_[r.station];
    const Place& pt = places_[r.target];
    const NetPoint& s = points[r.station];
    const NetPoint& t = points[r.target];
    const double dx = t.x - s.x;
    const double dy = t.y - s.y;
    const double d2 = dx * dx + dy * dy;
    const double d = std::sqrt(d2);
    const auto plane = [&](double ax, double ay) {
        e.Add(static_cast<std::uint32_t>(ps.xy), -ax);
        e.Add(static_cast<std::uint32_t>(ps.xy + 1), -ay);
        e.Add(static_cast<std::uint32_t>(pt.xy), ax);
        e.Add(static_cast<std::uint32_t>(pt.xy + 1), ay);
    };
    switch (o.kind) {
        case ObservationKind::Direction: {
            const std::int64_t u = orientation_[r.setUp];
            if (ps.xy < 0 || pt.xy < 0 || u < 0 || !(d > 0.0)) return false;
            plane(dy / d2, -dx / d2);
            // The reading is bearing - orientation.
            e.Add(static_cast<std::uint32_t>(u), -1.0);
            e.misclosure = Wrap(o.value - (std::atan2(dx, dy) - orientationValue_[r.setUp]));
            return true;
        }
        case ObservationKind::Distance:
            if (ps.xy < 0 || pt.xy < 0 || !(d > 0.0)) return false;
            plane(dx / d, dy / d);
            e.misclosure = o.value - d;
            return true;
        case ObservationKind::HeightDifference:
            // Booked from an instrument height that is off by δ, the difference is off by δ.
            if (ps.h < 0 || pt.h < 0 || setUpHeightExcluded_[r.setUp]) return false;
            e.Add(static_cast<std::uint32_t>(ps.h), -1.0);
            e.Add(static_cast<std::uint32_t>(pt.h), 1.0);
            if (instrument_[r.setUp] >= 0)
                e.Add(static_cast<std::uint32_t>(instrument_[r.setUp]), 1.0);
            e.misclosure = o.value - (t.h - s.h + instrumentValue_[r.setUp]);
            return true;
        case ObservationKind::Zenith: {
            if (ps.h < 0 || pt.h < 0 || ps.xy < 0 || pt.xy < 0 || !(d > 0.0) ||
                setUpHeightExcluded_[r.setUp])
                return false;
            // The instrument stood δ lower than booked: the target rises δ more above it.
            const double v = t.h - s.h + r.targetHeight - r.instrumentHeight +
                             instrumentValue_[r.setUp] - CurvatureTerm(d);
            const double l2 = d2 + v * v;
            const double byD = v / l2;   // dz/dd
            const double byV = -d / l2;  // dz/dv
            plane(byD * dx / d, byD * dy / d);
            e.Add(static_cast<std::uint32_t>(ps.h), -byV);
            e.Add(static_cast<std::uint32_t>(pt.h), byV);
            if (instrument_[r.setUp] >= 0)
                e.Add(static_cast<std::uint32_t>(instrument_[r.setUp]), byV);
            e.misclosure = o.value - std::atan2(d, v);
            return true;
        }
        default:
            return false;
    }
}

void Adjustment::Linearise(std::vector<Equation>& equations, std::vector<std::uint32_t>& of) const {
    equations.clear();
    of.clear();
    Equation e;
    for (std::uint32_t i = 0; i < observations_.size(); ++i) {
        const Observation& o = observations_[i];
        if (!o.active) continue;
        if (o.kind == ObservationKind::Direction &&
            setUpExcluded_[network_.readings[o.reading].setUp])
            continue;
        if (!Equate(o, e)) continue;
        equations.push_back(e);
        of.push_back(i);
    }
}

bool Adjustment::Run() {
    tooLarge_ = false;
    auto& points = network_.points;
    std::vector<Equation> equations;
    std::vector<std::uint32_t> of;
    std::vector<std::uint32_t> weak;
    NormalEquations normal;
    bool converged = false;
    bool stepped = false;  // the last attempt ran all its iterations without converging
    converged_ = false;
    for (int attempt = 0; attempt < kMostAttempts && !converged && !stepped; ++attempt) {
        Number();
        if (unknowns_ == 0) return false;
        bool restart = false;
        double step = 0.0;  // the largest move of the last iteration
        for (int iteration = 0; iteration < kMostIterations; ++iteration) {
            Linearise(equations, of);
            // After a small step the Jacobian has not moved measurably: the last factor solves
            // the next step (the right-hand side is the new one, so the solution it converges to
            // is the same) and gives the cofactors.
            const bool refactor = iteration == 0 || step > kRefactor;
            if (refactor && !normal.Factor(unknowns_, equations, weak)) {
                if (weak.empty()) {
                    tooLarge_ = true;
                    return false;
                }
                // What the equations do not determine leaves the adjustment.
                std::vector<std::int64_t> owner(unknowns_, -1);  // point p: p, set-up s: -2 - s
                std::vector<bool> isHeight(unknowns_, false);
                for (std::uint32_t p = 0; p < points.size(); ++p) {
                    if (places_[p].xy >= 0)
                        owner[static_cast<std::size_t>(places_[p].xy)] =
                            owner[static_cast<std::size_t>(places_[p].xy + 1)] = p;
                    if (places_[p].h >= 0) {
                        owner[static_cast<std::size_t>(places_[p].h)] = p;
                        isHeight[static_cast<std::size_t>(places_[p].h)] = true;
                    }
                }
                for (std::uint32_t s = 0; s < network_.setUps; ++s) {
                    if (orientation_[s] >= 0)
                        owner[static_cast<std::size_t>(orientation_[s])] = -2 - std::int64_t{s};
                    if (instrument_[s] >= 0) {
                        owner[static_cast<std::size_t>(instrument_[s])] = -2 - std::int64_t{s};
                        isHeight[static_cast<std::size_t>(instrument_[s])] = true;
                    }
                }
                for (const std::uint32_t u : weak) {
                    const std::int64_t o = owner[u];
                    if (o <= -2) {
                        // A set-up's orientation, or its instrument height (once its booked
                        // value was rejected, with nothing else to tell it): its directions, or
                        // its heights, leave.
                        (isHeight[u] ? setUpHeightExcluded_
                                     : setUpExcluded_)[static_cast<std::size_t>(-2 - o)] = true;
                    } else if (o >= 0 && isHeight[u]) {
                        heightExcluded_[static_cast<std::size_t>(o)] = true;
                    } else if (o >= 0) {
                        if (!excluded_[static_cast<std::size_t>(o)])
                            dropped_.push_back(static_cast<std::uint32_t>(o));
                        excluded_[static_cast<std::size_t>(o)] = true;
                    }
                }
                restart = true;
                break;
            }
            const std::vector<double> dx = normal.Solve(equations);
            double largest = 0.0;
            for (std::uint32_t p = 0; p < points.size(); ++p) {
                if (places_[p].xy >= 0) {
                    const auto u = static_cast<std::size_t>(places_[p].xy);
                    points[p].x += dx[u];
                    points[p].y += dx[u + 1];
                    largest = std::max({largest, std::abs(dx[u]), std::abs(dx[u + 1])});
                }
                if (places_[p].h >= 0) {
                    points[p].h += dx[static_cast<std::size_t>(places_[p].h)];
                    largest =
                        std::max(largest, std::abs(dx[static_cast<std::size_t>(places_[p].h)]));
                }
            }
            for (std::uint32_t s = 0; s < network_.setUps; ++s) {
                if (instrument_[s] >= 0) {
                    const double move = dx[static_cast<std::size_t>(instrument_[s])];
                    instrumentValue_[s] += move;
                    largest = std::max(largest, std::abs(move));
                }
                if (orientation_[s] < 0) continue;
                const double step = dx[static_cast<std::size_t>(orientation_[s])];
                orientationValue_[s] += step;
                largest = std::max(largest, std::abs(step) * 1000.0);
            }
            if (!std::isfinite(largest)) return false;
            step = largest;
            if (largest < kConverged) {
                converged = true;
                break;
            }
        }
        stepped = !restart && !converged;
    }
    // Not converged (a gross blunder makes Gauss-Newton creep): the residuals are still tested,
    // so that the blunder can be taken out, but nothing is concluded from them.
    if (!converged && !stepped) return false;
    converged_ = converged;
    // The residuals at the solution, their cofactors from the last factor (the Jacobian has not
    // moved measurably since).
    Linearise(equations, of);
    normal.SelectInverse();
    tested_.assign(observations_.size(), Tested{});
    // Ω of all readings: the means' part, and the readings' deviations from their sight's mean.
    double omega = 0.0;
    std::size_t readings = 0;
    std::size_t known = 0;
    for (std::size_t k = 0; k < equations.size(); ++k) {
        const Equation& e = equations[k];
        const Observation& o = observations_[of[k]];
        Tested& t = tested_[of[k]];
        t.residual = e.misclosure;
        t.cofactor = normal.ResidualCofactor(e);
        t.redundancy = t.cofactor / (e.sigma * e.sigma);
        if (t.redundancy > kTestable) t.w = e.misclosure / std::sqrt(t.cofactor);
        omega += (e.misclosure / e.sigma) * (e.misclosure / e.sigma);
        if (o.kind >= ObservationKind::KnownX) {
            ++known;
            continue;
        }
        readings += o.n;
        for (std::uint32_t m = o.first; m < o.first + o.count; ++m) {
            if (!members_[m].active) continue;
            const double d = Deviation(o, members_[m]);
            omega += d * d / o.readVariance;
        }
    }
    active_ = readings + known;
    activeReadings_ = readings;
    redundancy_ = active_ > unknowns_ ? active_ - unknowns_ : 0;
    varianceFactor_ = redundancy_ > 0 ? omega / static_cast<double>(redundancy_) : 0.0;
    adjusted_.assign(points.size(), AdjustedPoint{});
    for (std::uint32_t p = 0; p < points.size(); ++p) {
        AdjustedPoint& a = adjusted_[p];
        a.x = points[p].x;
        a.y = points[p].y;
        a.h = points[p].h;
        if (places_[p].xy >= 0) {
            const auto u = static_cast<std::uint32_t>(places_[p].xy);
            a.adjusted = true;
            a.sx = std::sqrt(std::max(0.0, normal.Cofactor(u, u)));
            a.sy = std::sqrt(std::max(0.0, normal.Cofactor(u + 1, u + 1)));
            a.qxy = normal.Cofactor(u, u + 1);
        }
        if (places_[p].h >= 0) {
            const auto u = static_cast<std::uint32_t>(places_[p].h);
            a.heightAdjusted = true;
            a.sh = std::sqrt(std::max(0.0, normal.Cofactor(u, u)));
        }
    }
    return true;
}

}  // namespace talvik::adjustment
