// talvik-cli: the batch front. The same jobs as the desktop program, driven by options instead
// of windows; every message box becomes its text on stderr.

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "Arguments.h"
#include "Check.h"
#include "CliUserInterface.h"
#include "JobArguments.h"
#include "OverlaySettings.h"
#include "Report.h"
#include "Version.h"
#include "check/CheckReading.h"
#include "export/ExportRun.h"
#include "host/MenuRegistration.h"
#include "interchange/ImportJob.h"
#include "platform/Platform.h"
#include "platform/RegistrySettings.h"
#include "shift/ShiftReport.h"
#include "text/Text.h"

namespace talvik::cli {
namespace {

constexpr int kExitDone = 0;
constexpr int kExitStopped = 1;
constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "Usage:\n"
    "  talvik-cli export --field PATH --project PATH [--idex PATH] [options]\n"
    "  talvik-cli import --cor PATH --idex PATH [--layer T] [--code T] [--set N] [--no-save]\n"
    "                    [--against FILE.idx] [--tolerance M] [--report FILE.csv]\n"
    "  talvik-cli check --field PATH --idex PATH [--code T] [--selection-set N] [--sketch SVG]\n"
    "                   [--coordinates CSV]\n"
    "  talvik-cli register | unregister\n"
    "  talvik-cli --help | --version\n"
    "Every command also takes --quiet: no notes on what was written.\n"
    "\n"
    "Export: converts a Kavrin field file and the drawing's known points (IDEX file) into a\n"
    "KORVU project (.PRJ, .OBS or .TOB, .TCO). Options not given come from the stored choices.\n"
    "  --field PATH             Kavrin field file (.fld)\n"
    "  --project PATH           KORVU project file to create (.prj)\n"
    "  --idex PATH              IDEX file with the known points (none: no known points)\n"
    "  --package-version 1|3    KORVU version of the output\n"
    "  --face2 series|reduce    second-face readings as a series, or reduced to face 1\n"
    "  --abs-hor T --rel-hor T  standard deviation of directions (gon, gon/km)\n"
    "  --abs-ver T --rel-ver T  standard deviation of zenith angles (gon, gon/km)\n"
    "  --abs-dis T --rel-dis T  standard deviation of distances (m, ppm)\n"
    "  --sd-xy T --sd-z T       standard deviation of coordinates and heights (m)\n"
    "  --sigma-cent T --sigma-inst T  centring and instrument height (m)\n"
    "  --code T                 selection code, 1 to 16 times (replaces the set's codes)\n"
    "  --selection-set N        stored selection set 1..9 to use\n"
    "  --overwrite              replace an existing project (otherwise: exit 1)\n"
    "  --launch                 start KORVU on the project afterwards\n"
    "  --package PATH           the KORVU program (stored for later runs)\n"
    "  --no-save                do not store the choices of this run\n"
    "  --check                  check the network too: its findings after the notes\n"
    "  --sketch PATH            draw the checked network into an SVG file\n"
    "\n"
    "Check: computes approximate coordinates of the network and lists what looks wrong\n"
    "(points that cannot be placed, known points or distances that disagree, faces that\n"
    "disagree, ...), one finding per line and a count, with the stored choices of the export\n"
    "(face 2, standard deviations; --code and --selection-set as for the export). Nothing is\n"
    "written but the sketch and the coordinates. The network is adjusted by least squares\n"
    "and every observation tested (data snooping); a rejected one is an error, named with\n"
    "its estimated size.\n"
    "  --coordinates CSV        the coordinates of every placed point, adjusted where the\n"
    "                           adjustment ran: punt,x,y,h,sx,sy,sh (m)\n"
    "Exit status: 0 no errors (warnings allowed), 1 errors, 2 usage.\n"
    "\n"
    "Import: writes the adjusted coordinates of a KORVU coordinate file (.cor) as an IDEX file.\n"
    "  --cor PATH --idex PATH   input and output\n"
    "  --layer T --code T       Kavrin layer and control-point code (default: the stored set)\n"
    "  --set N                  stored layer/code set 1..9\n"
    "  --no-save                do not store the layer, code and tolerance\n"
    "  Before the IDEX file is replaced, what it holds now is compared with the adjusted\n"
    "  coordinates: the shift of every point, new and missing points, flagged points. The\n"
    "  summary goes to stderr (not with --quiet); the IDEX file is the same either way.\n"
    "  --against FILE.idx       compare with this IDEX file instead (its points count as known)\n"
    "  --tolerance M            flag shifts beyond M metres (default 0.05; stored)\n"
    "  --report FILE.csv        every point: punt,x,y,h,dx,dy,dh,verschuiving,status\n"
    "\n"
    "Register: enters Talvik in the Import and Export menus of every installed Kavrin release.\n"
    "Unregister: takes Talvik's entries out of those menus again; other entries stay.\n"
    "\n"
    "Texts are written into the files exactly as given.\n"
    "\n"
    "Exit status: 0 done; 1 stopped, or a requested file was not written completely (an\n"
    "existing project or IDEX file of that name is then left as it was); 2 usage error.\n";

int Usage(CliUserInterface& ui, const std::string& error) {
    ui.Note(error);
    std::fputs("Try 'talvik-cli --help'.\n", stderr);
    return kExitUsage;
}

// The file prompt of a batch run: there is nobody to ask.
class NoFilePrompt : public FilePrompt {
  public:
    std::string PickFile(const FilePromptRequest&) override { return {}; }
};

// The user's store, with a note when its file cannot be used. What one command changes in it
// goes in one write: Begin and End bracket the command.
struct Store {
    std::unique_ptr<Registry> registry = MakeUserRegistry();
    RegistrySettings settings{*registry};

