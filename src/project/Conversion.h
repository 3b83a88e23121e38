#pragma once
// The conversion of one field file into a package project (.PRJ, .OBS or .TOB, .TCO).

#include "model/ConversionSummary.h"
#include "model/ConversionWatcher.h"
#include "model/ExportOptions.h"
#include "model/Tables.h"
#include "platform/UserInterface.h"

namespace talvik {

class AngleUnitLookAhead;

enum class ConversionOutcome {
    Finished,            // the whole project was written
    WriteFailed,         // a file could not be written completely (named in one message); no
                         // file of the project was replaced
    FieldFileMissing,    // "Kavrin FIELD file niet gevonden; Afgebroken." was shown
    ProjectKept,         // the user kept an existing project
    ProjectPathTooShort  // refused before any file was touched
};

// `points` holds the known points read from the IDEX file; the conversion extends it, marks
// repeated names unused and writes it in name order (the entries stay in their places). `angleUnit`
// is set by the field file and stays set after the run. `summary`, when given, receives what the
// run wrote. `lookAhead`, when given, was started on the same field file before the IDEX file was
// read, and spares the conversion its first pass. `watcher`, when given, sees the records and the
// points of the same reading.
ConversionOutcome ConvertFieldFile(const ExportOptions& options, PointTable& points,
                                   AngleUnitState& angleUnit, UserInterface& ui,
                                   ConversionSummary* summary = nullptr,
                                   AngleUnitLookAhead* lookAhead = nullptr,
                                   ConversionWatcher* watcher = nullptr);

}  // namespace talvik
