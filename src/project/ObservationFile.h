#pragma once
// The terrestrial observation file (.OBS for version 3, .TOB for version 1): one line per
// observation, directions grouped in series that restart at every set-up of a station.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/Tables.h"
#include "platform/UserInterface.h"
#include "project/OutputFile.h"
#include "project/ProjectValues.h"

namespace talvik {

// The four header lines, written when the file is created.
void WriteObservationHeader(OutputFile& file, const ProjectValues& values);

// The angle unit and the closing "$" of the header block, written after the field file is read.
void WriteObservationAngleUnit(OutputFile& file, AngleUnit angleUnit);

// Writes the body of the file record by record: one line per observation record, a station
// record (OpensSeries) only advances the series of its station.
class ObservationLines final : public ObservationSink {
  public:
    // `total`: the number of records to come, for the progress amount; 0 when not known, then
    // progress is shown only by Finish.
    ObservationLines(OutputFile& file, const ProjectValues& values, AngleUnit angleUnit,
                     UserInterface& ui, std::uint64_t total = 0);
    void Put(const ObservationRecord& record) override;
    // Writes "$" and closes the file; false when anything written to it failed.
    bool Finish() { return body_.Finish(); }
    // Finish in two halves: CloseFile does not touch the user interface, so that it can run on
    // the thread that wrote the lines; ShowLast shows the final count.
    bool CloseFile() { return body_.CloseFile(); }
    void ShowLast() { body_.ShowLast(); }
    // Station records (set-ups) and observation lines so far.
    long long StationRecords() const { return stationRecords_; }
    long long ObservationLineCount() const {
        return static_cast<long long>(records_) - stationRecords_;
    }

  private:
    static constexpr std::string_view kCaption = "Opslaan Waarnemingen: ";

    OutputFile& file_;
    const ProjectValues& values_;
    AngleUnit angleUnit_;
    BodyLines body_;
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

}  // namespace talvik