    void Check(CliUserInterface& ui) {
        const std::string problem = CheckUserRegistry(*registry);
        if (!problem.empty()) ui.Note(Utf8From1252(problem));
    }
    // `hold`: no other process changes the store until End (the menus are read and changed).
    bool Begin(CliUserInterface& ui, bool hold) {
        std::string problem;
        if (registry->BeginChanges(hold, problem)) return true;
        if (!problem.empty()) ui.Note(Utf8From1252(problem));
        return false;
    }
    bool End(CliUserInterface& ui) {
        std::string problem;
        if (registry->EndChanges(problem)) return true;
        if (!problem.empty()) ui.Note(Utf8From1252(problem));
        return false;
    }
};

int Export(const std::vector<std::string>& words, CliUserInterface& ui) {
    Arguments args;
    std::string error;
    if (!args.Parse(words, ExportOptionSpecs(), error)) return Usage(ui, error);
    ui.SetQuiet(args.Has("quiet"));
    error = CheckExportArguments(args);
    if (!error.empty()) return Usage(ui, error);

    Store store;
    store.Check(ui);
    store.Begin(ui, false);
    OverlaySettings settings(store.settings, !args.Has("no-save"));
    const ExportOptions options = TakeExportChoices(args, settings);
    ui.SetQuestionAnswer(args.Has("overwrite") ? Answer::Ok : Answer::Cancel);

    NoFilePrompt noPrompt;
    const auto launcher = MakeLauncher();
    KavrinReleases releases;
    JobContext context{ui, settings, *store.registry, noPrompt, *launcher, releases};
    ConversionSummary summary;
    const auto sketch = args.Value("sketch");
    ExportCheck check(options);
    const bool checking = args.Has("check") || sketch;
    const ExportJobResult result =
        RunExportJob(context, options, ExportLaunch(args), &summary, checking ? &check : nullptr);

    int status = result.conversion == ConversionOutcome::Finished ? kExitDone : kExitStopped;
    if (result.conversion == ConversionOutcome::Finished) {
        for (const std::string& note : SummaryNotes(summary))
            ui.Info(note);
    }
    // The check is advisory: its findings never change the exit status.
    if (check.Report() && args.Has("check")) {
        std::fflush(stderr);
        PrintFindings(*check.Report(), stdout);
    }
    if (!check.Unchecked().empty()) ui.Note(check.Unchecked());
    if (check.Report() && sketch && !WriteSketch(*check.Report(), *sketch, ui, options.Fieldfile))
        status = kExitStopped;
    if (result.conversion == ConversionOutcome::ProjectKept)
        ui.Note("existing project kept; use --overwrite to replace it");
    if (result.conversion == ConversionOutcome::WriteFailed)
        ui.Note("the project was not written; files of the same name were left as they were");
    if (result.launch == LaunchOutcome::NoProgram) {
        ui.Note("KORVU program not found: " + settings.Get(kKeyPackagePath, kDefaultPackagePath) +
                "; give its path with --package PATH");
        status = kExitStopped;
    } else if (result.launch == LaunchOutcome::StartFailed) {
        ui.Note("KORVU could not be started: " + result.program);
        status = kExitStopped;
    }
    if (!store.End(ui) || settings.StoreFailed())
        ui.Note("the choices of this run could not be stored");
    return status;
}

int Import(const std::vector<std::string>& words, CliUserInterface& ui) {
    Arguments args;
    std::string error;
    if (!args.Parse(words, ImportOptionSpecs(), error)) return Usage(ui, error);
    ui.SetQuiet(args.Has("quiet"));
    error = CheckImportArguments(args);
    if (!error.empty()) return Usage(ui, error);

    Store store;
    store.Check(ui);
    store.Begin(ui, false);
    OverlaySettings settings(store.settings, !args.Has("no-save"));
    StoredImportChoices stored(settings);
    const ImportRun run = TakeImportChoices(args, stored);
    const std::string idex = *args.Value("idex");
    // The shift report reads the IDEX file as it is before the import replaces it.
    ShiftReport shifts;
    const auto against = args.Value("against");
    shifts.ReadBase(against ? *against : idex, against.has_value(), ui);
    int points = 0;
    const ImportOutcome outcome =
        RunImportJob(stored, run.set, run.choices, *args.Value("cor"), idex, ui, &points, &shifts);
    int status = outcome == ImportOutcome::Written ? kExitDone : kExitStopped;
    if (outcome == ImportOutcome::Written) {
        std::error_code sizeError;
        const std::uintmax_t bytes = std::filesystem::file_size(idex, sizeError);
        ui.Info(ImportNote(idex, sizeError ? 0 : bytes, points));
        shifts.Compare(run.tolerance);
        for (const std::string& line : ShiftSummary(shifts))
            ui.Info(Utf8From1252(line));
        std::string problem;
        if (const auto report = args.Value("report");
            report && !WriteShiftCsv(shifts, *report, problem)) {
            ui.Note("the shift report was not written: " + *report + " (" + Utf8From1252(problem) +
                    ")");
            status = kExitStopped;
        }
    }
    if (!store.End(ui) || settings.StoreFailed())
        ui.Note("the layer, code and tolerance could not be stored");
    return status;
}

// The desktop program that the host's menu entries start: `talvik` beside this program.
std::string DesktopProgramPath() {
    const std::string self = ProgramPath();
    if (self.empty()) return "talvik";
    const std::filesystem::path path(self);
    return (path.parent_path() / ("talvik" + path.extension().string())).string();
}

// register and unregister: no arguments but --quiet.
bool OnlyQuiet(const std::vector<std::string>& words, CliUserInterface& ui) {
    for (const std::string& word : words) {
        if (word != "--quiet") return false;
    }
    ui.SetQuiet(!words.empty());
    return true;
}

// The end of register and unregister: what changed is written; 1 when that failed, or when
// there were releases and none of them could be changed (the store's reason is shown).
int Finished(Store& store, CliUserInterface& ui, const ReleaseCounts& counts) {
    if (!store.End(ui)) return kExitStopped;
    if (counts.failed == 0 || counts.changed > 0) return kExitDone;
    const std::string problem = CheckUserRegistry(*store.registry);
    ui.Note(problem.empty() ? "no release could be changed" : Utf8From1252(problem));
    return kExitStopped;
}

int Register(const std::vector<std::string>& words, CliUserInterface& ui) {
    if (!OnlyQuiet(words, ui)) return Usage(ui, "register takes no arguments");
    Store store;
    if (!store.Begin(ui, true)) return kExitStopped;
    ReleaseCounts counts;
    RegisterWithHost(*store.registry, ui, DesktopProgramPath(), &counts);
    return Finished(store, ui, counts);
}

// What an uninstaller runs: the menu entries that start this installation's desktop program
// go; the report lists them.
int Unregister(const std::vector<std::string>& words, CliUserInterface& ui) {
    if (!OnlyQuiet(words, ui)) return Usage(ui, "unregister takes no arguments");
    Store store;
    if (!store.Begin(ui, true)) return kExitStopped;
    ReleaseCounts counts;
    UnregisterFromHost(*store.registry, ui, DesktopProgramPath(), &counts);
    return Finished(store, ui, counts);
}

}  // namespace
}  // namespace talvik::cli

