#include "startup/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace talvik {
namespace {

using O = StartupOutcome;

struct ParseCase {
    const char* name;
    std::string line;
    O outcome;
    int mode;
    std::string packageFile;
    std::string idexFile;
};

class ParseCommandLineTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseCommandLineTest, DecidesJobAndSplitsPaths) {
    const ParseCase& c = GetParam();
    const StartupDecision d = ParseCommandLine(c.line);
    EXPECT_EQ(d.outcome, c.outcome);
    EXPECT_EQ(d.args.Mode, c.mode);
    EXPECT_EQ(d.args.PackageFile, c.packageFile);
    EXPECT_EQ(d.args.IdexFile, c.idexFile);
}

const std::string kPrj = "C:\\Data\\My Job\\net.prj";
const std::string kIdx = "C:\\Data\\My Job\\net.idx";

INSTANTIATE_TEST_SUITE_P(
    Lines, ParseCommandLineTest,
    testing::Values(
        ParseCase{"ExportFromHost", "0 \"" + kPrj + "\" \"" + kIdx + "\"", O::ExportDialog, 0, kPrj,
                  kIdx},
        ParseCase{"ImportFromHost", "1 \"a.cor\" \"b.idx\"", O::ImportDialog, 1, "a.cor", "b.idx"},
        ParseCase{"ModeTwoExports", "2 \"a\" \"b\"", O::ExportDialog, 2, "a", "b"},
        ParseCase{"NoFrontNumberIsModeZero", "\"a\" \"b\"", O::ExportDialog, 0, "a", "b"},
        ParseCase{"WordInFrontIsModeZero", "x1 \"a\" \"b\"", O::ExportDialog, 0, "a", "b"},
        ParseCase{"LeadingBlanksBeforeNumber", "   1 \"a\" \"b\"", O::ImportDialog, 1, "a", "b"},
        ParseCase{"BlanksInsideNumberIgnored", "1 2 \"a\" \"b\"", O::ExportDialog, 12, "a", "b"},
        ParseCase{"BlanksSplitOneIntoImport", " 0 1 \"a\" \"b\"", O::ImportDialog, 1, "a", "b"},
        ParseCase{"HalfRoundsToEvenUp", "1.5 \"a\" \"b\"", O::ExportDialog, 2, "a", "b"},
        ParseCase{"HalfRoundsToEvenDown", "0.5 \"a\" \"b\"", O::ExportDialog, 0, "a", "b"},
        ParseCase{"RoundsToImport", "0.7 \"a\" \"b\"", O::ImportDialog, 1, "a", "b"},
        ParseCase{"ExponentNumber", "1e0 \"a\" \"b\"", O::ImportDialog, 1, "a", "b"},
        ParseCase{"NegativeMode", "-1 \"a\" \"b\"", O::ExportDialog, -1, "a", "b"},
        ParseCase{"LargestMode", "32767 \"a\" \"b\"", O::ExportDialog, 32767, "a", "b"},
        ParseCase{"SmallestMode", "-32768 \"a\" \"b\"", O::ExportDialog, -32768, "a", "b"},
        ParseCase{"BeyondSixteenBitsExports", "32768 \"a\" \"b\"", O::ExportDialog, 0, "a", "b"},
        ParseCase{"HugeNumberExports", "65537 \"a\" \"b\"", O::ExportDialog, 0, "a", "b"},
        ParseCase{"NumberRunsIntoQuote", "1\"a\" \"b\"", O::ImportDialog, 1, "a", "b"},
        ParseCase{"SecondPathUnquotedTrimmed", "0 \"a\"   C:\\x y.idx  ", O::ExportDialog, 0, "a",
                  "C:\\x y.idx"},
        ParseCase{"SecondPathMissing", "0 \"a\"", O::ExportDialog, 0, "a", ""},
        ParseCase{"SecondPathBlanksOnly", "0 \"a\"    ", O::ExportDialog, 0, "a", ""},
        ParseCase{"SecondQuoteDropsLastCharWhateverItIs", "0 \"a\" \"b.idx\"x", O::ExportDialog, 0,
                  "a", "b.idx\""},
        ParseCase{"SecondPathLoneQuote", "0 \"a\" \"", O::ExportDialog, 0, "a", ""},
        ParseCase{"BlanksInsideFirstQuotesKept", "0 \"  a b  \" \"c\"", O::ExportDialog, 0,
                  "  a b  ", "c"},
        ParseCase{"EmptyFirstPath", "0 \"\" \"c\"", O::ExportDialog, 0, "", "c"},
        ParseCase{"OpeningQuoteOnlyTakesRest", "0 \"C:\\a b.prj", O::ExportDialog, 0, "C:\\a b.prj",
                  ""},
        ParseCase{"NoQuoteIsOldHost", "0 C:\\a.prj C:\\a.idx", O::OldHost, 0, "", ""},
        ParseCase{"ImportWithoutQuoteIsOldHost", "1", O::OldHost, 1, "", ""},
        ParseCase{"BlanksOnlyIsOldHost", "   ", O::OldHost, 0, "", ""},
        ParseCase{"EmptyLineExportsWithEmptyPaths", "", O::ExportDialog, 0, "", ""},
        ParseCase{"SwitchUpperCase", "/KAVRIN", O::Register, 0, "", ""},
        ParseCase{"SwitchMixedCaseAfterWords", "  setup /kaVrin now ", O::Register, 0, "", ""},
        ParseCase{"SwitchWinsOverPaths", "1 \"a\" \"/kavrin\"", O::Register, 0, "", ""},
        ParseCase{"SwitchMisspelledIsOldHost", "/KAVRI N", O::OldHost, 0, "", ""},
        ParseCase{"NonAsciiPathBytesKept", "0 \"C:\\Co\xC3\xB6rd.prj\" \"\xF6.idx\"",
                  O::ExportDialog, 0, "C:\\Co\xC3\xB6rd.prj", "\xF6.idx"}),
    [](const testing::TestParamInfo<ParseCase>& info) { return std::string(info.param.name); });

