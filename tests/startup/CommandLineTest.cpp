#include "startup/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace talvik {
namespace {

using O = StartupOutcome;

TEST(ParseCommandLineTest, DecidesJobAndSplitsPaths) {
    const std::tuple<std::string, O, int, std::string, std::string> cases[] = {
        {"0 \"C:\\My Job\\n.prj\" \"C:\\My Job\\n.idx\"", O::ExportDialog, 0, "C:\\My Job\\n.prj",
         "C:\\My Job\\n.idx"},
        {"   1\"a.cor\" \"b.idx\"", O::ImportDialog, 1, "a.cor", "b.idx"},
        {"x1 \"a\" \"b\"", O::ExportDialog, 0, "a", "b"},    // no number
        {"1 2 \"a\" \"b\"", O::ExportDialog, 12, "a", "b"},  // blanks inside the number ignored
        {"1.5 \"a\" \"b\"", O::ExportDialog, 2, "a", "b"},   // half to even
        {"0.5 \"a\" \"b\"", O::ExportDialog, 0, "a", "b"},
        {"32768 \"a\" \"b\"", O::ExportDialog, 0, "a", "b"},  // beyond 16 bits
        {"0 \"a\"   C:\\x y.idx  ", O::ExportDialog, 0, "a", "C:\\x y.idx"},
        {"0 \"a\" \"b.idx\"x", O::ExportDialog, 0, "a", "b.idx\""},  // last char dropped anyway
        {"0 \"  a b  \" \"c\"", O::ExportDialog, 0, "  a b  ", "c"},
        {"0 \"C:\\a b.prj", O::ExportDialog, 0, "C:\\a b.prj", ""},  // no closing quote
        {"0 C:\\a.prj C:\\a.idx", O::OldHost, 0, "", ""},
        {"", O::ExportDialog, 0, "", ""},
        {"   ", O::OldHost, 0, "", ""},
        {"  setup /kaVrin now ", O::Register, 0, "", ""},
        {"0 \"a\" \"b\"\t/KAVRIN", O::Register, 0, "", ""},
        // The switch inside a path is a path: a folder named after the host, quoted or not,
        // with forward slashes as Windows takes them too.
        {"0 \"/home/landmeter/kavrin/n.prj\" \"/home/landmeter/kavrin/n.idx\"", O::ExportDialog, 0,
         "/home/landmeter/kavrin/n.prj", "/home/landmeter/kavrin/n.idx"},
        {"0 \"C:/Data/KAVRIN/n.prj\" C:/Data/Kavrin/n.idx", O::ExportDialog, 0,
         "C:/Data/KAVRIN/n.prj", "C:/Data/Kavrin/n.idx"},
        {"0 \"a\" \"/KAVRIN\"", O::ExportDialog, 0, "a", "/KAVRIN"},
        {"0 \"a\" /KAVRIN/b.idx", O::ExportDialog, 0, "a", "/KAVRIN/b.idx"},
        {"0 \"a\" x/kavrin", O::ExportDialog, 0, "a", "x/kavrin"},
    };
    for (const auto& c : cases) {
        const StartupDecision d = ParseCommandLine(std::get<0>(c));
        EXPECT_EQ(
            std::tuple(std::get<0>(c), d.outcome, d.args.Mode, d.args.PackageFile, d.args.IdexFile),
            c);
    }
}

TEST(RebuildCommandLineTest, JoinsArguments) {
    const std::pair<std::vector<const char*>, std::string> cases[] = {
        {{}, ""},
        {{"0 \"a b\" \"c\""}, "0 \"a b\" \"c\""},
        {{"0", "/d/My Job/n.prj", "/d/n.idx"}, "0 \"/d/My Job/n.prj\" \"/d/n.idx\""},
        {{"1", "", ""}, "1 \"\" \"\""},
    };
    for (const auto& [arguments, line] : cases) {
        std::vector<const char*> argv{"talvik"};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        EXPECT_EQ(RebuildCommandLine(static_cast<int>(argv.size()), argv.data()), line);
    }
    EXPECT_EQ(RebuildCommandLine(0, nullptr), "");
}

}  // namespace
}  // namespace talvik
