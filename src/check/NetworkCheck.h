#pragma once
// The network check: approximate coordinates for every point the known points do not give,
// and the findings that point at field-book blunders before the network goes to adjustment.
// It reads the observations of the same reading the export makes and never changes anything
// the export writes.
//
// Conventions: X east, Y north, bearings clockwise from north, heights up; angles are taken in
// the field file's unit and computed in radians; the standard deviations are the export's.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/ExportOptions.h"
#include "model/Tables.h"

namespace talvik {

enum class Severity { Error, Warning };

struct Finding {
    Severity severity = Severity::Error;
    std::string text;                 // Dutch, naming the points and the numbers
    std::vector<std::size_t> points;  // indices into CheckReport::points
};

enum class PointState { Known, Placed, NotPlaced };

struct CheckPoint {
    std::string name;  // trailing blanks removed
    PointState state = PointState::NotPlaced;
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    bool hasHeight = false;
    bool flagged = false;  // named by an error
};

// A sight from a station to a target, as the sketch draws it.
struct CheckLine {
    std::size_t from = 0;
    std::size_t to = 0;
    bool flagged = false;
};

struct CheckReport {
    // Findings beyond this many are counted, not kept: a network that is wrong throughout
    // (another file's names, say) would otherwise fill memory with texts nobody reads.
    static constexpr std::size_t kKept = 1000;

    std::vector<CheckPoint> points;
    std::vector<CheckLine> lines;
    std::vector<Finding> findings;
    std::size_t errorsLeftOut = 0;
    std::size_t warningsLeftOut = 0;
    std::vector<std::string> notes;  // the scales of the free set-ups
    std::size_t Errors() const;
    std::size_t Warnings() const;
    // The index of the point of that name (trailing blanks ignored); points.size() when none.
    std::size_t Find(std::string_view name) const;
};

// What the check takes from the export's choices: the standard deviations as numbers (a text
// that is not a number counts as its first-run default), the face-2 choice and the version.
struct CheckChoices {
    AngleUnit unit = AngleUnit::Gon;
    bool face2to1 = false;   // the export reduces face 2 (the check always does for itself)
    bool heights = true;     // heights are exported (version 3)
    double absHor = 0.003;   // gon
    double relHor = 0.0003;  // gon per km
    double absVer = 0.003;
    double relVer = 0.0003;
    double absDis = 0.002;  // m
    double relDis = 2.0;    // ppm
    double sdXY = 0.003;    // m
    double sdZ = 0.003;
    double sigmaCent = 0.003;
    double sigmaInst = 0.005;
};
CheckChoices ChoicesFrom(const ExportOptions& options, AngleUnit unit);

// An angle of the field file in radians.
double AngleToRadians(double value, AngleUnit unit);

// Collects the observation records of one reading (it is the sink the reading hands them to,
// or the second half of a tee beside the export's writer), then checks them against the
// point table.
class NetworkCheck final : public ObservationSink {
  public:
    void Put(const ObservationRecord& record) override;
    // `points` as the reading left it; entries 1 .. knownPoints came from the IDEX file. The
    // collected records are let go while they are used: Run once.
    CheckReport Run(const PointTable& points, std::size_t knownPoints, const CheckChoices& choices);
    // Observation records with a zenith angle beyond 200 (the export's face-2 test).
    std::size_t Face2Readings() const { return face2Readings_; }

  private:
    // One reading as it is kept until Run, in 40 bytes: the readings of a large network are
    // many, and they are kept in blocks so that their store never has to move.
    struct Reading {
        std::uint32_t setUp = 0;  // kAzimuth set: an azimuth waits in azimuths_
        std::uint32_t target = 0;
        double direction = 0.0;
        double zenith = 0.0;        // 0: none
        double distance = 0.0;      // > 0 a slope distance, < 0 a horizontal one, 0 none
        double heightOffset = 0.0;  // instrument height less target height
    };
    static constexpr std::uint32_t kAzimuth = 0x80000000u;
    static constexpr std::size_t kBlockShift = 14;
    struct SetUp {
        std::uint32_t station = 0;
        bool opened = false;  // by a station record with a reference target:
        std::uint32_t openingTarget = 0;
        double openingDirection = 0.0;
        double openingInstrumentHeight = 0.0;
        double openingTargetHeight = 0.0;
    };
    struct NameHash {
        std::size_t operator()(const Name9& name) const;
    };

    // A record is taken a few records after it came, once the processor has had time to fetch
    // the place of its target's name in the table: those look-ups miss the cache.
    static constexpr std::size_t kAhead = 16;
    void Take(const ObservationRecord& record);
    void TakeWaiting();
    std::array<ObservationRecord, kAhead> waiting_;
    std::size_t waitingFirst_ = 0;
    std::size_t waitingCount_ = 0;

    std::uint32_t Intern(const Name9& name);
    const Reading& ReadingAt(std::size_t i) const {
        return blocks_[i >> kBlockShift][i & ((std::size_t{1} << kBlockShift) - 1)];
    }

    std::vector<Name9> names_;
    // Open addressing, a power of two in size, at most half full. A slot holds the name's bytes
    // beside its index, so that a look-up touches one place in memory: index + 1, 0 empty.
    struct Slot {
        std::uint64_t head = 0;  // the name's first eight bytes
        std::uint32_t index = 0;
        char last = 0;  // and its ninth
    };
    static Slot SlotOf(const Name9& name, std::uint32_t index);
    std::vector<Slot> slots_;
    std::uint32_t Lookup(const Name9& name) const;  // names_.size() when unknown
    std::vector<std::unique_ptr<Reading[]>> blocks_;
    std::size_t readings_ = 0;
    std::vector<std::pair<std::size_t, double>> azimuths_;  // reading, azimuth
    std::vector<SetUp> setUps_;
    std::vector<std::uint32_t> latest_;  // per name: its latest set-up + 1, 0 none
    Name9 lastStation_;                  // the station of the previous record, and its index
    std::uint32_t lastStationIndex_ = 0;
    bool haveLastStation_ = false;
    std::size_t face2Readings_ = 0;
    Name9 face2Station_;
    Name9 face2Target_;
};

}  // namespace talvik
