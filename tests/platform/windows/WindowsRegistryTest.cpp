// The Windows registry back-end on the real per-user registry, in a key of each test's own
// below HKEY_CURRENT_USER\Software that is removed afterwards.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/windows/WindowsRegistry.h"

namespace talvik {
namespace {

using Strings = std::vector<std::string>;

class WindowsRegistryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        base_ = "Software\\TalvikTest\\" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name());
        ::RegDeleteTreeA(HKEY_CURRENT_USER, base_.c_str());
        RegKey key = 0;
        ASSERT_TRUE(registry_.CreateKey(kHkeyCurrentUser, base_, key));
        registry_.CloseKey(key);
    }
    void TearDown() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, base_.c_str()); }

    std::string Key(const std::string& below) const { return base_ + "\\" + below; }

    // Reads with the system's own call, past the back-end.
    std::string RawValue(const std::string& key, const std::string& name) const {
        char buffer[4096] = {};
        DWORD size = sizeof buffer;
        if (::RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr,
                           buffer, &size) != ERROR_SUCCESS)
            return "<missing>";
        return buffer;
    }

    Strings Subkeys(RegKey key) {
        Strings names;
        std::string name;
        std::uint32_t i = 0;
        for (; registry_.EnumSubkey(key, i, name) == kRegSuccess; ++i)
            names.push_back(name);
        EXPECT_EQ(registry_.EnumSubkey(key, i, name), kRegNoMoreItems);
        return names;
    }

    WindowsRegistry registry_;
    std::string base_;
};

// Handles are pointers on Win64 while a RegKey has 32 bits: every handle must lead back to
// its own key, also when several are open and used as parents in turn.
TEST_F(WindowsRegistryTest, HandlesLeadBackToTheirKeys) {
    std::vector<RegKey> keys;
    RegKey parent = 0;
    ASSERT_TRUE(registry_.OpenKey(kHkeyCurrentUser, base_, parent));
    for (const char* name : {"A", "B", "C"}) {
        RegKey key = 0;
        ASSERT_TRUE(registry_.CreateKey(parent, name, key));
        keys.push_back(key);
    }
    registry_.CloseKey(parent);
    for (std::size_t i = keys.size(); i-- > 0;) {
        RegKey child = 0;
        ASSERT_TRUE(registry_.CreateKey(keys[i], "Child" + std::to_string(i), child));
        EXPECT_TRUE(registry_.SetStringValue(child, "", "Owner", std::to_string(i)));
        EXPECT_TRUE(registry_.CloseKey(child));
    }
    for (std::size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(Subkeys(keys[i]), (Strings{"Child" + std::to_string(i)}));
        EXPECT_EQ(RawValue(Key(std::string(1, char('A' + i)) + "\\Child" + std::to_string(i)),
                           "Owner"),
                  std::to_string(i));
    }
    EXPECT_EQ(registry_.OpenKeys(), keys.size());
    for (const RegKey key : keys)
        EXPECT_TRUE(registry_.CloseKey(key));
    EXPECT_EQ(registry_.OpenKeys(), 0u);
    // A closed or never given handle is refused, not passed to the system.
    std::string name;
    EXPECT_FALSE(registry_.CloseKey(keys[0]));
    EXPECT_EQ(registry_.EnumSubkey(keys[0], 0, name), kRegInvalidHandle);
    EXPECT_FALSE(registry_.SetStringValue(keys[1], "", "Owner", "x"));
    RegKey none = 0;
    EXPECT_FALSE(registry_.OpenKey(0x12345u, "", none));
}

