#include "platform/PosixLauncher.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace talvik {
namespace {

namespace fs = std::filesystem;

struct SplitCase {
    const char* name;
    std::string text;
    std::vector<std::string> arguments;
};

class SplitArgumentsTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitArgumentsTest, FollowsWindowsQuotingRules) {
    EXPECT_EQ(SplitArguments(GetParam().text), GetParam().arguments);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SplitArgumentsTest,
    testing::Values(SplitCase{"Empty", "", {}}, SplitCase{"BlanksAndTabsOnly", "  \t ", {}},
                    SplitCase{"BlanksAndTabsSeparate", " a  b\tc ", {"a", "b", "c"}},
                    SplitCase{"QuotesGroup", "\"C:\\My Job\\n.prj\" x", {"C:\\My Job\\n.prj", "x"}},
                    SplitCase{"QuotesInsideWord", "a\"b c\"d", {"ab cd"}},
                    SplitCase{"BackslashesWithoutQuoteLiteral", "a\\\\b c\\", {"a\\\\b", "c\\"}},
                    SplitCase{"OneBackslashEscapesQuote", "a\\\"b", {"a\"b"}},
                    SplitCase{"TwoBackslashesThenQuoteGroups", "a\\\\\"b c\"", {"a\\b c"}},
                    SplitCase{"ThreeBackslashesThenQuote", "a\\\\\\\"b", {"a\\\"b"}},
                    SplitCase{"TrailingBackslashEscapesClosingQuote",
                              "\"C:\\Program Files\\\" x",
                              {"C:\\Program Files\" x"}},
                    SplitCase{"DoubledQuoteInsideQuotes", "\"a\"\"b\" c", {"a\"b", "c"}},
                    SplitCase{"FourQuotes", "\"\"\"\"", {"\""}},
                    SplitCase{"EmptyQuotedArguments", "a \"\" b \"\"", {"a", "", "b", ""}},
                    SplitCase{"UnclosedQuoteRunsToEnd", "x \"a b", {"x", "a b"}},
                    SplitCase{"NonAsciiBytesKept", "\xC3\xB6 \xF6", {"\xC3\xB6", "\xF6"}}),
    [](const testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.name); });

// A temporary folder with stand-in package programs: shell scripts that write their
// arguments, one per line, next to themselves.
class LauncherFolder : public testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "talvik-launch-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(root_, error);
    }

    std::string Path(const std::string& relative) const { return (root_ / relative).string(); }

    void WriteFile(const std::string& relative, const std::string& text, bool executable) {
        const fs::path path = root_ / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
        ASSERT_EQ(::chmod(path.c_str(), executable ? 0755 : 0644), 0);
    }

    void WriteProgram(const std::string& relative) {
        WriteFile(relative,
                  "#!/bin/sh\n"
                  "dir=$(dirname \"$0\")\n"
                  ": > \"$dir/args.tmp\"\n"
                  "for a in \"$@\"; do printf '%s\\n' \"$a\" >> \"$dir/args.tmp\"; done\n"
                  "if [ -d /proc/$$ ]; then\n"
                  "  fds=$(for fd in 0 1 2; do readlink \"/proc/$$/fd/$fd\"; done)\n"
                  "  printf '%s\\n' \"$fds\" > \"$dir/fds.txt\"\n"
                  "  cut -d' ' -f6 \"/proc/$$/stat\" > \"$dir/sid.txt\"\n"
                  "fi\n"
                  "mv \"$dir/args.tmp\" \"$dir/args.txt\"\n",
                  true);
    }

    // Waits (bounded) until the program has written its arguments.
    std::optional<std::vector<std::string>> WaitForLines(const std::string& relative) const {
        const fs::path path = root_ / relative;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!fs::exists(path)) {
            if (std::chrono::steady_clock::now() > deadline) return std::nullopt;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        std::ifstream in(path);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    fs::path root_;
};

struct ResolveCase {
    const char* name;
    std::string line;  // "@" stands for the temporary folder
    bool resolved;
    std::string program;
    std::string rest;
};

class ResolveProgramTest : public LauncherFolder,
                           public testing::WithParamInterface<ResolveCase> {};

std::string Expand(std::string text, const std::string& root) {
    for (auto at = text.find('@'); at != std::string::npos; at = text.find('@', at + root.size()))
        text.replace(at, 1, root);
    return text;
}