int main(int argc, char** argv) {
    using namespace talvik::cli;
    // Take the user's locale, as the desktop program does; no number in or out depends on it.
    std::setlocale(LC_ALL, "");
    talvik::UseBinaryStandardStreams();
    talvik::GuardStandardStreams();
    CliUserInterface ui(stderr);
    std::vector<std::string> words(argv + std::min(argc, 2), argv + argc);
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "--help" || command == "-h") {
        std::fputs(kUsage, stdout);
        return kExitDone;
    }
    if (command == "--version") {
        std::printf("Talvik %s\n", talvik::kVersionText);
        return kExitDone;
    }
    // Running out of memory anywhere ends the command with its message; what it was writing
    // is removed on the way out.
    try {
        if (command == "export") return Export(words, ui);
        if (command == "import") return Import(words, ui);
        if (command == "check") return CheckCommand(words, ui);
        if (command == "register") return Register(words, ui);
        if (command == "unregister") return Unregister(words, ui);
    } catch (const std::bad_alloc&) {
        ui.Message("Onvoldoende geheugen; Afgebroken.", talvik::Buttons::Ok, talvik::Icon::Critical,
                   talvik::kAppTitle);
        return kExitStopped;
    }
    return Usage(ui, command.empty() ? "no command given" : "unknown command '" + command + "'");
}
