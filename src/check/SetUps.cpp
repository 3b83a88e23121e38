#include "check/SetUps.h"

#include <algorithm>
#include <cmath>

#include "check/Geometry.h"

namespace talvik {

namespace {

using geometry::kPi;
using geometry::kTwoPi;
using geometry::Wrap;

// Lengths a survey can hold: a distance or height beyond this is a booking error (or a hostile
// file), never a reading.
constexpr double kLongest = 100000.0;
// An angle in any unit beyond this many is no reading either.
constexpr double kWidest = 10000.0;

// The first number of a record that no reading can be: not finite, or a length over 100 km.
SetUpReading::Absurd AbsurdIn(const ObservationRecord& r) {
    const struct {
        const char* what;
        double value;
        bool length;
    } numbers[] = {{"afstand", r.Distance, true},
                   {"afstand", r.Distance2, true},
                   {"instrumenthoogte", r.InstrumentHeight, true},
                   {"signaalhoogte", r.TargetHeight, true},
                   {"richting", r.Direction, false},
                   {"zenithoek", r.Zenith, false},
                   {"azimut", r.Azimuth, false}};
    for (const auto& n : numbers) {
        if (!std::isfinite(n.value) || std::abs(n.value) > (n.length ? kLongest : kWidest))
            return {r.StationEntry, r.TargetEntry, n.what, n.value};
    }
    return {};
}

}  // namespace

// One set-up's readings of one target, combined, in full precision: made from the readings of a
// run, or from a sight to merge runs.
struct Partial {
    std::uint32_t target = 0;
    int directions = 0;
    bool face1 = false;
    bool face2 = false;
    int zeniths = 0;
    int horizontals = 0;
    int heightDifferences = 0;
    double direction = 0.0;
    double zenith = 0.0;
    double horizontal = 0.0;
    double heightDifference = 0.0;
    double heightOffset = 0.0;
    double directionLow = 0.0;  // the lowest and highest reading less the mean
    double directionHigh = 0.0;
    double zenithLow = 0.0;
    double zenithHigh = 0.0;
    double horizontalLow = 0.0;
    double horizontalHigh = 0.0;

    explicit Partial(const Sight& s)
        : target(s.target),
          directions(s.Directions()),
          face1(s.Face1()),
          face2(s.Face2()),
          zeniths(s.Zeniths()),
          horizontals(s.Horizontals()),
          heightDifferences(s.HeightDifferences()),
          direction(s.Direction()),
          zenith(s.Zenith()),
          horizontal(s.Horizontal()),
          heightDifference(s.HeightDifference()),
          heightOffset(s.HeightOffset()),
          directionLow(s.DirectionLow()),
          directionHigh(s.DirectionHigh()),
          zenithLow(s.ZenithLow()),
          zenithHigh(s.ZenithHigh()),
          horizontalLow(s.HorizontalLow()),
          horizontalHigh(s.HorizontalHigh()) {}

    template <typename C>
    explicit Partial(const C& c)
        : target(c.target),
          directions(c.directions),
          face1(c.face1),
          face2(c.face2),
          zeniths(c.zeniths),
          horizontals(c.horizontals),
          heightDifferences(c.heightDifferences),
          direction(c.directions > 0 ? c.firstDirection + c.directionSum / c.directions : 0.0),
          zenith(c.zeniths > 0 ? c.zenithSum / c.zeniths : 0.0),
          horizontal(c.horizontals > 0 ? c.horizontalSum / c.horizontals : 0.0),
          heightDifference(c.heightDifferences > 0 ? c.heightDifferenceSum / c.heightDifferences
                                                   : 0.0),
          heightOffset(c.heightOffset) {
        if (c.directions > 0) {
            const double mean = c.directionSum / c.directions;
            directionLow = c.directionLow - mean;
            directionHigh = c.directionHigh - mean;
        }
        if (c.zeniths > 0) {
            zenithLow = c.zenithLow - zenith;
            zenithHigh = c.zenithHigh - zenith;
        }
        if (c.horizontals > 0) {
            horizontalLow = c.horizontalLow - horizontal;
            horizontalHigh = c.horizontalHigh - horizontal;
        }
    }

