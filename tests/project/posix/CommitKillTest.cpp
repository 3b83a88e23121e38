// A commit killed at each step, and the recovery after it killed at each of its steps: the
// next run finds the old project or the new, never a mix, and nothing else in the folder.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/FileReplace.h"
#include "project/ProjectCommit.h"
#include "project/ProjectTestSupport.h"

#include <chrono>

namespace talvik::testing {
namespace {

// Runs `work` in a child process that is killed when `work` reaches step `stop`; true when it
// was killed (false: it ended before that step).
template <typename Work>
bool KilledAt(int stop, const Work& work) {
    const pid_t child = ::fork();
    if (child == 0) {
        work([stop](int step) {
            if (step == stop) ::raise(SIGKILL);
        });
        ::_exit(0);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFSIGNALED(status);
}

TEST(ProjectCommit, AKillAtAnyStepOfTheCommitOrOfItsRecoveryLeavesOneWholeProject) {
    // Commit steps: 0 before the journal, 1 after it, 2-4 each old file aside, 5-7 each new
    // file in, 8 the old files and the journal gone. From step 7 on every new file is in.
    // Recovery steps: each move and each removal, until a run is not killed any more.
    for (int stop = 0; stop <= 8; ++stop) {
        for (const bool withOld : {true, false}) {
            for (int recoveryStop = 1;; ++recoveryStop) {
                TempFolder folder;
                std::map<std::string, std::string> old, fresh;
                std::vector<CommitPart> parts;
                for (const std::string name : {"net.OBS", "net.TCO", "net.PRJ"}) {
                    if (withOld || name == "net.TCO")
                        old[name] = (folder.Write(name, "old"), "old");
                    fresh[name] = "new";
                    const std::string target = folder.Path(name);
                    parts.push_back({target, TemporaryNameFor(target)});
                    WriteBytes(parts.back().fresh, "new");
                }
                const std::string journal = folder.Path("net.JNL");
                ASSERT_TRUE(KilledAt(stop, [&](const CommitStepHook& hook) {
                    CommitProject(journal, parts, hook);
                })) << stop;
                const bool recoveryKilled = KilledAt(recoveryStop, [&](const CommitStepHook& hook) {
                    std::string problem;
                    RecoverProject(journal, problem, hook);
                });

                std::string problem;
                EXPECT_TRUE(RecoverProject(journal, problem)) << problem;
                auto after = FolderBytes(folder.Path());
                if (stop == 0)  // before the commit: the export's own temporary files stay
                    std::erase_if(after, [](const auto& f) { return f.first.ends_with(".tmp"); });
                EXPECT_EQ(after, stop >= 7 ? fresh : old)
                    << "commit killed at step " << stop << ", recovery at " << recoveryStop
                    << (recoveryKilled ? "" : " (not reached)") << (withOld ? ", with old" : "");
                if (!recoveryKilled) break;
            }
        }
    }
}

// The project's lock is held from before the recovery to the end of the commit: a second
// process that tries it at every step of the commit finds it taken.
TEST(ProjectCommit, TheLockIsHeldThroughEveryStepOfTheCommit) {
    TempFolder folder;
    ExportOptions options;
    options.Projectfile = folder.Path("net1.prj");
    options.Fieldfile = folder.Write("survey.fld", "51 GR\r\n101 2001 0 0\r\n");
    const std::string lock = folder.Path("net1.LCK");
    PointTable points;
    AngleUnitState unit;
    RecordingUi ui;
    FieldFileConversion conversion(options, points, ui);
    std::vector<int> found;  // per step: 1 the lock was taken, 0 it was free
    conversion.SetCommitHook([&](int) {
        const pid_t child = ::fork();
        if (child == 0) {
            FileLock other;
            ::_exit(other.Acquire(lock, std::chrono::milliseconds(0)) ? 0 : other.Busy() ? 1 : 2);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        found.push_back(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    });
    ASSERT_EQ(conversion.Run(unit), ConversionOutcome::Finished);
    EXPECT_EQ(found, std::vector<int>(9, 1));
}

}  // namespace
}  // namespace talvik::testing
