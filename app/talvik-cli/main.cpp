// talvik-cli: the batch front. The same jobs as the desktop program, driven by options instead
// of windows; every message box becomes its text on stderr.

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Arguments.h"
#include "CliUserInterface.h"
#include "OverlaySettings.h"
#include "Version.h"
#include "export/ExportDialogModel.h"
#include "export/ExportRun.h"
#include "host/MenuRegistration.h"
#include "interchange/IdexReader.h"
#include "interchange/ImportModel.h"
#include "platform/Platform.h"
#include "platform/RegistrySettings.h"
#include "project/Conversion.h"
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
    "  talvik-cli register\n"
    "  talvik-cli --help | --version\n"
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
    "\n"
    "Import: writes the adjusted coordinates of a KORVU coordinate file (.cor) as an IDEX file.\n"
    "  --cor PATH --idex PATH   input and output\n"
    "  --layer T --code T       Kavrin layer and control-point code (default: the stored set)\n"
    "  --set N                  stored layer/code set 1..9\n"
    "  --no-save                do not store the layer and code\n"
    "\n"
    "Register: enters Talvik in the Import and Export menus of every installed Kavrin release.\n"
    "\n"
    "Texts are written into the files exactly as given. Exit status: 0 done, 1 stopped, 2 usage.\n";

int Usage(CliUserInterface& ui, const std::string& error) {
    ui.Note(error);
    std::fputs("Try 'talvik-cli --help'.\n", stderr);
    return kExitUsage;
}

// A whole number within [low, high], or nothing.
std::optional<int> SmallNumber(const std::string& text, int low, int high) {
    if (text.empty() || text.size() > 2) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < low || value > high) return std::nullopt;
    return value;
}

// A stored set's number option: absent, or a number from 1 to 9 (false otherwise).
bool SetNumberOption(const Arguments& args, const char* name, std::optional<int>& set) {
    const auto text = args.Value(name);
    if (!text) return true;
    set = SmallNumber(*text, 1, 9);
    return set.has_value();
}

// The file prompt of a batch run: there is nobody to ask.
class NoFilePrompt : public FilePrompt {
  public:
    std::string PickFile(const FilePromptRequest&) override { return {}; }
};

// The user's store, with a note when its file cannot be used.
struct Store {
    std::unique_ptr<Registry> registry = MakeUserRegistry();
    RegistrySettings settings{*registry};

    void Check(CliUserInterface& ui) {
        const std::string problem = CheckUserRegistry(*registry);
        if (!problem.empty()) ui.Note(Utf8From1252(problem));
    }
};

