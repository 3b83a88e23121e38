#pragma once
// The check on its own reading: the IDEX file and the field file read as the export reads them,
// nothing written.

#include <optional>

#include "check/NetworkCheck.h"
#include "model/ExportOptions.h"
#include "platform/UserInterface.h"

namespace talvik {

// Nothing when the field file cannot be read (the export's message has been shown). The
// check's reading always keeps face-2 readings apart, whatever options.Face2to1 says: it
// reduces them itself, with the half circle of the file's unit.
std::optional<CheckReport> CheckFiles(const ExportOptions& options, UserInterface& ui);

}  // namespace talvik
