// The batch front's options: which are refused, and what the accepted ones make of the stored
// choices (as the dialogs show them afterwards).

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "JobArguments.h"
#include "Report.h"
#include "export/ExportDialogModel.h"
#include "export/ExportRun.h"
#include "support/MemorySettings.h"
#include "support/StdDevTexts.h"

namespace talvik::cli {
namespace {

using Words = std::vector<std::string>;

const Words kExportFiles = {"--field", " f.fld", "--project", "p.prj"};
const Words kImportFiles = {"--cor", "a.cor", "--idex", "b.idx"};

// The export's (or the import's) files and then the options, parsed.
Arguments Parsed(Words options, bool isExport = true) {
    const Words& files = isExport ? kExportFiles : kImportFiles;
    options.insert(options.begin(), files.begin(), files.end());
    Arguments args;
    std::string error;
    EXPECT_TRUE(args.Parse(options, isExport ? ExportOptionSpecs() : ImportOptionSpecs(), error))
        << error;
    return args;
}

// The usage error of a command's words: the parser's or the check's; empty when accepted.
std::string Refusal(const std::string& command, const Words& words) {
    const bool isExport = command == "export";
    Arguments args;
    std::string error;
    if (!args.Parse(words, isExport ? ExportOptionSpecs() : ImportOptionSpecs(), error))
        return error;
    return isExport ? CheckExportArguments(args) : CheckImportArguments(args);
}

TEST(JobArgumentsTest, RefusedOptions) {
    const auto with = [](Words extra) {
        extra.insert(extra.begin(), kExportFiles.begin(), kExportFiles.end());
        return extra;
    };
    Words seventeen = kExportFiles;
    for (int i = 0; i < 17; ++i)
        seventeen.insert(seventeen.end(), {"--code", std::to_string(i)});
    const std::tuple<std::string, Words, std::string> cases[] = {
        {"export", {}, "export needs --field PATH"},
        {"export", {"--field", "a.fld"}, "export needs --project PATH"},
        {"export", with({"--package-version", "2"}), "--package-version takes 1 or 3"},
        {"export", with({"--face2", "both"}), "--face2 takes series or reduce"},
        {"export", with({"--selection-set", "10"}), "--selection-set takes a number from 1 to 9"},
        {"export", with({"--selection-set", "+1"}), "--selection-set takes a number from 1 to 9"},
        {"export", seventeen, "--code can be given at most 16 times"},
        {"export", with({"--bogus"}), "unknown option '--bogus'"},
        {"export", with({"--field", "b.fld"}), "option '--field' given more than once"},
        {"export", with({"stray"}), "unexpected argument 'stray'"},
        {"import", {"--cor", "a.cor"}, "import needs --idex PATH"},
        {"import", {"--cor", "a", "--idex", "b", "--set", "0"}, "--set takes a number from 1 to 9"},
        {"export", with({"--selection-set", "09", "--face2=reduce", "--package-version", "1"}), ""},
        {"import", {"--cor", "a", "--idex", "b", "--set", "9"}, ""},
    };
    for (const auto& [command, words, error] : cases)
        EXPECT_EQ(Refusal(command, words), error) << ::testing::PrintToString(words);
}

TEST(JobArgumentsTest, ExportTextsAreTakenAsGivenAndCouplingsFollowThem) {
    const std::pair<Words, std::string> cases[] = {
        {{}, "0.003|0.0003|0.003|0.0003|0.002|2|0.003|0.003|0.003|0.005|11"},
        // A source box does not copy itself into its dependent.
        {{"--abs-hor", "1", "--sd-xy", "2"},
         "1|0.0003|0.003|0.0003|0.002|2|2|0.003|0.003|0.005|00"},
        // Equal texts keep the coupling checked.
        {{"--abs-hor", "1", "--abs-ver", "1", "--sd-xy", "2", "--sd-z", "2"},
         "1|0.0003|1|0.0003|0.002|2|2|2|0.003|0.005|11"},
        // A dependent box takes its text although the coupling had it disabled.
        {{"--rel-ver", "7", "--sd-z", "8", "--abs-dis", "a", "--rel-dis", "b", "--sigma-cent", "c",
          "--sigma-inst", "d", "--rel-hor", "7"},
         "0.003|7|0.003|7|a|b|0.003|8|c|d|10"},
        // UTF-8 on the command line becomes Windows-1252.
        {{"--abs-hor", "\xC3\xA9", "--abs-ver", "\xE9"},
         "\xE9|0.0003|\xE9|0.0003|0.002|2|0.003|0.003|0.003|0.005|11"},
    };
    for (const auto& [extra, shown] : cases) {
        MemorySettings store;
        const ExportOptions options = TakeExportChoices(Parsed(extra), store);
        ExportDialogModel dialog(store);
        dialog.Open("p.prj");
        EXPECT_EQ(testing::StdDevs(dialog), shown) << ::testing::PrintToString(extra);
        EXPECT_EQ(options.Fieldfile + "|" + options.Projectfile, "f.fld|p.prj");
    }
}

TEST(JobArgumentsTest, ExportCodesSetVersionAndPackage) {
    MemorySettings store;
    store.Set("TalvikSel4", "A|B|C");
    store.Set(kKeyCurrentSel, "2");
    ExportOptions options =
        TakeExportChoices(Parsed({"--selection-set", "4", "--face2", "reduce", "--package-version",
                                  "1", "--package", "/opt/k", "--idex", "k.idx"}),
                          store);
    EXPECT_EQ(options.SelCode[2] + options.SelCode[3], "BC") << "the set's codes";
    EXPECT_EQ(store.Get(kKeyCurrentSel, ""), "4") << "stored as the run's set, as the dialog does";
    EXPECT_EQ(store.Get(kKeyPackagePath, ""), "/opt/k");
    EXPECT_EQ(std::tuple(options.Version, options.Face2to1, options.IdexFile),
              std::tuple(1, true, std::optional<std::string>("k.idx")));

    options = TakeExportChoices(Parsed({"--code", "X", "--code", "Y", "--idex", ""}), store);
    EXPECT_EQ(options.SelCode[1] + options.SelCode[2] + options.SelCode[3], "XY")
        << "given codes replace all sixteen";
    EXPECT_EQ(store.Get("TalvikSel4", ""), "X|Y||||||||||||||");
    EXPECT_EQ(options.IdexFile, std::nullopt) << "an empty IDEX path is none";
}

TEST(JobArgumentsTest, ImportSetThenLayerAndCode) {
    MemorySettings store;
    store.Set("TalvikImport3", "L3|C3");
    const std::pair<Words, std::string> cases[] = {
        {{"--set", "3"}, "3|L3|C3"},
        {{"--set", "3", "--code", "G"}, "3|L3|G"},
        {{"--layer", "\xC3\xA9"}, "1|\xE9|"},
    };
    for (const auto& [extra, shown] : cases) {
        StoredImportChoices stored(store);
        const ImportRun run = TakeImportChoices(Parsed(extra, false), stored);
        EXPECT_EQ(std::to_string(run.set) + "|" + run.choices.layer + "|" + run.choices.code,
                  shown);
    }
}

TEST(CliReport, SummaryAndProgressLine) {
    ConversionSummary summary;
    summary.files = {{"/p/N.PRJ", 1, true}, {"/p/N.OBS", 2048, false}};
    summary.setUps = 3, summary.observations = 1, summary.knownPoints = 10;
    summary.newPoints = 2, summary.roundSets = 1, summary.mismatches = 2;
    EXPECT_EQ(
        SummaryNotes(summary),
        (std::vector<std::string>{"wrote /p/N.PRJ (1 byte)", "incomplete: /p/N.OBS (2048 bytes)",
                                  "3 set-ups, 1 observation, 12 points (10 known from the "
                                  "IDEX file, 2 new), 1 round set, 2 mismatches"}));
    EXPECT_EQ(ImportNote("b.idx", 0, 1), "wrote b.idx (0 bytes, 1 point)");
    EXPECT_TRUE(SummaryNotes(ConversionSummary{}).empty());

    const std::uint64_t huge = ~std::uint64_t{0};
    const std::vector<std::tuple<std::uint64_t, std::uint64_t, std::string>> lines = {
        {5, 0, "Lezen: 5"},
        {0, 10, "Lezen: 5  [                    ]   0%"},
        {1, 3, "Lezen: 5  [######              ]  33%"},
        {999, 1000, "Lezen: 5  [################### ]  99%"},
        {12, 10, "Lezen: 5  [####################] 100%"},
        {huge - 1, huge, "Lezen: 5  [################### ]  99%"},
        {huge / 2, huge, "Lezen: 5  [#########           ]  49%"},
    };
    for (const auto& [done, total, line] : lines)
        EXPECT_EQ(ProgressLine("Lezen: 5", done, total), line) << done << "/" << total;
}

}  // namespace
}  // namespace talvik::cli
