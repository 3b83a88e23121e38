#pragma once
// The terrestrial observation file (.OBS for version 3, .TOB for version 1): one line per
// observation, directions grouped in series that restart at every set-up of a station.

#include "model/Tables.h"
#include "platform/UserInterface.h"
#include "project/OutputFile.h"
#include "project/ProjectValues.h"

namespace talvik {

// The four header lines, written when the file is created.
void WriteObservationHeader(OutputFile& file, const ProjectValues& values);

// The angle unit and the closing "$" of the header block, written after the field file is read.
void WriteObservationAngleUnit(OutputFile& file, AngleUnit angleUnit);

// One line per record 1 .. last whose Zenith is not below 0 (lower ones mark set-ups and only
// advance the series of their station), then "$"; closes the file. Progress goes to `ui`.
// False when anything written to the file failed.
bool WriteObservationFile(OutputFile& file, const ObservationTable& observations,
                          const ProjectValues& values, AngleUnit angleUnit, UserInterface& ui);

}  // namespace talvik
