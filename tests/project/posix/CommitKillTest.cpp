// A commit killed at each of its steps: the next run's recovery finds the old project or the
// new one, never a mix.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "project/ProjectCommit.h"
#include "support/TempFolder.h"

namespace talvik::testing {
namespace {

namespace fs = std::filesystem;

TEST(ProjectCommit, AKillAtAnyStepIsFinishedOrUndoneByTheNextRun) {
    const std::vector<std::string> names = {"net.OBS", "net.TCO", "net.PRJ"};
    // Steps: 0 before the journal, 1 after it, 2-4 each old file aside, 5-7 each new file in,
    // 8 the old files and the journal gone. From step 7 on every new file is in.
    constexpr int kLastStep = 8;
    constexpr int kAllMovedIn = 7;
    for (int stop = 0; stop <= kLastStep; ++stop) {
        for (const bool withOld : {true, false}) {
            TempFolder folder;
            std::map<std::string, std::string> old, fresh;
            std::vector<CommitPart> parts;
            for (const std::string& name : names) {
                if (withOld || name == "net.TCO") old[name] = "old " + name;
                fresh[name] = "new " + name;
                parts.push_back(
                    {folder.Path(name), folder.Write(name + ".0000beef.tmp", fresh[name])});
            }
            for (const auto& [name, bytes] : old)
                folder.Write(name, bytes);
            const std::string journal = folder.Path("net.JNL");
            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                CommitProject(journal, parts, [stop](int step) {
                    if (step == stop) ::raise(SIGKILL);
                });
                ::_exit(0);
            }
            int status = 0;
            ::waitpid(child, &status, 0);
            ASSERT_TRUE(WIFSIGNALED(status)) << stop;

            std::string problem;
            EXPECT_TRUE(RecoverProject(journal, problem)) << problem;
            std::map<std::string, std::string> after;
            for (const auto& entry : fs::directory_iterator(folder.Path())) {
                const std::string name = entry.path().filename().string();
                // What the run wrote before its commit began may stay; nothing else.
                if (stop == 0 && name.ends_with(".0000beef.tmp")) continue;
                after[name] = ReadBytes(entry.path());
            }
            EXPECT_EQ(after, stop >= kAllMovedIn ? fresh : old)
                << "killed at step " << stop << (withOld ? " over an old project" : "");
        }
    }
}

}  // namespace
}  // namespace talvik::testing
