#pragma once
// The project file (.PRJ): a fixed template around the network name, the angle unit and the
// default standard deviations.

#include <string_view>

#include "model/ExportOptions.h"
#include "model/Tables.h"
#include "project/OutputFile.h"

namespace talvik {

// Lines 1 to 18: version line, network name, file types, geometry and adjustment parameters.
void WriteProjectHeader(OutputFile& file, std::string_view versionHeader,
                        std::string_view projectBasePath);

// Line 19, written once the field file has set the unit.
void WriteProjectAngleUnit(OutputFile& file, AngleUnit angleUnit);

// The standard deviations (each only when its text is not blank) and the closing sections;
// closes the file. False when anything written to the file failed.
bool WriteProjectTail(OutputFile& file, const ExportOptions& options);

}  // namespace talvik
