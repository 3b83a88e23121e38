#include <gtest/gtest.h>

#include <string>

#include "platform/RegistryFile.h"
#include "platform/RegistrySettings.h"
#include "support/TempFolder.h"

namespace talvik {
namespace {

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