TEST_P(ResolveProgramTest, FindsTheProgramLikeTheHostPlatform) {
    WriteProgram("dir with blanks/pkg");
    WriteFile("note", "not a program", false);
    WriteProgram("note s/pkg");
    fs::create_directories(root_ / "sub");
    WriteProgram("sub x/pkg");
    WriteProgram("tool");
    WriteProgram("tool box/pkg");

    const ResolveCase& c = GetParam();
    const std::string root = root_.string();
    const std::string line = Expand(c.line, root);
    std::string program;
    std::string_view rest;
    ASSERT_EQ(ResolveProgram(line, program, rest), c.resolved);
    if (!c.resolved) return;
    EXPECT_EQ(program, Expand(c.program, root));
    EXPECT_EQ(std::string(rest), Expand(c.rest, root));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ResolveProgramTest,
    testing::Values(
        ResolveCase{"UnquotedWithBlanks", "@/dir with blanks/pkg \"@/a b.prj\"", true,
                    "@/dir with blanks/pkg", " \"@/a b.prj\""},
        ResolveCase{"WholeLine", "@/dir with blanks/pkg", true, "@/dir with blanks/pkg", ""},
        ResolveCase{"TabEndsPrefix", "@/dir with blanks/pkg\tx", true, "@/dir with blanks/pkg",
                    "\tx"},
        ResolveCase{"ShortestPrefixFirst", "@/tool box/pkg x", true, "@/tool", " box/pkg x"},
        ResolveCase{"NonExecutableFileSkipped", "@/note s/pkg x", true, "@/note s/pkg", " x"},
        ResolveCase{"FolderSkipped", "@/sub x/pkg", true, "@/sub x/pkg", ""},
        ResolveCase{"LeadingBlanksSkipped", "   @/tool x", true, "@/tool", " x"},
        ResolveCase{"QuotedProgram", "\"@/dir with blanks/pkg\"x y", true, "@/dir with blanks/pkg",
                    "x y"},
        ResolveCase{"QuotedUnclosed", "\"@/a b", true, "@/a b", ""},
        ResolveCase{"NothingExecutable", "@/no such/pkg x", false, "", ""},
        ResolveCase{"EmptyQuotes", "\"\" x", false, "", ""},
        ResolveCase{"BlanksOnly", "  \t", false, "", ""}, ResolveCase{"Empty", "", false, "", ""}),
    [](const testing::TestParamInfo<ResolveCase>& info) { return std::string(info.param.name); });

void ExpectNoChildLeft() {
    int status = 0;
    const pid_t pid = ::waitpid(-1, &status, WNOHANG);
    EXPECT_TRUE(pid == 0 || (pid == -1 && errno == ECHILD)) << "child " << pid << " left over";
}

struct StartCase {
    const char* name;
    std::string line;  // "@" the temporary folder; the program is @/dir with blanks/pkg
    std::vector<std::string> arguments;
};

class LauncherStartTest : public LauncherFolder, public testing::WithParamInterface<StartCase> {};

TEST_P(LauncherStartTest, StartsDetachedWithArguments) {
    WriteProgram("dir with blanks/pkg");
    const std::string root = root_.string();
    PosixLauncher launcher;
    ASSERT_TRUE(launcher.Start(Expand(GetParam().line, root)));
    ExpectNoChildLeft();

    const auto lines = WaitForLines("dir with blanks/args.txt");
    ASSERT_TRUE(lines.has_value()) << "the program did not run";
    std::vector<std::string> expected;
    for (const std::string& argument : GetParam().arguments)
        expected.push_back(Expand(argument, root));
    EXPECT_EQ(*lines, expected);

    if (fs::exists("/proc/self/stat")) {
        std::ifstream fds(root_ / "dir with blanks/fds.txt");
        std::vector<std::string> streams;
        for (std::string line; std::getline(fds, line);)
            streams.push_back(line);
        EXPECT_EQ(streams, std::vector<std::string>(3, "/dev/null"));
        std::ifstream sid(root_ / "dir with blanks/sid.txt");
        pid_t session = 0;
        sid >> session;
        EXPECT_NE(session, ::getsid(0)) << "runs in a session of its own";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LauncherStartTest,
    testing::Values(StartCase{"PackageCommandLine",
                              "@/dir with blanks/pkg \"@/my job/net.prj\"",
                              {"@/my job/net.prj"}},
                    StartCase{"QuotedProgram", "\"@/dir with blanks/pkg\" a b", {"a", "b"}},
                    StartCase{"NoArguments", "@/dir with blanks/pkg", {}},
                    StartCase{"BackslashesAndQuotes",
                              "@/dir with blanks/pkg a\\\\\\\"b \"c d\\\\\" e\\\\f \"\" \"x\"\"y\"",
                              {"a\\\"b", "c d\\", "e\\\\f", "", "x\"y"}}),
    [](const testing::TestParamInfo<StartCase>& info) { return std::string(info.param.name); });

TEST_F(LauncherFolder, StartFailsWithoutAProgram) {
    WriteFile("my job/net.prj", "project", false);
    PosixLauncher launcher;
    // A cancelled search for the package leaves the program path empty.
    std::string line = " \"";
    line += Path("my job/net.prj");
    line += '"';
    EXPECT_FALSE(launcher.Start(line));
    EXPECT_FALSE(launcher.Start(Path("missing") + " \"x\""));
    EXPECT_FALSE(launcher.Start(""));
    ExpectNoChildLeft();
}

TEST_F(LauncherFolder, StartFailsWhenTheProgramCannotRun) {
    // Executable bit set, but the interpreter it names does not exist: exec fails.
    WriteFile("broken", "#!/no/such/interpreter\n", true);
    PosixLauncher launcher;
    std::string line = "\"";  // built step by step: GCC 12 warns wrongly on "x" + string
    line += Path("broken");
    line += "\" x";
    EXPECT_FALSE(launcher.Start(line));
    ExpectNoChildLeft();
}

}  // namespace
}  // namespace talvik
