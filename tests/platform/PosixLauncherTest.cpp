#include "platform/posix/PosixLauncher.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "support/TempFolder.h"

namespace talvik {
namespace {

using Texts = std::vector<std::string>;

TEST(SplitArgumentsTest, FollowsWindowsQuotingRules) {
    // Backslashes without a quote are literal; "" inside quotes is a quote.
    // clang-format off
    const std::pair<std::string, Texts> cases[] = {
        {"  \t ", {}}, {" a  b\tc ", {"a", "b", "c"}}, {"a\"b c\"d", {"ab cd"}},
        {"a\\\\b c\\", {"a\\\\b", "c\\"}}, {"a\\\\\"b c\"", {"a\\b c"}},
        {"\"C:\\Program Files\\\" x", {"C:\\Program Files\" x"}}, {"\"a\"\"b\" c", {"a\"b", "c"}},
        {"a \"\" b", {"a", "", "b"}}, {"x \"a b", {"x", "a b"}},
    };
    // clang-format on
    for (const auto& [text, arguments] : cases)
        EXPECT_EQ(SplitArguments(text), arguments) << text;
}

// Waits, at most 5 s, for a file the stand-in program writes; empty when it never came.
Texts WaitForLines(const std::string& path) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!std::filesystem::exists(path) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::ifstream in(path);
    Texts lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

struct LauncherTest : ::testing::Test, testing::TempFolder {};

TEST_F(LauncherTest, StartsAProgramWhosePathHoldsBlanksDetached) {
    // The stand-in package writes its session and then its arguments next to itself.
    Write("dir with blanks/pkg",
          "#!/bin/sh\nd=$(dirname \"$0\")\ncut -d' ' -f6 /proc/$$/stat > \"$d/sid\"\n"
          "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$d/args.tmp\"\n"
          "mv \"$d/args.tmp\" \"$d/args.txt\"\n",
          0755);
    PosixLauncher launcher;  // the program path is not quoted
    ASSERT_TRUE(launcher.Start(Path("dir with blanks/pkg") + " \"" + Path("my job/net.prj") +
                               "\" a\\\\\\\"b \"\""));
    EXPECT_EQ(WaitForLines(Path("dir with blanks/args.txt")),
              (Texts{Path("my job/net.prj"), "a\\\"b", ""}));
    EXPECT_NE(WaitForLines(Path("dir with blanks/sid")), Texts{std::to_string(::getsid(0))});
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "no child left behind, running or not";

    Write("broken", "#!/no/such/interpreter\n", 0755);
    for (const std::string& line : {Path("missing") + " x", std::string(), Path("broken")})
        EXPECT_FALSE(launcher.Start(line)) << line;
}

}  // namespace
}  // namespace talvik
