#pragma once
// The readings combined per set-up: the observation records of one reading, taken as they come,
// become set-ups, each with one sight per target holding the means of its readings (face 2
// reduced to face 1 with the half circle of the file's unit), how many readings made them and
// how far they spread.
//
// Set-ups: the observations of one station belong to one set-up until a station record of that
// station opens a new one; a station record that repeats the one that opened the set-up is the
// copy that follows a face-2 block, and a station record of a round change (target `0`) opens
// nothing. A station set up again without a station record joins its earlier set-up (its runs
// of readings are merged: weighted means, spreads around the merged mean).

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "check/NetworkCheck.h"
#include "model/Tables.h"

namespace talvik {

// What one set-up says about one target, its readings combined. Read it through the accessors:
// angles in radians, lengths in metres (how they are stored is this struct's affair).
class Sight {
  public:
    static constexpr int kCount = 63;  // counts stop here; enough to weigh means

    std::uint32_t target = 0;  // the point (an index of the network's points)

    int Directions() const { return directions_ & kCount; }  // readings of the direction
    bool Face1() const { return (directions_ & kFace1) != 0; }
    bool Face2() const { return (directions_ & kFace2) != 0; }
    int Zeniths() const { return zeniths_; }
    int Horizontals() const { return horizontals_; }
    int HeightDifferences() const { return heightDifferences_; }
    bool HasDirection() const { return Directions() > 0; }
    bool HasZenith() const { return zeniths_ > 0; }
    bool HasHorizontal() const { return horizontals_ > 0; }
    bool HasHeightDifference() const { return heightDifferences_ > 0; }

    double Direction() const { return direction_; }  // the mean, face 2 reduced
    double Zenith() const { return zenith_; }        // the mean, face 2 reduced
    double Horizontal() const { return horizontal_; }
    // The mean trigonometric height difference of the slope distances (station to target).
    double HeightDifference() const { return heightDifference_; }
    // Instrument height less target height of the latest zenith angle.
    double HeightOffset() const { return heightOffset_; }
    // The lowest and highest reading less the mean (zero for a single reading).
    double DirectionLow() const { return directionLow_; }
    double DirectionHigh() const { return directionHigh_; }
    double ZenithLow() const { return zenithLow_; }
    double ZenithHigh() const { return zenithHigh_; }
    double HorizontalLow() const { return horizontalLow_; }
    double HorizontalHigh() const { return horizontalHigh_; }
    bool HasSpread() const { return Directions() >= 2 || zeniths_ >= 2 || horizontals_ >= 2; }

  private:
    friend struct Partial;
    static constexpr std::uint8_t kFace1 = 0x40;
    static constexpr std::uint8_t kFace2 = 0x80;
    std::uint8_t directions_ = 0;  // the count, with the faces in the two high bits
    std::uint8_t zeniths_ = 0;
    std::uint8_t horizontals_ = 0;
    std::uint8_t heightDifferences_ = 0;
    double direction_ = 0.0;
    double zenith_ = 0.0;
    double horizontal_ = 0.0;
    double heightDifference_ = 0.0;
    double heightOffset_ = 0.0;
    double directionLow_ = 0.0;
    double directionHigh_ = 0.0;
    double zenithLow_ = 0.0;
    double zenithHigh_ = 0.0;
    double horizontalLow_ = 0.0;
    double horizontalHigh_ = 0.0;
};

// A set-up: its station and its sights (numbers sights[first .. first + count) of the network).
struct SetUp {
    std::uint32_t station = 0;  // the point
    std::uint32_t firstSight = 0;
    std::uint32_t sightCount = 0;
    bool hasAzimuth = false;
    double azimuthOrientation = 0.0;  // orientation from its first azimuth record (radians)
};

// Takes the observation records and combines them per set-up and target.
class SetUpReading {
  public:
    explicit SetUpReading(AngleUnit unit) : unit_(unit) {}
    void Put(const ObservationRecord& record);
    // No more records come.
    void End();

