#pragma once
// Reads an open field file from its current position to its end: the frame and unit records
// are handled here, every other record goes to the gathering, which extends `points` and fills
// `observations` (emptied to its placeholder first). Messages and progress go through `ui`.

#include <atomic>
#include <future>
#include <optional>
#include <string>

#include "model/ExportOptions.h"
#include "model/Tables.h"
#include "platform/UserInterface.h"
#include "text/LineReader.h"

namespace talvik {

struct GatheringCounts;

// `counts`, when given, receives what the gathering met.
void ReadFieldFile(LineReader& file, const ExportOptions& options, PointTable& points,
                   ObservationTable& observations, AngleUnitState& angleUnit, UserInterface& ui,
                   GatheringCounts* counts = nullptr);

// The same with the observations handed to `sink` in writing order as soon as they are final
// (a face-2 reading can still go in front of the records of its set-up until the next one).
void ReadFieldFile(LineReader& file, const ExportOptions& options, PointTable& points,
                   ObservationSink& sink, AngleUnitState& angleUnit, UserInterface& ui,
                   GatheringCounts* counts = nullptr);

// The angle unit in force at the end of the file when it starts with `unit`: a quick pass that
// looks at the unit records only, shows nothing and leaves the file at its end. A writer that
// works while the file is read learns the unit of its angles from it.
AngleUnit FinalAngleUnit(LineReader& file, AngleUnit unit);

// Makes that pass over the field file at `path` on another thread while the caller goes on
// (reading the IDEX file), so that the real reading need not wait for it.
class AngleUnitLookAhead {
  public:
    explicit AngleUnitLookAhead(const std::string& path);
    // Stops the pass when it is still running.
    ~AngleUnitLookAhead();
    AngleUnitLookAhead(const AngleUnitLookAhead&) = delete;
    AngleUnitLookAhead& operator=(const AngleUnitLookAhead&) = delete;

    // What FinalAngleUnit gives for the file; waits for the pass. Nothing when the file could
    // not be read.
    std::optional<AngleUnit> Final(AngleUnit unit);

  private:
    struct Found {
        bool read = false;
        std::optional<AngleUnit> last;  // the unit of the last unit record
    };
    std::atomic<bool> stop_{false};
    std::future<Found> found_;
};

class ObservationStore;
// The same reading with the observations going to `store` (ReadFieldFile uses the fast store;
// tests compare it with a plain one).
void ReadFieldRecords(LineReader& file, const ExportOptions& options, PointTable& points,
                      ObservationStore& store, AngleUnitState& angleUnit, UserInterface& ui,
                      GatheringCounts* counts = nullptr);

}  // namespace talvik
