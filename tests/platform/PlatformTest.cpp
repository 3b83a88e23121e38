// The platform functions the fronts call: command-line text, own path, file replacement, and
// the settings store on the registry file.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
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
    EXPECT_TRUE(self.is_absolute()) << self;
    EXPECT_EQ(self.stem(), "test_platform");
    EXPECT_TRUE(std::filesystem::is_regular_file(self));
}

TEST(Platform, ANewFileTakesThePlaceOfAnExistingOne) {
    testing::TempFolder folder;
    const std::string target = folder.Write("net1.PRJ", "old\r\n");
    const std::string fresh = folder.Path("net1.PRJ.new");
    std::FILE* file = CreateNewFile(fresh);
    ASSERT_NE(file, nullptr);
    std::fputs("new\r\n", file);  // bytes as written: no second CR
    std::fclose(file);
    EXPECT_EQ(CreateNewFile(fresh), nullptr) << "exists already";
    ASSERT_TRUE(ReplaceFile(fresh, target));
    EXPECT_EQ(testing::ReadBytes(target), "new\r\n");
    EXPECT_FALSE(std::filesystem::exists(fresh));
    EXPECT_EQ(folder.Entries(), 1);

    // Nothing to move: the target stays as it was.
    EXPECT_FALSE(ReplaceFile(folder.Path("missing"), target));
    EXPECT_EQ(testing::ReadBytes(target), "new\r\n");
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