struct RebuildCase {
    const char* name;
    std::vector<const char*> arguments;  // after the program name
    std::string line;
};

class RebuildCommandLineTest : public testing::TestWithParam<RebuildCase> {};

TEST_P(RebuildCommandLineTest, JoinsArguments) {
    const RebuildCase& c = GetParam();
    std::vector<const char*> argv{"talvik"};
    argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
    argv.push_back(nullptr);
    EXPECT_EQ(RebuildCommandLine(static_cast<int>(argv.size() - 1), argv.data()), c.line);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, RebuildCommandLineTest,
    testing::Values(RebuildCase{"None", {}, ""},
                    RebuildCase{"SingleWholeLine", {"0 \"a b\" \"c\""}, "0 \"a b\" \"c\""},
                    RebuildCase{"SingleSwitch", {"/kavrin"}, "/kavrin"},
                    RebuildCase{"HostStyle",
                                {"0", "/d/My Job/n.prj", "/d/n.idx"},
                                "0 \"/d/My Job/n.prj\" \"/d/n.idx\""},
                    RebuildCase{"EmptyArguments", {"1", "", ""}, "1 \"\" \"\""},
                    RebuildCase{"OnlyOnePath", {"0", "a"}, "0 \"a\""}),
    [](const testing::TestParamInfo<RebuildCase>& info) { return std::string(info.param.name); });

TEST(RebuildCommandLineTest, NoArgumentVectorAtAll) {
    EXPECT_EQ(RebuildCommandLine(0, nullptr), "");
}

TEST(RebuildCommandLineTest, RebuiltHostLineParsesBack) {
    const char* argv[] = {"talvik", "1", "/d/My Job/n.cor", "/d/out n.idx", nullptr};
    const StartupDecision d = ParseCommandLine(RebuildCommandLine(4, argv));
    EXPECT_EQ(d.outcome, O::ImportDialog);
    EXPECT_EQ(d.args.PackageFile, "/d/My Job/n.cor");
    EXPECT_EQ(d.args.IdexFile, "/d/out n.idx");
}

struct RecordingUi : UserInterface {
    std::string text, title;
    Buttons buttons = Buttons::OkCancel;
    Icon icon = Icon::None;
    Answer Message(std::string_view t, Buttons b, Icon i, std::string_view ti) override {
        text = t, buttons = b, icon = i, title = ti;
        return Answer::Ok;
    }
    void Progress(std::string_view) override {}
    void Yield() override {}
};

TEST(OldHostMessageTest, FiveLinesJoinedByCarriageReturn) {
    RecordingUi ui;
    ShowOldHostMessage(ui);
    EXPECT_EQ(ui.text,
              "Kavrin 5.0 dient te worden opgewaardeerd naar Build 110 of hoger.\rNeem contact op "
              "met:\r     Draxmoor B.V.\rof   Pellvane B.V.\r     Afd. Support.");
    EXPECT_EQ(ui.text.find('\n'), std::string::npos);
    EXPECT_EQ(ui.title, "KORVU Interface");
    EXPECT_EQ(ui.icon, Icon::Information);
    EXPECT_EQ(ui.buttons, Buttons::Ok);
}

}  // namespace
}  // namespace talvik