    // Takes in a later run of the same target: weighted means, the spreads around the new mean.
    void Merge(const Partial& b) {
        const auto blend = [](double a, int na, double b, int nb) {
            return a + (b - a) * nb / (na + nb);
        };
        const int na = directions;
        const int nb = b.directions;
        if (nb > 0 && na == 0) {
            direction = b.direction;
            directionLow = b.directionLow;
            directionHigh = b.directionHigh;
        } else if (nb > 0) {
            const double there = direction + Wrap(b.direction - direction);
            const double mean = blend(direction, na, there, nb);
            directionLow =
                std::min(directionLow + (direction - mean), b.directionLow + (there - mean));
            directionHigh =
                std::max(directionHigh + (direction - mean), b.directionHigh + (there - mean));
            direction = mean;
        }
        if (b.zeniths > 0 && zeniths == 0) {
            zenith = b.zenith;
            zenithLow = b.zenithLow;
            zenithHigh = b.zenithHigh;
        } else if (b.zeniths > 0) {
            const double mean = blend(zenith, zeniths, b.zenith, b.zeniths);
            zenithLow = std::min(zenithLow + (zenith - mean), b.zenithLow + (b.zenith - mean));
            zenithHigh = std::max(zenithHigh + (zenith - mean), b.zenithHigh + (b.zenith - mean));
            zenith = mean;
        }
        if (b.horizontals > 0 && horizontals == 0) {
            horizontal = b.horizontal;
            horizontalLow = b.horizontalLow;
            horizontalHigh = b.horizontalHigh;
        } else if (b.horizontals > 0) {
            const double mean = blend(horizontal, horizontals, b.horizontal, b.horizontals);
            horizontalLow = std::min(horizontalLow + (horizontal - mean),
                                     b.horizontalLow + (b.horizontal - mean));
            horizontalHigh = std::max(horizontalHigh + (horizontal - mean),
                                      b.horizontalHigh + (b.horizontal - mean));
            horizontal = mean;
        }
        if (b.heightDifferences > 0)
            heightDifference = heightDifferences > 0
                                   ? blend(heightDifference, heightDifferences, b.heightDifference,
                                           b.heightDifferences)
                                   : b.heightDifference;
        if (b.zeniths > 0) heightOffset = b.heightOffset;  // the later one
        directions = std::min(na + nb, Sight::kCount);
        face1 = face1 || b.face1;
        face2 = face2 || b.face2;
        zeniths = std::min(zeniths + b.zeniths, Sight::kCount);
        horizontals = std::min(horizontals + b.horizontals, Sight::kCount);
        heightDifferences = std::min(heightDifferences + b.heightDifferences, Sight::kCount);
    }

