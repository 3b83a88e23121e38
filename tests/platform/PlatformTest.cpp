// The platform functions the fronts call: command-line text, own path, file replacement, and
// the settings store on the registry file.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/FileReplace.h"
#include "platform/Platform.h"
#include "platform/RegistryFile.h"
#include "platform/RegistrySettings.h"
#include "support/TempFolder.h"

namespace talvik {
namespace {

TEST(Platform, ArgumentsFollowTheProgramName) {
    // clang-format off
    const std::vector<std::pair<std::string_view, std::string_view>> cases = {
        {"talvik.exe 0 \"a b.prj\" \"c.idx\"", "0 \"a b.prj\" \"c.idx\""},
        {"\"C:\\Program Files\\Talvik\\talvik.exe\" /KAVRIN", "/KAVRIN"},
        {"\"C:\\My Talvik\\talvik.exe\"1 \"a\"", "1 \"a\""}, {"talvik.exe", ""},
        {"talvik.exe \t  1  \"x\"  ", "1  \"x\"  "}, {"\"talvik.exe\"   ", ""}, {"", ""},
        {"\"C:\\no closing quote 1", ""},
    };
    // clang-format on
    for (const auto& [line, arguments] : cases)
        EXPECT_EQ(ArgumentsAfterProgramName(line), arguments) << line;
}

TEST(Platform, ProgramPathNamesThisTest) {
    const std::filesystem::path self = ProgramPath();
    EXPECT_TRUE(self.is_absolute() && std::filesystem::is_regular_file(self)) << self;
    EXPECT_EQ(self.stem(), "test_platform");
}

TEST(Platform, ATemporaryNameFitsWhereTheFinalNameFits) {
    const std::string longName(250, 'n');
    const std::tuple<std::string, std::size_t, std::size_t, std::string> cases[] = {
        {"/d/net.PRJ", 255, 4095, "/d/net.PRJ"},  // room enough: the whole name
        {"/d/" + longName, 255, 4095, "/d/" + longName.substr(0, 242)},  // a name near its longest
        {"/folder/netwerk.PRJ", 255, 24, "/folder/net"},                 // a path near its longest
        {"/d/x", 255, 10, "/d/x"},  // one byte of the name stays
    };
    for (const auto& [target, longestName, longestPath, kept] : cases) {
        const std::string name = TemporaryNameFor(target, longestName, longestPath);
        EXPECT_EQ(name.substr(0, name.size() - 13), kept) << target;
        EXPECT_TRUE(name.ends_with(".tmp")) << name;
        EXPECT_LE(name.size() - (name.find_last_of("/\\") + 1), longestName) << target;
    }
    EXPECT_NE(TemporaryNameFor("/d/a", 255, 4095), TemporaryNameFor("/d/a", 255, 4095));
}

// Every writer replaces its file the same way: the permissions of a replaced file stay, nothing
// is left beside it (its refusals: Conversion.AFailedFileKeepsTheOldProject).
TEST(Platform, AReplacingFileKeepsPermissionsAndLeavesNothing) {
    testing::TempFolder folder;
    const std::string shared = folder.Write("shared.idx", "old", 0640);
    for (const std::string& target : {shared, folder.Path("new.idx")}) {
        ReplacingFile file;
        ASSERT_TRUE(file.Create(target)) << file.Problem();
        std::fputs("new", file.Stream());
        EXPECT_TRUE(file.Place()) << target;
    }
    EXPECT_EQ(testing::ReadBytes(shared) + testing::ReadBytes(folder.Path("new.idx")), "newnew");
#ifndef _WIN32
    EXPECT_EQ(std::filesystem::status(shared).permissions(),
              static_cast<std::filesystem::perms>(0640));
#endif
    EXPECT_EQ(folder.Entries(), 2) << "no temporary file left";
}

// The changes of one command reach the store in one write, at its end.
TEST(RegistryFile, ABatchWritesOnce) {
    testing::TempFolder folder;
    RegistryFile registry(folder.Path("registry.reg"));
    RegistrySettings settings(registry);
    ASSERT_TRUE(settings.Set("First", "1"));
    const std::string before = testing::ReadBytes(folder.Path("registry.reg"));
    std::string problem;
    ASSERT_TRUE(registry.BeginChanges(true, problem)) << problem;
    for (const char* key : {"A", "B", "C"})
        ASSERT_TRUE(settings.Set(key, key));
    EXPECT_EQ(settings.Get("C", ""), "C") << "read back in the batch";
    EXPECT_EQ(testing::ReadBytes(folder.Path("registry.reg")), before);
    ASSERT_TRUE(registry.EndChanges(problem)) << problem;
    RegistryFile other(folder.Path("registry.reg"));
    EXPECT_EQ(RegistrySettings(other).Get("B", ""), "B");
}

TEST(RegistrySettings, CreatesTheProgramsKeyOnFirstUseAndRefusesADamagedFile) {
    testing::TempFolder folder;
    const std::string path = folder.Path("registry.reg");
    RegistryFile registry(path);
    RegistrySettings settings(registry);
    EXPECT_EQ(settings.Get("TalvikCurrentSel", "1"), "1") << "missing file gives the default";
    const std::string longText(2000, 'c');  // longer than a host value may be
    ASSERT_TRUE(settings.Set("TalvikCurrentSel", "4"));
    ASSERT_TRUE(settings.Set("TALVIKCURRENTSEL", longText));
    EXPECT_EQ(settings.Get("talvikcurrentsel", ""), longText);
    const std::string file = testing::RegFile({"[HKEY_CURRENT_USER\\Software]", "",
                                               "[HKEY_CURRENT_USER\\Software\\Kelvaris]", "",
                                               "[HKEY_CURRENT_USER\\Software\\Kelvaris\\Talvik]",
                                               "\"TalvikCurrentSel\"=\"" + longText + "\"", ""});
    EXPECT_EQ(testing::ReadBytes(path), file) << "the key path is made one key at a time";

    testing::WriteBytes(path, file + "\"Broken\"=\"no end");
    EXPECT_EQ(settings.Get("TalvikCurrentSel", "1"), longText);
    EXPECT_FALSE(settings.Set("TalvikCurrentSel", "1"));
    EXPECT_EQ(testing::ReadBytes(path), file + "\"Broken\"=\"no end");
    EXPECT_FALSE(registry.Problem().empty());
}

}  // namespace
}  // namespace talvik
