#include "Check.h"

#include <cstdio>

#include "Arguments.h"
#include "JobArguments.h"
#include "check/CheckReading.h"
#include "check/CoordinateTable.h"
#include "check/FindingsTable.h"
#include "check/Sketch.h"
#include "export/StoredChoices.h"
#include "platform/FileReplace.h"
#include "platform/Platform.h"
#include "platform/RegistrySettings.h"
#include "text/Text.h"

namespace talvik::cli {

namespace {

const std::vector<OptionSpec>& CheckOptionSpecs() {
    static const std::vector<OptionSpec> specs = {
        {"field"},  {"idex"},        {"code", true, true}, {"selection-set"},
        {"sketch"}, {"coordinates"}, {"quiet", false}};
    return specs;
}

}  // namespace

void PrintFindings(const CheckReport& report, std::FILE* out) {
    for (const Finding& f : report.findings)
        std::fprintf(out, "%s: %s\n", f.severity == Severity::Error ? "fout" : "waarschuwing",
                     Utf8From1252(f.text).c_str());
    if (const std::size_t more = report.errorsLeftOut + report.warningsLeftOut)
        std::fprintf(out, "... en nog %zu niet getoond\n", more);
    for (const std::string& note : report.notes)
        std::fprintf(out, "opmerking: %s\n", Utf8From1252(note).c_str());
    std::fprintf(out, "%s\n", CountText(report).c_str());
}

// The sketch is replaced as every file of the program is: written beside it under a temporary
// name and renamed into its place, so that a link at its name is replaced and never followed,
// a named pipe or a folder there is refused and never waited on, and the old sketch stays whole
// until the new one is complete on the disk.
bool WriteSketch(const CheckReport& report, const std::string& path, CliUserInterface& ui,
                 std::string_view fieldFile) {
    // The title names the field file, without its folders.
    const std::size_t slash = fieldFile.find_last_of("/\\");
    if (slash != std::string_view::npos) fieldFile.remove_prefix(slash + 1);
    const std::string svg = SketchSvg(report, 800.0, 600.0, {}, fieldFile);
    std::string problem;
    const bool written = WriteWholeFile(path, svg, problem);
    if (!written) ui.Note("the sketch could not be written: " + path + " (" + problem + ")");
    return written;
}

int CheckCommand(const std::vector<std::string>& words, CliUserInterface& ui) {
    Arguments args;
    std::string error;
    const auto usage = [&](const std::string& text) {
        ui.Note(text);
        std::fputs("Try 'talvik-cli --help'.\n", stderr);
        return 2;
    };
    if (!args.Parse(words, CheckOptionSpecs(), error)) return usage(error);
    ui.SetQuiet(args.Has("quiet"));
    if (!args.Value("field") || !args.Value("idex")) return usage("check needs --field and --idex");
    const auto setText = args.Value("selection-set");
    const std::optional<int> set = setText ? SmallNumber(*setText, 1, 9) : std::nullopt;
    if (setText && !set) return usage("--selection-set takes a number from 1 to 9");

    // The export's stored choices (codes, face 2, standard deviations), nothing stored back.
    const std::unique_ptr<Registry> registry = MakeUserRegistry();
    RegistrySettings settings(*registry);
    StoredChoices stored(settings);
    ExportOptions options;
    stored.LoadOptions(options);
    options.SelCode = stored.SelectionSet(set.value_or(stored.CurrentSet()));
    const auto& codes = args.Values("code");
    if (!codes.empty()) {
        for (std::size_t i = 1; i <= 16; ++i)
            options.SelCode[i] = i <= codes.size() ? TextArgument(codes[i - 1]) : std::string();
    }
    options.IdexFile = *args.Value("idex");
    options.Fieldfile = *args.Value("field");

    const std::optional<CheckReport> report = CheckFiles(options, ui);
    if (!report) return 1;
    PrintFindings(*report, stdout);
    bool written = true;
    if (const auto sketch = args.Value("sketch")) {
        written = WriteSketch(*report, *sketch, ui, options.Fieldfile);
        if (written) ui.Info("sketch written: " + *sketch);
    }
    if (const auto coordinates = args.Value("coordinates")) {
        std::string problem;
        if (WriteCoordinateTable(*report, *coordinates, problem)) {
            ui.Info("coordinates written: " + *coordinates);
        } else {
            ui.Note("the coordinates could not be written: " + *coordinates +
                    (problem.empty() ? std::string() : " (" + problem + ")"));
            written = false;
        }
    }
    return report->Errors() > 0 || !written ? 1 : 0;
}

}  // namespace talvik::cli
