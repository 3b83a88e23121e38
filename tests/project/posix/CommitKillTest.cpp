// A commit killed at each step: the next run recovers the old project or the new, never a mix.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "project/ProjectCommit.h"
#include "project/ProjectTestSupport.h"

namespace talvik::testing {
namespace {

TEST(ProjectCommit, AKillAtAnyStepIsFinishedOrUndoneByTheNextRun) {
    // Steps: 0 before the journal, 1 after it, 2-4 each old file aside, 5-7 each new file in,
    // 8 the old files and the journal gone. From step 7 on every new file is in.
    for (int stop = 0; stop <= 8; ++stop) {
        for (const bool withOld : {true, false}) {
            TempFolder folder;
            std::map<std::string, std::string> old, fresh;
            std::vector<CommitPart> parts;
            for (const std::string name : {"net.OBS", "net.TCO", "net.PRJ"}) {
                if (withOld || name == "net.TCO") old[name] = (folder.Write(name, "old"), "old");
                fresh[name] = "new";
                parts.push_back({folder.Path(name), folder.Write(name + ".1.tmp", "new")});
            }
            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                CommitProject(folder.Path("net.JNL"), parts, [stop](int step) {
                    if (step == stop) ::raise(SIGKILL);
                });
                ::_exit(0);
            }
            int status = 0;
            ASSERT_TRUE(::waitpid(child, &status, 0) == child && WIFSIGNALED(status)) << stop;

            std::string problem;
            EXPECT_TRUE(RecoverProject(folder.Path("net.JNL"), problem)) << problem;
            auto after = FolderBytes(folder.Path());
            if (stop == 0)
                std::erase_if(after, [](const auto& f) { return f.first.ends_with(".1.tmp"); });
            EXPECT_EQ(after, stop >= 7 ? fresh : old) << "killed at step " << stop << withOld;
        }
    }
}

}  // namespace
}  // namespace talvik::testing
