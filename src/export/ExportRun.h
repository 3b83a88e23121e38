#pragma once
// The export job: reading the known points, the conversion, and the start of the adjustment
// package on the new project.
//
// Paths are kept as the bytes the system gave them (command line, file prompt, settings):
// they are file-system names and are opened unchanged.

#include <optional>
#include <string>
#include <string_view>

#include "host/JobContext.h"
#include "model/ConversionSummary.h"
#include "model/ExportOptions.h"
#include "platform/FilePrompt.h"
#include "platform/Settings.h"
#include "project/Conversion.h"

namespace talvik {

inline constexpr std::string_view kKeyPackagePath = "Talvik3Path";
inline constexpr std::string_view kDefaultPackagePath =
    "C:\\Program Files\\Hollberk\\KORVU\\KORVU.EXE";

// The package program: the stored path when that file exists (stored back), otherwise the
// user's pick (stored). Empty text when the user cancels; the setting is then left alone.
std::string FindKORVU(SettingsStore& settings, FilePrompt& prompt);

// Opening the dialog with an empty command line: asks for the IDEX file and puts the project
// next to it. False when the process has to end (prompt cancelled, or no host installed).
bool AskForIdexFile(JobContext& context, std::string& packageFile, std::string& idexFile);

// How the package is started after the conversion.
enum class Launch {
    No,
    // The start is tried even when no program was found: the command line then has an empty
    // program name (the windows have always done so).
    Always,
    // Without a program nothing is started.
    WhenFound,
};

// Whether the package is started, and on what: the project as the user typed it (blanks
// around it kept), passed in double quotes.
struct LaunchChoice {
    Launch when = Launch::No;
    std::string project;
};

enum class LaunchOutcome { NotAsked, Started, NoProgram, StartFailed };

struct ExportJobResult {
    ConversionOutcome conversion = ConversionOutcome::Finished;
    LaunchOutcome launch = LaunchOutcome::NotAsked;
    std::string program;  // the package program used for the start; empty when none was found
};

// One export: reads the known points (options.IdexFile), converts, and starts the package when
// asked (program path, a blank, and the project in double quotes, whatever the conversion's
// outcome). Stores nothing but the package path that FindKORVU stores; storing the user's
// choices is the front's part. `summary`, when given, receives what the conversion wrote;
// `watcher`, when given, sees what it reads (the network check). The caller maps the result to
// its exit status and ends the process.
ExportJobResult RunExportJob(JobContext& context, const ExportOptions& options,
                             const LaunchChoice& launch, ConversionSummary* summary = nullptr,
                             ConversionWatcher* watcher = nullptr);

// The exit status of the desktop program after an export: 0 when the project was written or
// the user kept the existing one, else 1 (no field file, no valid project name, an input that
// cannot be read as text, another run on the project, files that could not be written).
int DesktopExitCode(ConversionOutcome outcome);

}  // namespace talvik
