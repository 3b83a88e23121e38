#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/RegistryFile.h"
#include "platform/RegistrySettings.h"
#include "platform/RegistryTestFiles.h"

namespace talvik {
namespace {

using testing::CrLf;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

TEST(RegistrySettings, StoresTextsUnderTheProgramsKey) {
    TempFolder folder;
    const std::string path = folder.Path("registry.reg");
    RegistryFile registry(path);
    RegistrySettings settings(registry);

    EXPECT_EQ(settings.Get("TalvikCurrentSel", "1"), "1") << "missing file gives the default";
    ASSERT_TRUE(settings.Set("TalvikCurrentSel", "4"));
    ASSERT_TRUE(settings.Set("TalvikSel4", "A|B||"));
    const std::string longText(2000, 'c');
    ASSERT_TRUE(settings.Set("TalvikStdDev", longText));

    struct Case {
        const char* key;
        const char* defaultValue;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"TalvikCurrentSel", "1", "4"}, {"TALVIKCURRENTSEL", "1", "4"},
        {"TalvikSel4", "999", "A|B||"}, {"TalvikSel5", "999", "999"},
        {"TalvikStdDev", "", longText},
    };
    for (const Case& c : cases)
        EXPECT_EQ(settings.Get(c.key, c.defaultValue), c.expected) << c.key;

    std::string text;
    EXPECT_TRUE(registry.GetStringValue(kHkeyCurrentUser, "Software\\Kelvaris\\Talvik",
                                        "TalvikSel4", text));
    EXPECT_EQ(text, "A|B||");
    EXPECT_EQ(ReadBytes(path).find("[HKEY_CURRENT_USER\\Software]\r\n"), 12u)
        << "the key path was created one key at a time";
}

TEST(RegistrySettings, JoinsKeysWrittenInAnotherCaseAndRefusesADamagedFile) {
    TempFolder folder;
    const std::string path = folder.Path("registry.reg");
    WriteBytes(path, CrLf({"REGEDIT4", "", "[HKEY_CURRENT_USER\\SOFTWARE\\KELVARIS\\TALVIK]",
                           "\"talvikversion\"=\"0\""}));
    RegistryFile registry(path);
    RegistrySettings settings(registry);
    EXPECT_EQ(settings.Get("TalvikVersion", "1"), "0");
    ASSERT_TRUE(settings.Set("TalvikVersion", "1"));
    EXPECT_EQ(ReadBytes(path),
              CrLf({"REGEDIT4", "", "[HKEY_CURRENT_USER\\SOFTWARE\\KELVARIS\\TALVIK]",
                    "\"talvikversion\"=\"1\"", ""}));

    const std::string damaged = CrLf({"REGEDIT4", "[HKEY_CURRENT_USER\\Software\\Kelvaris\\Talvik]",
                                      "\"TalvikVersion\"=\"0\"", "\"Broken\"=\"no end"});
    WriteBytes(path, damaged);
    EXPECT_EQ(settings.Get("TalvikVersion", "1"), "0");
    EXPECT_FALSE(settings.Set("TalvikVersion", "1"));
    EXPECT_EQ(ReadBytes(path), damaged);
    EXPECT_FALSE(registry.Problem().empty());
}

}  // namespace
}  // namespace talvik
