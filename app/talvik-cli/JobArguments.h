#pragma once
// The batch front's options of the export and the import, and the choices of each job: the
// user's stored choices with the command line's in their place.

#include <optional>
#include <string>
#include <vector>

#include "Arguments.h"
#include "export/ExportRun.h"
#include "interchange/ImportJob.h"
#include "model/ExportOptions.h"
#include "platform/Settings.h"

namespace talvik::cli {

const std::vector<OptionSpec>& ExportOptionSpecs();
const std::vector<OptionSpec>& ImportOptionSpecs();

// The usage error of parsed export or import options; empty text when they are usable.
std::string CheckExportArguments(const Arguments& args);
std::string CheckImportArguments(const Arguments& args);

// A whole number within [low, high], or nothing.
std::optional<int> SmallNumber(const std::string& text, int low, int high);

// The options of the export: --field, --project and --idex, the stored choices of the
// selection set given (else the current one), and the texts, codes and choices given in their
// place. Each text is taken as given: a coupling of the dialog's boxes does not act, and it stays
// checked only while the texts it couples are still equal, so that the dialog later shows what
// this run used. The choices are stored as the dialog's start button stores them, after a
// package path given; `settings` decides whether they reach the user's store.
ExportOptions TakeExportChoices(const Arguments& args, SettingsStore& settings);

// Starts the package on --project as given, when --launch asks for it.
LaunchChoice ExportLaunch(const Arguments& args);

// The import's set (--set, else the stored current one) and its layer and code, with the
// ones given in their place.
struct ImportRun {
    int set = StoredImportChoices::kFirstSet;
    ImportChoices choices;
    // The shift report's (--tolerance, else the stored one; stored when given).
    double tolerance = 0.05;
};
ImportRun TakeImportChoices(const Arguments& args, StoredImportChoices& stored);

}  // namespace talvik::cli
