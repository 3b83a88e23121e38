#pragma once
// The terrestrial observation file (.OBS for version 3, .TOB for version 1): one line per
// observation, directions grouped in series that restart at every set-up of a station.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/Tables.h"
#include "platform/UserInterface.h"
#include "project/ObservationRelay.h"
#include "project/OutputFile.h"
#include "project/ProjectValues.h"

namespace talvik {

// The four header lines, written when the file is created.
void WriteObservationHeader(OutputFile& file, const ProjectValues& values);

// The angle unit and the closing "$" of the header block, written after the field file is read.
void WriteObservationAngleUnit(OutputFile& file, AngleUnit angleUnit);

// Writes the body of the file record by record: one line per observation record, a station
// record (OpensSeries) only advances the series of its station. It is given no user
// interface, so it can run on the writing thread: what it did is read from it afterwards.
class ObservationWriter final : public BesideWriter {
  public:
    ObservationWriter(OutputFile& file, const ProjectValues& values, AngleUnit angleUnit);
    void Put(const ObservationRecord& record) override;
    // Writes "$" and closes the file; false when anything written to it failed.
    bool Close() override;
    // Records so far, set-ups (station records) among them, and observation lines.
    std::uint64_t Records() const { return records_; }
    long long StationRecords() const { return stationRecords_; }
    long long ObservationLineCount() const {
        return static_cast<long long>(records_) - stationRecords_;
    }

  private:
    OutputFile& file_;
    const ProjectValues& values_;
    AngleUnit angleUnit_;
    // Set-ups seen so far per station: open addressing, at most half full.
    class SetUpCounts {
      public:
        long long& operator[](const Name9& station);

      private:
        struct Slot {
            Name9 station;
            bool used = false;
            long long count = 0;
        };
        std::vector<Slot> slots_;
        std::size_t used_ = 0;
    };
    SetUpCounts setups_;
    std::string seriesLabel_ = "    R0  ";
    std::string line_;  // room for the longest line
    std::uint64_t records_ = 0;
    long long stationRecords_ = 0;
};

// "Opslaan Waarnemingen: <lines>", the progress text of the observation file.
std::string ObservationProgressText(long long lines);

}  // namespace talvik
