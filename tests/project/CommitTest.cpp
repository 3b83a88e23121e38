// The commit of a project's three files: all of them in place or none, whatever step fails.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/FileReplace.h"
#include "project/ProjectCommit.h"
#include "project/ProjectTestSupport.h"

namespace talvik::testing {
namespace {

TEST(ProjectCommit, AStepThatFailsLeavesTheOldProjectAsItWas) {
    const std::vector<std::string> names = {"net.OBS", "net.TCO", "net.PRJ"};
    // A folder in the place of one file makes its move fail, after the files before it have
    // moved; `blocked` 3: nothing in the way. The old project is whole or has no old files.
    for (std::size_t blocked = 0; blocked <= names.size(); ++blocked) {
        for (const bool oldExists : {true, false}) {
            TempFolder folder;
            std::map<std::string, std::string> before, fresh;
            std::vector<CommitPart> parts;
            for (std::size_t i = 0; i < names.size(); ++i) {
                fresh[names[i]] = "new";
                const std::string target = folder.Path(names[i]);
                const std::string temporary = TemporaryNameFor(target);
                WriteBytes(temporary, "new");
                parts.push_back({target, temporary});
                if (i == blocked) std::filesystem::create_directory(folder.Path(names[i]));
                if (i == blocked || oldExists) before[names[i]] = i == blocked ? "folder" : "old";
                if (i != blocked && oldExists) folder.Write(names[i], "old");
            }
            const CommitResult result = CommitProject(folder.Path("net.JNL"), parts);
            EXPECT_EQ(result.done, blocked == names.size()) << result.problem;
            EXPECT_EQ(result.failedTarget, result.done ? "" : folder.Path(names[blocked]));
            EXPECT_EQ(FolderBytes(folder.Path()), result.done ? fresh : before)  // nothing left
                << blocked << oldExists;
        }
    }
}

}  // namespace
}  // namespace talvik::testing
