#pragma once
// The export run and the file-locating prompts: reading the known points, the conversion, and
// the start of the adjustment package on the new project.
//
// Paths are kept as the bytes the system gave them (command line, file prompt, settings):
// they are file-system names and are opened unchanged.

#include <optional>
#include <string>
#include <string_view>

#include "host/Releases.h"
#include "model/ExportOptions.h"
#include "model/Tables.h"
#include "platform/FilePrompt.h"
#include "platform/ProcessLauncher.h"
#include "platform/Registry.h"
#include "platform/Settings.h"
#include "platform/UserInterface.h"
#include "project/Conversion.h"

namespace talvik {

class ExportDialogModel;

inline constexpr std::string_view kKeyPackagePath = "Talvik3Path";
inline constexpr std::string_view kDefaultPackagePath =
    "C:\\Program Files\\Hollberk\\KORVU\\KORVU.EXE";
inline constexpr std::string_view kHostMissingMessage = "Kavrin niet gevonden; afbreken";

// Everything the run talks to, wired once by the front.
struct ExportContext {
    UserInterface& ui;
    SettingsStore& settings;
    Registry& registry;
    FilePrompt& prompt;
    ProcessLauncher& launcher;
    KavrinReleases& releases;
    PointTable& points;
    AngleUnitState& angleUnit;
};

// True when the file can be opened for reading (a folder cannot).
bool FileExists(const std::string& path);

// The package program: the stored path when that file exists (stored back), otherwise the
// user's pick (stored). Empty text when the user cancels; the setting is then left alone.
std::string FindKORVU(SettingsStore& settings, FilePrompt& prompt);

// Prompts for a file of one kind, starting in the data folder of the preferred host release.
// `filterDescription` is a list of "description|pattern|" pairs, `pattern` the initial name.
// The picked path, or empty text when the user cancels. std::nullopt when no host release is
// installed: the message has been shown and the caller ends the process.
std::optional<std::string> LocateFile(UserInterface& ui, Registry& registry,
                                      KavrinReleases& releases, FilePrompt& prompt,
                                      std::string_view filterDescription, std::string_view pattern);

// Opening the dialog with an empty command line: asks for the IDEX file and puts the project
// next to it. False when the process has to end (prompt cancelled, or no host installed).
bool AskForIdexFile(ExportContext& context, std::string& packageFile, std::string& idexFile);

// Reads the known points, converts, and with kickKorvu starts the package on the project:
// program path, a blank, and projectBoxText (the project box, untrimmed) in double quotes.
// The launch follows whatever the conversion's outcome, which is returned for exit codes.
ConversionOutcome ExportCentral(ExportContext& context, const ExportOptions& options,
                                std::string_view projectBoxText, bool kickKorvu);

// A start button: stores the selection set and the settings, runs ExportCentral with the
// dialog's choices, and closes the dialog (storing once more). The caller ends the process.
ConversionOutcome StartExport(ExportContext& context, ExportDialogModel& dialog,
                              const std::string& idexFile, bool kickKorvu);

}  // namespace talvik