int Export(const std::vector<std::string>& words, CliUserInterface& ui) {
    const std::vector<OptionSpec> specs = {
        {"field"},
        {"project"},
        {"idex"},
        {"package-version"},
        {"face2"},
        {"abs-hor"},
        {"rel-hor"},
        {"abs-ver"},
        {"rel-ver"},
        {"abs-dis"},
        {"rel-dis"},
        {"sd-xy"},
        {"sd-z"},
        {"sigma-cent"},
        {"sigma-inst"},
        {"code", true, true},
        {"overwrite", false},
        {"launch", false},
        {"package"},
        {"selection-set"},
        {"no-save", false},
    };
    Arguments args;
    std::string error;
    if (!args.Parse(words, specs, error)) return Usage(ui, error);
    if (!args.Has("field")) return Usage(ui, "export needs --field PATH");
    if (!args.Has("project")) return Usage(ui, "export needs --project PATH");
    const auto version = args.Value("package-version");
    if (version && *version != "1" && *version != "3")
        return Usage(ui, "--package-version takes 1 or 3");
    const auto face2 = args.Value("face2");
    if (face2 && *face2 != "series" && *face2 != "reduce")
        return Usage(ui, "--face2 takes series or reduce");
    const auto& codes = args.Values("code");
    if (codes.size() > 16) return Usage(ui, "--code can be given at most 16 times");
    std::optional<int> selectionSet;
    if (!SetNumberOption(args, "selection-set", selectionSet))
        return Usage(ui, "--selection-set takes a number from 1 to 9");

    Store store;
    store.Check(ui);
    OverlaySettings settings(store.settings, !args.Has("no-save"));
    if (selectionSet) settings.Override(kKeyCurrentSel, IntText(*selectionSet));

    // The dialog as it would open on this project, then the choices of the command line.
    const std::string project = *args.Value("project");
    ExportDialogModel dialog(settings);
    dialog.Open(project);
    dialog.fieldFile = *args.Value("field");
    if (version) dialog.version3 = *version == "3";
    if (face2) dialog.face2to1 = *face2 == "reduce";

    // Each text is taken as given; the dialog's coupling of boxes does not act here. A coupling
    // stays checked only while the texts it couples are still equal, so that the dialog shows
    // what this run used.
    const bool hvd = dialog.CoupleHorVer();
    const bool xyz = dialog.CoupleXyZ();
    dialog.SetCoupleHorVer(false);
    dialog.SetCoupleXyZ(false);
    const auto text = [&](const char* name, auto&& apply) {
        if (const auto value = args.Value(name)) apply(TextArgument(*value));
    };
    text("abs-hor", [&](std::string t) { dialog.SetAbsHor(std::move(t)); });
    text("rel-hor", [&](std::string t) { dialog.SetRelHor(std::move(t)); });
    text("abs-ver", [&](std::string t) { dialog.SetAbsVer(std::move(t)); });
    text("rel-ver", [&](std::string t) { dialog.SetRelVer(std::move(t)); });
    text("abs-dis", [&](std::string t) { dialog.absDis = std::move(t); });
    text("rel-dis", [&](std::string t) { dialog.relDis = std::move(t); });
    text("sd-xy", [&](std::string t) { dialog.SetSdXY(std::move(t)); });
    text("sd-z", [&](std::string t) { dialog.SetSdZ(std::move(t)); });
    text("sigma-cent", [&](std::string t) { dialog.sigmaCent = std::move(t); });
    text("sigma-inst", [&](std::string t) { dialog.sigmaInst = std::move(t); });
    if (hvd && dialog.AbsHor() == dialog.AbsVer() && dialog.RelHor() == dialog.RelVer())
        dialog.SetCoupleHorVer(true);
    if (xyz && dialog.SdXY() == dialog.SdZ()) dialog.SetCoupleXyZ(true);
    if (!codes.empty()) {
        for (std::size_t i = 1; i <= 16; ++i)
            dialog.selectionCodes[i] =
                i <= codes.size() ? TextArgument(codes[i - 1]) : std::string();
    }
    if (const auto package = args.Value("package")) settings.Set(kKeyPackagePath, *package);

    ui.SetQuestionAnswer(args.Has("overwrite") ? Answer::Ok : Answer::Cancel);

    // The start button: store, export, (launch), close.
    dialog.SaveSelectionSet(dialog.SelectionSetNumber());
    dialog.SaveSettings();
    const std::string idex = args.Value("idex").value_or("");
    const ExportOptions options = dialog.FillExportOptions(idex);
    PointTable points;
    AngleUnitState angleUnit;
    if (!idex.empty()) ReadIdexFile(idex, points, ui);
    const ConversionOutcome outcome = ConvertFieldFile(options, points, angleUnit, ui);
    int status = outcome == ConversionOutcome::Finished ? kExitDone : kExitStopped;
    if (outcome == ConversionOutcome::ProjectKept)
        ui.Note("existing project kept; use --overwrite to replace it");

    if (args.Has("launch")) {
        NoFilePrompt noPrompt;
        const std::string program = FindKORVU(settings, noPrompt);
        if (program.empty()) {
            ui.Note(
                "KORVU program not found: " + settings.Get(kKeyPackagePath, kDefaultPackagePath) +
                "; give its path with --package PATH");
            status = kExitStopped;
        } else {
            const std::string commandLine = program + " \"" + dialog.projectFile + "\"";
            if (!MakeLauncher()->Start(commandLine)) {
                ui.Note("KORVU could not be started: " + program);
                status = kExitStopped;
            }
        }
    }
    dialog.Close();
    if (settings.StoreFailed()) ui.Note("the choices of this run could not be stored");
    return status;
}

int Import(const std::vector<std::string>& words, CliUserInterface& ui) {
    const std::vector<OptionSpec> specs = {{"cor"},  {"idex"}, {"layer"},
                                           {"code"}, {"set"},  {"no-save", false}};
    Arguments args;
    std::string error;
    if (!args.Parse(words, specs, error)) return Usage(ui, error);
    if (!args.Has("cor")) return Usage(ui, "import needs --cor PATH");
    if (!args.Has("idex")) return Usage(ui, "import needs --idex PATH");
    std::optional<int> set;
    if (!SetNumberOption(args, "set", set)) return Usage(ui, "--set takes a number from 1 to 9");

    Store store;
    store.Check(ui);
    OverlaySettings settings(store.settings, !args.Has("no-save"));
    ImportModel dialog(settings);
    dialog.Load(*args.Value("cor"));
    if (set) {
        dialog.SetSelNr(IntText(*set));
        dialog.LoadImportSet(*set);
    }
    if (const auto layer = args.Value("layer")) dialog.SetLayer(TextArgument(*layer));
    if (const auto code = args.Value("code")) dialog.SetCode(TextArgument(*code));

    const ImportOutcome outcome = dialog.Start(*args.Value("idex"), ui);
    if (settings.StoreFailed()) ui.Note("the layer and code could not be stored");
    return outcome == ImportOutcome::Written ? kExitDone : kExitStopped;
}

// The desktop program that the host's menu entries start: `talvik` beside this program.
std::string DesktopProgramPath() {
    const std::string self = ProgramPath();
    if (self.empty()) return "talvik";
    const std::filesystem::path path(self);
    return (path.parent_path() / ("talvik" + path.extension().string())).string();
}

int Register(const std::vector<std::string>& words, CliUserInterface& ui) {
    if (!words.empty()) return Usage(ui, "register takes no arguments");
    Store store;
    store.Check(ui);
    RegisterWithHost(*store.registry, ui, DesktopProgramPath());
    return kExitDone;
}

}  // namespace
}  // namespace talvik::cli

int main(int argc, char** argv) {
    using namespace talvik::cli;
    // Take the user's locale, as the desktop program does; no number in or out depends on it.
    std::setlocale(LC_ALL, "");
    talvik::UseBinaryStandardStreams();
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
    if (command == "export") return Export(words, ui);
    if (command == "import") return Import(words, ui);
    if (command == "register") return Register(words, ui);
    return Usage(ui, command.empty() ? "no command given" : "unknown command '" + command + "'");
}