    // The point of a point-table entry + 1; 0 when no record named it.
    std::uint32_t PointOfEntry(std::uint32_t entry) const {
        return entry < byEntry_.size() ? byEntry_[entry].node : 0u;
    }
    std::uint32_t Points() const { return nodeCount_; }  // named by the records
    // The records that are readings, not station records: those the selection let through.
    std::size_t Readings() const { return readings_; }
    void ForgetEntries() { std::vector<EntryState>().swap(byEntry_); }
    // The set-ups and their sights, the merged runs put together; once, after End.
    void TakeSetUps(std::vector<SetUp>& setUps, std::vector<Sight>& sights);

    // Face-2 zenith angles (beyond 200 in the unit of the records) and the entries of the first.
    std::size_t Face2Readings() const { return face2Readings_; }

    // The readings left out because a number in them is beyond what a survey holds (not finite,
    // or a length over 100 km): the record's names (entries) and the number.
    struct Absurd {
        std::uint32_t stationEntry = 0;
        std::uint32_t targetEntry = 0;
        const char* what = "";  // "afstand", "richting", ...
        double value = 0.0;
    };
    const std::vector<Absurd>& AbsurdReadings() const { return absurd_; }
    std::size_t AbsurdLeftOut() const { return absurdLeftOut_; }
    std::uint32_t Face2Station() const { return face2Station_; }
    std::uint32_t Face2Target() const { return face2Target_; }

  private:
    // The readings of one set-up to one target while they are combined (face 2 reduced).
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
        double horizontalLow = 0.0;
        double horizontalHigh = 0.0;
        int heightDifferences = 0;
        double heightDifferenceSum = 0.0;
        bool hasAzimuth = false;
        double azimuthOrientation = 0.0;
        double heightOffset = 0.0;  // of the latest zenith angle
    };
    // A set-up as its station record opened it.
    struct Opening {
        std::uint32_t station = 0;        // point
        std::uint32_t openingTarget = 0;  // entry of the station record's target
        bool opened = false;              // by a station record
        bool hasAzimuth = false;
        double openingDirection = 0.0;
        double openingInstrumentHeight = 0.0;
        double openingTargetHeight = 0.0;
        double azimuthOrientation = 0.0;
    };
    // A set-up whose readings are being combined.
    struct Open {
        std::uint32_t setUp = 0xFFFFFFFFu;
        std::uint64_t used = 0;  // when it was last the current one
        std::vector<Combining> combining;
        // Where a target stands in `combining`: a station of a detail survey may see thousands.
        std::unordered_map<std::uint32_t, std::uint32_t> at;
        Combining& For(std::uint32_t target);
    };
    std::uint32_t NodeOf(std::uint32_t entry);
    void Combine(const ObservationRecord& record, std::uint32_t target, bool stationRecord);
    Open& OpenFor(std::uint32_t setUp);
    void Flush(Open& run);

    AngleUnit unit_;
    struct EntryState {
        std::uint32_t node = 0;    // + 1
        std::uint32_t latest = 0;  // the station's latest set-up + 1
    };
    std::vector<EntryState> byEntry_;
    std::uint32_t nodeCount_ = 0;
    std::vector<Opening> setUps_;
    // The runs of readings as they were flushed, one after the other in `kept_`; a set-up of one
    // run keeps its sights there, the merged sights of one of more runs go behind them.
    struct RunOf {
        std::uint32_t setUp = 0;
        std::uint32_t first = 0;
        std::uint32_t count = 0;
    };
    std::vector<RunOf> runs_;
    std::vector<Sight> kept_;
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    // The records of neighbouring set-ups come mixed (a set-up's face-2 readings behind the next
    // one's station record), so the last few stay open and such a set-up keeps one run.
    static constexpr std::size_t kOpen = 4;
    std::vector<Open> open_;
    Open* current_ = nullptr;
    std::uint64_t switches_ = 0;
    bool ended_ = false;
    std::size_t readings_ = 0;
    std::size_t face2Readings_ = 0;
    std::vector<Absurd> absurd_;
    std::size_t absurdLeftOut_ = 0;
    std::uint32_t face2Station_ = 0;
    std::uint32_t face2Target_ = 0;
};

}  // namespace talvik
