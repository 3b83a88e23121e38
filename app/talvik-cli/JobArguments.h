#pragma once
// The batch front's options of the export and the import, and how they set the dialog models:
// each job opens its dialog as the desktop program would, then takes the command line's
// choices in place of the user's edits.

#include <optional>
#include <string>
#include <vector>

#include "Arguments.h"
#include "OverlaySettings.h"
#include "export/ExportDialogModel.h"
#include "interchange/ImportModel.h"

namespace talvik::cli {

const std::vector<OptionSpec>& ExportOptionSpecs();
const std::vector<OptionSpec>& ImportOptionSpecs();

// The usage error of parsed export or import options; empty text when they are usable.
std::string CheckExportArguments(const Arguments& args);
std::string CheckImportArguments(const Arguments& args);

// A whole number within [low, high], or nothing.
std::optional<int> SmallNumber(const std::string& text, int low, int high);

// Opens the export dialog on --project and applies the other options. A selection set given
// counts for this run only; a package path given is stored. Each text is taken as given: the
// dialog's coupling of boxes does not act, and a coupling stays checked only while the texts
// it couples are still equal, so that the dialog later shows what this run used.
void OpenExportDialog(const Arguments& args, OverlaySettings& settings, ExportDialogModel& dialog);

// Loads the import dialog on --cor, then the set, layer and code given.
void OpenImportDialog(const Arguments& args, ImportModel& dialog);

}  // namespace talvik::cli
