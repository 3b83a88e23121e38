// The commit of a project's three files: all of them in place or none, whatever step fails,
// and a commit cut short at any step is finished or undone by the next run.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "project/ProjectCommit.h"
#include "support/TempFolder.h"

namespace talvik::testing {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kNames = {"net.OBS", "net.TCO", "net.PRJ"};

// Every entry of the folder: a file with its bytes, a folder as "folder".
std::map<std::string, std::string> Listing(const TempFolder& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder.Path()))
        files[entry.path().filename().string()] =
            entry.is_directory() ? "folder" : ReadBytes(entry.path());
    return files;
}

// The old project (the names given, or none) and the three complete new files beside it.
struct Project {
    TempFolder folder;
    std::vector<CommitPart> parts;

    explicit Project(const std::vector<std::string>& old) {
        for (const std::string& name : old)
            folder.Write(name, "old " + name);
        for (const std::string& name : kNames)
            parts.push_back(
                {folder.Path(name), folder.Write(name + ".1234abcd.tmp", "new " + name)});
    }
    std::map<std::string, std::string> New() const {
        std::map<std::string, std::string> files;
        for (const std::string& name : kNames)
            files[name] = "new " + name;
        return files;
    }
    std::string Journal() const { return folder.Path("net.JNL"); }
};

TEST(ProjectCommit, AStepThatFailsLeavesTheOldProjectAsItWas) {
    // A folder in the place of one file makes its move fail; the files before it have moved
    // by then and must go back.
    for (std::size_t blocked = 0; blocked <= kNames.size(); ++blocked) {
        for (const bool oldExists : {true, false}) {
            std::vector<std::string> old;
            if (oldExists) old = kNames;
            if (blocked < kNames.size()) std::erase(old, kNames[blocked]);
            Project p(old);
            if (blocked < kNames.size()) fs::create_directory(p.folder.Path(kNames[blocked]));
            const auto before = Listing(p.folder);
            const CommitResult result = CommitProject(p.Journal(), p.parts);
            if (blocked == kNames.size()) {
                EXPECT_TRUE(result.done) << result.problem;
                EXPECT_EQ(Listing(p.folder), p.New());
                continue;
            }
            EXPECT_FALSE(result.done) << blocked;
            EXPECT_EQ(result.failedTarget, p.folder.Path(kNames[blocked]));
            EXPECT_FALSE(result.problem.empty());
            // The old files byte for byte, no temporary file, no journal.
            auto expected = before;
            for (const std::string& name : kNames)
                expected.erase(name + ".1234abcd.tmp");
            EXPECT_EQ(Listing(p.folder), expected) << "blocked " << blocked << " old " << oldExists;
        }
    }
}

TEST(ProjectCommit, ARecoveryWithoutJournalChangesNothing) {
    Project p(kNames);
    const auto before = Listing(p.folder);
    std::string problem;
    EXPECT_TRUE(RecoverProject(p.Journal(), problem));
    EXPECT_EQ(Listing(p.folder), before);
    p.folder.Write("net.JNL", "not a journal\r\n");
    EXPECT_FALSE(RecoverProject(p.Journal(), problem));
    EXPECT_NE(problem.find("net.JNL"), std::string::npos);
    EXPECT_EQ(ReadBytes(p.Journal()), "not a journal\r\n") << "an unknown journal is kept";
}

}  // namespace
}  // namespace talvik::testing
