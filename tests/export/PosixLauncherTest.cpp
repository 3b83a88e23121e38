#include "platform/PosixLauncher.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "TempFolder.h"

namespace talvik {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

TEST(SplitArgumentsTest, FollowsWindowsQuotingRules) {
    const std::pair<std::string, Texts> cases[] = {
        {"  \t ", {}},
        {" a  b\tc ", {"a", "b", "c"}},
        {"\"C:\\My Job\\n.prj\" x", {"C:\\My Job\\n.prj", "x"}},
        {"a\"b c\"d", {"ab cd"}},
        {"a\\\\b c\\", {"a\\\\b", "c\\"}},  // backslashes without a quote are literal
        {"a\\\"b", {"a\"b"}},
        {"a\\\\\"b c\"", {"a\\b c"}},
        {"a\\\\\\\"b", {"a\\\"b"}},
        {"\"C:\\Program Files\\\" x", {"C:\\Program Files\" x"}},
        {"\"a\"\"b\" c", {"a\"b", "c"}},  // "" inside quotes
        {"\"\"\"\"", {"\""}},
        {"a \"\" b", {"a", "", "b"}},
        {"x \"a b", {"x", "a b"}},
    };
    for (const auto& [text, arguments] : cases)
        EXPECT_EQ(SplitArguments(text), arguments) << text;
}

// A temporary folder ("@" in the tables) with stand-in package programs: scripts that write
// their arguments, their standard streams and their session next to themselves.
class LauncherTest : public TempFolder {
  protected:
    std::string At(std::string text) const {
        for (auto at = text.find('@'); at != text.npos;
             at = text.find('@', at + root_.string().size()))
            text.replace(at, 1, root_.string());
        return text;
    }
    void WriteProgram(const std::string& relative) {
        Write(relative,
              "#!/bin/sh\nd=$(dirname \"$0\")\n: > \"$d/args.tmp\"\n"
              "for a in \"$@\"; do printf '%s\\n' \"$a\" >> \"$d/args.tmp\"; done\n"
              "if [ -d /proc/$$ ]; then\n"
              "  f=$(for n in 0 1 2; do readlink \"/proc/$$/fd/$n\"; done)\n"
              "  printf '%s\\n' \"$f\" > \"$d/fds.txt\"; cut -d' ' -f6 /proc/$$/stat > \"$d/sid\"\n"
              "fi\nmv \"$d/args.tmp\" \"$d/args.txt\"\n",
              0755);
    }
    // Waits, at most 5 s, for a file the program writes last; empty when it never came.
    Texts WaitForLines(const std::string& relative) const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!fs::exists(root_ / relative) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::ifstream in(root_ / relative);
        Texts lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    static void ExpectNoChildLeft() {
        const pid_t pid = ::waitpid(-1, nullptr, WNOHANG);
        EXPECT_TRUE(pid == 0 || (pid == -1 && errno == ECHILD)) << "child " << pid << " left";
    }
};

TEST_F(LauncherTest, ResolvesTheProgramLikeTheHostPlatform) {
    WriteProgram("dir with blanks/pkg");
    Write("note", "");
    WriteProgram("note s/pkg");
    fs::create_directories(root_ / "sub");
    WriteProgram("sub x/pkg");
    WriteProgram("tool");
    WriteProgram("tool box/pkg");
    struct Case {
        std::string line, program, rest;  // empty program: not resolved
    };
    const Case cases[] = {
        {"@/dir with blanks/pkg \"@/a b.prj\"", "@/dir with blanks/pkg", " \"@/a b.prj\""},
        {"@/dir with blanks/pkg\tx", "@/dir with blanks/pkg", "\tx"},
        {"  @/tool box/pkg x", "@/tool", " box/pkg x"},  // shortest prefix first
        {"@/note s/pkg", "@/note s/pkg", ""},            // a file that cannot run is passed
        {"@/sub x/pkg x", "@/sub x/pkg", " x"},          // and so is a folder
        {"\"@/dir with blanks/pkg\"x y", "@/dir with blanks/pkg", "x y"},
        {"\"@/a b", "@/a b", ""},
        {"@/no such/pkg x", "", ""},
        {"\"\" x", "", ""},
        {" \t", "", ""},
    };
    for (const Case& c : cases) {
        const std::string line = At(c.line);
        std::string program;
        std::string_view rest;
        EXPECT_EQ(ResolveProgram(line, program, rest), !c.program.empty()) << c.line;
        EXPECT_EQ(program, At(c.program)) << c.line;
        EXPECT_EQ(std::string(rest), At(c.rest)) << c.line;
    }
}

TEST_F(LauncherTest, StartsDetachedWithArguments) {
    const std::pair<std::string, Texts> cases[] = {
        {"@/dir with blanks/pkg \"@/my job/net.prj\"", {"@/my job/net.prj"}},
        {"\"@/dir with blanks/pkg\" a\\\\\\\"b \"c d\\\\\" e\\f \"\" \"x\"\"y\"",
         {"a\\\"b", "c d\\", "e\\f", "", "x\"y"}},
    };
    for (const auto& [line, arguments] : cases) {
        SCOPED_TRACE(line);
        WriteProgram("dir with blanks/pkg");
        fs::remove(root_ / "dir with blanks/args.txt");
        PosixLauncher launcher;
        ASSERT_TRUE(launcher.Start(At(line)));
        ExpectNoChildLeft();
        Texts expected;
        for (const std::string& argument : arguments)
            expected.push_back(At(argument));
        EXPECT_EQ(WaitForLines("dir with blanks/args.txt"), expected);
        if (!fs::exists("/proc/self/stat")) continue;
        EXPECT_EQ(WaitForLines("dir with blanks/fds.txt"), Texts(3, "/dev/null"));
        EXPECT_NE(WaitForLines("dir with blanks/sid"), Texts{std::to_string(::getsid(0))});
    }
}

TEST_F(LauncherTest, ReportsWhatCannotStart) {
    Write("my job/net.prj", "");
    Write("broken", "#!/no/such/interpreter\n", 0755);  // exec itself fails
    PosixLauncher launcher;
    for (const char* line : {" \"@/my job/net.prj\"", "@/missing x", "", "\"@/broken\" x"})
        EXPECT_FALSE(launcher.Start(At(line))) << line;
    ExpectNoChildLeft();
}

}  // namespace
}  // namespace talvik
