#pragma once
// Turns the point, set-up, observation and round records of a field file into entries of the
// point table and the observation table: code selection, face-2 reduction or separation, and
// the bookkeeping of round sets.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fieldfile/RecordCode.h"
#include "model/ExportOptions.h"
#include "model/Tables.h"
#include "platform/UserInterface.h"

namespace talvik {

// How coordinate pairs and heights of point records reach the point table; records 21, 22 and
// 23 of the field file change it part-way.
struct CoordinateFrame {
    bool reversed = false;  // a pair is listed Y first
    double scale = 1.0;
    double xOffset = 0.0;
    double yOffset = 0.0;
    double zOffset = 0.0;
};

// The all-zero entry at index 0 of an observation table.
ObservationRecord ObservationPlaceholder();

// Where the observations go while they are gathered; a set-up record (IsSetUp) is a station
// record.
class ObservationStore {
  public:
    virtual ~ObservationStore() = default;
    virtual void Append(const ObservationRecord& record) = 0;
    virtual bool HasStationRecord() const = 0;
    // Places a face-2 observation right behind the most recent station record S. When the
    // face-2 block is not open yet, a copy of S follows it, so that S, a, b becomes S, x, S, a, b;
    // with the block open S, x, S, a, b becomes S, x, y, S, a, b. Needs HasStationRecord().
    virtual void PlaceFace2(const ObservationRecord& record, bool blockOpen) = 0;
    // The table in writing order with the placeholder at index 0; the store is empty afterwards.
    virtual ObservationTable Take() = 0;
    // The records that follow come from this line of the field file (counted from 1).
    virtual void AtLine(std::uint64_t /*line*/) {}
};

// Keeps the table as head + tail, tail starting at the most recent station record, so that
// every operation is constant time (amortised). Nothing is ever placed before the tail's
// start, so the head is final: its records go to a sink as soon as they join it, and only the
// few records of the current set-up are held.
class SplitObservationStore final : public ObservationStore {
  public:
    // The records go to a table that Take() returns.
    SplitObservationStore() : sink_(&table_) {}
    // The records go to `sink`; Flush() sends the last ones.
    explicit SplitObservationStore(ObservationSink& sink) : sink_(&sink) {}
    SplitObservationStore(const SplitObservationStore&) = delete;
    SplitObservationStore& operator=(const SplitObservationStore&) = delete;

    void Append(const ObservationRecord& record) override;
    bool HasStationRecord() const override { return !tail_.empty(); }
    void PlaceFace2(const ObservationRecord& record, bool blockOpen) override;
    ObservationTable Take() override;
    void Flush();
    // The records that follow are stamped with this line.
    void AtLine(std::uint64_t line) override { line_ = static_cast<std::uint32_t>(line); }

  private:
    struct TableSink final : ObservationSink {
        ObservationTable table{ObservationPlaceholder()};
        void Put(const ObservationRecord& record) override { table.push_back(record); }
    };

    TableSink table_;
    ObservationSink* sink_;
    std::vector<ObservationRecord> tail_;
    std::uint32_t line_ = 0;
};

// A zenith angle beyond 200 (gon, whatever the angle unit) is a second-face reading.
bool IsFace2(double zenith);

// True when the object code (a leading "-" dropped) begins with one of the non-empty entries
// 1..16 of selCode, the entries trimmed of blanks and compared case-sensitively.
bool IsCodeSelected(std::string_view code, const std::array<std::string, 17>& selCode);
// The same with the entries trimmed and the empty ones left out beforehand.
bool IsCodeSelected(std::string_view code, const std::vector<std::string_view>& entries);
std::vector<std::string_view> SelectionEntries(const std::array<std::string, 17>& selCode);

// Texts of the messages the gathering shows.
inline constexpr std::string_view kRoundMismatchText =
    "Mismatch in aantallen waarnemingen voor standplaats: ";

// What the gathering met, for the summary of a run.
struct GatheringCounts {
    long long roundSets = 0;   // records 160
    long long mismatches = 0;  // round sets whose counts did not match
};

class Gathering {
  public:
    Gathering(PointTable& points, const ExportOptions& options, const CoordinateFrame& frame,
              ObservationStore& store, UserInterface& ui);

    // Handles one record whose words are `words` (field n is words[n]); false when `code` is
    // not a point, set-up, observation or round record.
    bool Handle(RecordCode code, const std::vector<std::string_view>& words);

    // Marks the first point of that name used, appending it without coordinates when absent;
    // returns its entry.
    std::uint32_t MarkPointUsed(const Name9& name);

    const GatheringCounts& Counts() const { return counts_; }

  private:
    // A field of the current line; null when the line does not have it.
    const std::string_view* Field(std::size_t n) const;
    bool NumberField(std::size_t n, double& value) const;

    void PointWithCoordinates(bool withHeight);
    void PointHeight();
    void SetUp();
    // Records 102/107 and 103/108: the set-up, then a record from the station to field 5.
    ObservationRecord SetUpToTarget();
    // Marks the station and the target of field 5 used and puts their entries in `record`.
    void MarkSetUpUsed(ObservationRecord& record);
    // MarkPointUsed for the current station, once per station; returns its entry.
    std::uint32_t MarkStationUsed();
    // Records 111 and 112: the round bookkeeping (which may replace the target name in
    // `target`), then the selection; false when the observation is not selected.
    bool BeginObservation(Name9& target);
    void StationWithReference();
    void StationWithAzimuth();
    void DirectionZenithDistance();
    void DirectionDistance();
    void StartRounds();
    void EndRounds();

    // Round bookkeeping before the selection of an observation; may replace `target`.
    void KeepRounds(Name9& target, bool hasTarget);
    bool Selected() const;
    void AppendStationRecord(const Name9& target, double direction);

    PointTable& points_;
    const ExportOptions& options_;
    const std::vector<std::string_view> selection_;  // SelectionEntries of the options
    const CoordinateFrame& frame_;
    ObservationStore& store_;
    UserInterface& ui_;
    const std::vector<std::string_view>* words_ = nullptr;

    // Set-up state.
    Name9 station_;
    bool stationMarked_ = false;      // MarkPointUsed(station_) has been done
    std::uint32_t stationEntry_ = 0;  // and found this entry
    double instrumentHeight_ = 0.0;
    double targetHeight_ = 0.0;
    ObservationRecord working_;
    bool face2BlockOpen_ = false;

    // Round-set state. The names of the first round are kept only as far as they were
    // collected (positions 0..lastPosition, unwritten ones empty), so a record 160 costs no
    // more than the observations that follow it.
    bool hasRoundList_ = false;
    int lastPosition_ = -1;  // the last position of the name list, n + 1
    std::vector<Name9> roundNames_;
    std::int16_t rounds_ = 0;
    std::int16_t collected_ = 0;
    std::int16_t observed_ = 0;
    std::int16_t position_ = 0;
    std::int16_t step_ = 0;
    std::int16_t previousStep_ = 0;

    GatheringCounts counts_;
};

}  // namespace talvik
