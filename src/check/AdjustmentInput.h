#pragma once
// The readings the adjustment takes, kept one by one as the records come (the check's own sights
// are combined means), with the set-ups told apart as the check tells them, and the network
// built from them and the check's approximate coordinates.

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "check/Adjustment.h"
#include "check/NetworkCheck.h"
#include "model/Tables.h"

namespace talvik::adjustment {

// Sigmas from the check's choices.
Sigmas SigmasFrom(const CheckChoices& choices);

class AdjustmentReadings {
  public:
    // Past this many readings the adjustment steps aside (the structural findings stay).
    static constexpr std::size_t kMostReadings = 400000;

    explicit AdjustmentReadings(AngleUnit unit) : unit_(unit) {}
    // `line`: the record's line in the field file, 0 when not known.
    void Put(const ObservationRecord& record, std::uint32_t line = 0);
    bool TooMany() const { return tooMany_; }
    AngleUnit Unit() const { return unit_; }
    std::size_t Count() const { return readings_.size(); }
    // The network on the check's points: known and placed points with their coordinates.
    Network Build(const CheckReport& report) const;

  private:
    struct SetUp {
        std::uint32_t station = 0;
        std::string target;  // the opening station record's, for its copy after a face-2 block
        double direction = 0.0, instrumentHeight = 0.0, targetHeight = 0.0;
        bool opened = false;
    };
    std::uint32_t NameIndex(const Name9& name);

    AngleUnit unit_;
    bool tooMany_ = false;
    std::vector<std::string> names_;
    std::unordered_map<std::string, std::uint32_t> byName_;
    std::vector<std::uint32_t> latest_;  // per name: its latest set-up + 1
    std::vector<SetUp> setUps_;
    std::vector<Reading> readings_;  // station and target: indices into names_
};

// The adjustment and the tests on the check's report: the rejections as errors, the summary as
// a note, the global test's failure as a warning, the adjusted coordinates and their standard
// deviations into the report's points.
void AddAdjustment(CheckReport& report, const AdjustmentReadings& readings,
                   const CheckChoices& choices);

}  // namespace talvik::adjustment