    Sight Kept() const {
        const auto capped = [](int count) {
            return static_cast<std::uint8_t>(std::min(count, Sight::kCount));
        };
        Sight s;
        s.target = target;
        s.directions_ = static_cast<std::uint8_t>(capped(directions) | (face1 ? Sight::kFace1 : 0) |
                                                  (face2 ? Sight::kFace2 : 0));
        s.zeniths_ = capped(zeniths);
        s.horizontals_ = capped(horizontals);
        s.heightDifferences_ = capped(heightDifferences);
        s.direction_ = direction;
        s.zenith_ = zenith;
        s.horizontal_ = horizontal;
        s.heightDifference_ = heightDifference;
        s.heightOffset_ = heightOffset;
        if (s.HasSpread()) {
            s.directionLow_ = directionLow;
            s.directionHigh_ = directionHigh;
            s.zenithLow_ = zenithLow;
            s.zenithHigh_ = zenithHigh;
            s.horizontalLow_ = horizontalLow;
            s.horizontalHigh_ = horizontalHigh;
        }
        return s;
    }
};

std::uint32_t SetUpReading::NodeOf(std::uint32_t entry) {
    if (entry >= byEntry_.size())
        byEntry_.resize(std::max<std::size_t>(entry + 1, byEntry_.size() + byEntry_.size() / 4));
    std::uint32_t& node = byEntry_[entry].node;
    if (node == 0) node = ++nodeCount_;
    return node - 1;
}

void SetUpReading::Put(const ObservationRecord& record) {
    if (record.Zenith > 200.0 && ++face2Readings_ == 1) {
        face2Station_ = record.StationEntry;
        face2Target_ = record.TargetEntry;
    }
    if (record.StationEntry == 0) return;
    if (const Absurd absurd = AbsurdIn(record); absurd.what[0] != '\0') {
        if (absurd_.size() < CheckReport::kKept)
            absurd_.push_back(absurd);
        else
            ++absurdLeftOut_;
        NodeOf(record.StationEntry);  // the names are points of the report
        if (record.TargetEntry != 0) NodeOf(record.TargetEntry);
        return;
    }
    const std::uint32_t station = NodeOf(record.StationEntry);
    const bool stationRecord = record.IsSetUp();
    // A station record with an azimuth is no reading either.
    if (!stationRecord && record.Azimuth == 0.0) ++readings_;
    // A station record made at a change of rounds carries no reading and opens no set-up.
    if (stationRecord && record.Target == Name9("0")) return;
    const std::uint32_t target = record.TargetEntry != 0 ? NodeOf(record.TargetEntry) : kNone;
    // The records of a set-up need not follow each other: a face-2 reading of a set-up opened
    // without a station record goes behind the latest station record of another one. So a
    // record joins its station's latest set-up; only a station record with a reference opens a
    // new one, unless it repeats the one that opened the latest (the copy that follows a face-2
    // block).
    std::uint32_t& last = byEntry_[record.StationEntry].latest;
    const auto same = [&](const Opening& a) {
        return a.opened && a.openingTarget == record.TargetEntry &&
               a.openingDirection == record.Direction &&
               a.openingInstrumentHeight == record.InstrumentHeight &&
               a.openingTargetHeight == record.TargetHeight;
    };
    if (last == 0 || (stationRecord && !same(setUps_[last - 1]))) {
        setUps_.push_back({station, record.TargetEntry, stationRecord, false, record.Direction,
                           record.InstrumentHeight, record.TargetHeight, 0.0});
        last = static_cast<std::uint32_t>(setUps_.size());
    }
    if (current_ == nullptr || current_->setUp != last - 1) {
        current_ = &OpenFor(last - 1);
        current_->used = ++switches_;
    }
    if (target != kNone) Combine(record, target, stationRecord);
}

// Face 2 is reduced to face 1 with the half and full circle of the file's unit.
void SetUpReading::Combine(const ObservationRecord& record, std::uint32_t target,
                           bool stationRecord) {
    Combining& sight = current_->For(target);
    double direction = AngleToRadians(record.Direction, unit_);
    double zenith =
        !stationRecord && record.Zenith > 0.0 ? AngleToRadians(record.Zenith, unit_) : 0.0;
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
    const auto horizontal = [&sight](double h) {
        sight.horizontalLow = sight.horizontals == 0 ? h : std::min(sight.horizontalLow, h);
        sight.horizontalHigh = sight.horizontals == 0 ? h : std::max(sight.horizontalHigh, h);
        sight.horizontalSum += h;
        ++sight.horizontals;
    };
    if (record.Distance > 0.0 && zenith > 0.0) {
        const geometry::SlopeReduced reduced =
            geometry::ReduceSlope(record.Distance, zenith, heightOffset);
        horizontal(reduced.horizontal);
        sight.heightDifferenceSum += reduced.heightDifference;
        ++sight.heightDifferences;
    } else if (record.Distance > 0.0) {
        horizontal(record.Distance);
    } else if (record.Distance2 > 0.0) {
        horizontal(record.Distance2);
    }
    if (record.Azimuth != 0.0 && !sight.hasAzimuth) {
        sight.hasAzimuth = true;
        sight.azimuthOrientation = AngleToRadians(record.Azimuth, unit_) - direction;
    }
}

SetUpReading::Combining& SetUpReading::Open::For(std::uint32_t target) {
    constexpr std::size_t kSearched = 48;
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

// The open set-up of that number, or the one it takes the place of: the least recently current
// one, whose run is kept.
SetUpReading::Open& SetUpReading::OpenFor(std::uint32_t setUp) {
    if (open_.empty()) open_.resize(kOpen);
    Open* oldest = &open_[0];
    for (Open& o : open_) {
        if (o.setUp == setUp) return o;
        if (o.used < oldest->used) oldest = &o;
    }
    Flush(*oldest);
    oldest->setUp = setUp;
    return *oldest;
}

void SetUpReading::Flush(Open& run) {
    if (run.setUp == kNone) return;
    Opening& setUp = setUps_[run.setUp];
    for (const Combining& c : run.combining) {
        if (c.hasAzimuth && !setUp.hasAzimuth) {
            setUp.hasAzimuth = true;
            setUp.azimuthOrientation = c.azimuthOrientation;
        }
    }
    if (!run.combining.empty()) {
        runs_.push_back({run.setUp, static_cast<std::uint32_t>(kept_.size()),
                         static_cast<std::uint32_t>(run.combining.size())});
        for (const Combining& c : run.combining)
            kept_.push_back(Partial(c).Kept());
    }
    run.setUp = kNone;
    run.combining.clear();
    run.at.clear();
}

void SetUpReading::End() {
    if (ended_) return;
    ended_ = true;
    for (Open& o : open_)
        Flush(o);
    current_ = nullptr;
}

void SetUpReading::TakeSetUps(std::vector<SetUp>& setUps, std::vector<Sight>& sights) {
    End();
    std::vector<std::vector<std::uint32_t>> runsOf(setUps_.size());
    for (std::uint32_t r = 0; r < runs_.size(); ++r)
        runsOf[runs_[r].setUp].push_back(r);
    setUps.assign(setUps_.size(), SetUp{});
    std::vector<Partial> merged;
    std::unordered_map<std::uint32_t, std::size_t> mergedAt;  // target -> place in `merged`
    for (std::uint32_t u = 0; u < setUps_.size(); ++u) {
        SetUp& s = setUps[u];
        s.station = setUps_[u].station;
        s.hasAzimuth = setUps_[u].hasAzimuth;
        s.azimuthOrientation = setUps_[u].azimuthOrientation;
        const std::vector<std::uint32_t>& its = runsOf[u];
        if (its.size() == 1) {
            s.firstSight = runs_[its[0]].first;
            s.sightCount = runs_[its[0]].count;
        } else if (its.size() > 1) {
            merged.clear();
            mergedAt.clear();
            for (const std::uint32_t r : its) {
                for (std::uint32_t k = runs_[r].first; k < runs_[r].first + runs_[r].count; ++k) {
                    const Sight& sight = kept_[k];
                    const auto [at, isNew] = mergedAt.try_emplace(sight.target, merged.size());
                    if (isNew)
                        merged.emplace_back(sight);
                    else
                        merged[at->second].Merge(Partial(sight));
                }
            }
            s.firstSight = static_cast<std::uint32_t>(kept_.size());
            s.sightCount = static_cast<std::uint32_t>(merged.size());
            for (const Partial& p : merged)
                kept_.push_back(p.Kept());
        }
    }
    sights = std::move(kept_);
    kept_.clear();
    std::vector<RunOf>().swap(runs_);
    std::vector<Opening>().swap(setUps_);
}

}  // namespace talvik
