#include "startup/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace talvik {
namespace {

using O = StartupOutcome;

TEST(ParseCommandLineTest, DecidesJobAndSplitsPaths) {
    struct Case {
        std::string line;
        O outcome;
        int mode;
        std::string packageFile, idexFile;
    };
    const Case cases[] = {
        {"0 \"C:\\My Job\\n.prj\" \"C:\\My Job\\n.idx\"", O::ExportDialog, 0, "C:\\My Job\\n.prj",
         "C:\\My Job\\n.idx"},
        {"1 \"a.cor\" \"b.idx\"", O::ImportDialog, 1, "a.cor", "b.idx"},
        {"2 \"a\" \"b\"", O::ExportDialog, 2, "a", "b"},
        {"\"a\" \"b\"", O::ExportDialog, 0, "a", "b"},
        {"x1 \"a\" \"b\"", O::ExportDialog, 0, "a", "b"},
        {"   1\"a\" \"b\"", O::ImportDialog, 1, "a", "b"},
        {"1 2 \"a\" \"b\"", O::ExportDialog, 12, "a", "b"},  // blanks inside the number ignored
        {" 0 1 \"a\" \"b\"", O::ImportDialog, 1, "a", "b"},
        {"1.5 \"a\" \"b\"", O::ExportDialog, 2, "a", "b"},  // half to even
        {"0.5 \"a\" \"b\"", O::ExportDialog, 0, "a", "b"},
        {"0.7 \"a\" \"b\"", O::ImportDialog, 1, "a", "b"},
        {"-1 \"a\" \"b\"", O::ExportDialog, -1, "a", "b"},
        {"-32768 \"a\" \"b\"", O::ExportDialog, -32768, "a", "b"},
        {"32768 \"a\" \"b\"", O::ExportDialog, 0, "a", "b"},  // beyond 16 bits
        {"0 \"a\"   C:\\x y.idx  ", O::ExportDialog, 0, "a", "C:\\x y.idx"},
        {"0 \"a\"  ", O::ExportDialog, 0, "a", ""},
        {"0 \"a\" \"b.idx\"x", O::ExportDialog, 0, "a", "b.idx\""},  // last char dropped anyway
        {"0 \"a\" \"", O::ExportDialog, 0, "a", ""},
        {"0 \"  a b  \" \"c\"", O::ExportDialog, 0, "  a b  ", "c"},
        {"0 \"C:\\a b.prj", O::ExportDialog, 0, "C:\\a b.prj", ""},  // no closing quote
        {"0 C:\\a.prj C:\\a.idx", O::OldHost, 0, "", ""},
        {"1", O::OldHost, 1, "", ""},
        {"   ", O::OldHost, 0, "", ""},
        {"", O::ExportDialog, 0, "", ""},
        {"  setup /kaVrin now ", O::Register, 0, "", ""},
        {"1 \"a\" \"/kavrin\"", O::Register, 0, "", ""},
        {"/KAVRI N", O::OldHost, 0, "", ""},
        {"0 \"C:\\Co\xC3\xB6rd.prj\" \"\xF6.idx\"", O::ExportDialog, 0, "C:\\Co\xC3\xB6rd.prj",
         "\xF6.idx"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const StartupDecision d = ParseCommandLine(c.line);
        EXPECT_EQ(d.outcome, c.outcome);
        EXPECT_EQ(d.args.Mode, c.mode);
        EXPECT_EQ(d.args.PackageFile, c.packageFile);
        EXPECT_EQ(d.args.IdexFile, c.idexFile);
    }
}

TEST(RebuildCommandLineTest, JoinsArguments) {
    struct Case {
        std::vector<const char*> arguments;  // after the program name
        std::string line;
    };
    const Case cases[] = {
        {{}, ""},
        {{"0 \"a b\" \"c\""}, "0 \"a b\" \"c\""},
        {{"0", "/d/My Job/n.prj", "/d/n.idx"}, "0 \"/d/My Job/n.prj\" \"/d/n.idx\""},
        {{"1", "", ""}, "1 \"\" \"\""},
    };
    for (const Case& c : cases) {
        std::vector<const char*> argv{"talvik"};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        EXPECT_EQ(RebuildCommandLine(static_cast<int>(argv.size()), argv.data()), c.line);
    }
    EXPECT_EQ(RebuildCommandLine(0, nullptr), "");
}

}  // namespace
}  // namespace talvik