TEST_F(WindowsRegistryTest, KeysFollowTheFailureRules) {
    RegKey key = 0;
    EXPECT_FALSE(registry_.CreateKey(kHkeyCurrentUser, "", key)) << "empty name";
    EXPECT_FALSE(registry_.OpenKey(kHkeyCurrentUser, Key("Missing"), key));
    ASSERT_TRUE(registry_.CreateKey(kHkeyCurrentUser, Key("Made"), key));
    EXPECT_TRUE(registry_.SetStringValue(key, "", "V", "1"));
    registry_.CloseKey(key);
    ASSERT_TRUE(registry_.CreateKey(kHkeyCurrentUser, Key("Made"), key)) << "exists already";
    std::string text;
    EXPECT_TRUE(registry_.GetStringValue(key, "", "V", text));
    EXPECT_EQ(text, "1");
    registry_.CloseKey(key);
    // Values are written into existing keys only.
    EXPECT_FALSE(registry_.SetStringValue(kHkeyCurrentUser, Key("Nowhere"), "V", "1"));
    EXPECT_FALSE(registry_.OpenKey(kHkeyCurrentUser, Key("Nowhere"), key));
}

TEST_F(WindowsRegistryTest, SubkeysComeInTheRegistrysOrder) {
    RegKey base = 0;
    ASSERT_TRUE(registry_.OpenKey(kHkeyCurrentUser, base_, base));
    for (const char* name : {"b", "C", "A", "a1", "6.0", "10.0"}) {
        RegKey key = 0;
        ASSERT_TRUE(registry_.CreateKey(base, name, key));
        registry_.CloseKey(key);
    }
    EXPECT_EQ(Subkeys(base), (Strings{"10.0", "6.0", "A", "a1", "b", "C"}));
    registry_.CloseKey(base);
}

TEST_F(WindowsRegistryTest, StringValuesRoundTripAsBytes) {
    std::string high;
    for (int c = 0x80; c <= 0xFF; ++c)
        high.push_back(static_cast<char>(c));
    const Strings texts = {"", "C:\\Program Files\\Hollberk\\KORVU\\KORVU.EXE",
                           "2|*.cor|Korvu Co\xF6rdinaten|C:\\x", high,
                           // the longest text that fits the host's buffer with its zero
                           std::string(1023, 'y')};
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::string name = "V" + std::to_string(i);
        ASSERT_TRUE(registry_.SetStringValue(kHkeyCurrentUser, base_, name, texts[i])) << i;
        std::string text = "junk";
        EXPECT_TRUE(registry_.GetStringValue(kHkeyCurrentUser, base_, name, text)) << i;
        EXPECT_EQ(text, texts[i]) << i;
    }
}

TEST_F(WindowsRegistryTest, ValuesThatCannotBeReadGiveEmptyText) {
    HKEY raw = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, base_.c_str(), 0, KEY_SET_VALUE, &raw), 0);
    const DWORD number = 7;
    ::RegSetValueExA(raw, "Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                     sizeof number);
    ::RegSetValueExA(raw, "Zero", 0, REG_SZ, reinterpret_cast<const BYTE*>("text"), 5);
    ::RegCloseKey(raw);
    ASSERT_TRUE(registry_.SetStringValue(kHkeyCurrentUser, base_, "Long", std::string(1025, 'z')));

    struct Case {
        std::string key, name;
        bool found;
        std::string text;
    };
    const std::vector<Case> cases = {
        {base_, "Zero", true, "text"},  // stored with its terminating zero
        {base_, "Number", true, ""},    // not a string
        {base_, "Long", false, ""},     // longer than the host's buffer
        {base_, "Missing", false, ""},
        {Key("Missing"), "Zero", false, ""},
    };
    for (const Case& c : cases) {
        std::string text = "junk";
        EXPECT_EQ(registry_.GetStringValue(kHkeyCurrentUser, c.key, c.name, text), c.found)
            << c.name;
        EXPECT_EQ(text, c.text) << c.name;
    }
    // The settings store reads any length.
    std::string text;
    EXPECT_TRUE(registry_.GetLongStringValue(kHkeyCurrentUser, base_, "Long", text));
    EXPECT_EQ(text, std::string(1025, 'z'));
}

}  // namespace
}  // namespace talvik
