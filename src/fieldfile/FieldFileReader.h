#pragma once
// Reads an open field file from its current position to its end: the frame and unit records
// are handled here, every other record goes to the gathering, which extends `points` and fills
// `observations` (emptied to its placeholder first). Messages and progress go through `ui`.

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

class ObservationStore;
// The same reading with the observations going to `store` (ReadFieldFile uses the fast store;
// tests compare it with a plain one).
void ReadFieldRecords(LineReader& file, const ExportOptions& options, PointTable& points,
                      ObservationStore& store, AngleUnitState& angleUnit, UserInterface& ui,
                      GatheringCounts* counts = nullptr);

}  // namespace talvik
