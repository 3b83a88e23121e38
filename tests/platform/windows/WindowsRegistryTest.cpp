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
constexpr RegKey kHkcu = kHkeyCurrentUser;

class WindowsRegistryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        base_ = "Software\\TalvikTest\\" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name());
        ::RegDeleteTreeA(HKEY_CURRENT_USER, base_.c_str());
        ASSERT_TRUE(registry_.CreateKey(kHkcu, base_, base_key_));
    }
    void TearDown() override {
        registry_.CloseKey(base_key_);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, base_.c_str());
    }

    std::string Read(const std::string& below, const std::string& name) {
        std::string text = "junk";
        const bool found = registry_.GetStringValue(kHkcu, base_ + below, name, text);
        return found ? text : "<missing>" + text;
    }

    WindowsRegistry registry_;
    std::string base_;
    RegKey base_key_ = 0;
};

// A system handle is a pointer on Win64 while a RegKey has 32 bits: each handle must lead back
// to its own key, also while several are open and used as parents in turn.
TEST_F(WindowsRegistryTest, HandlesLeadBackToTheirKeys) {
    std::vector<RegKey> keys(3);
    for (std::size_t i = 0; i < keys.size(); ++i)
        ASSERT_TRUE(registry_.CreateKey(base_key_, std::string(1, char('A' + i)), keys[i]));
    for (std::size_t i = keys.size(); i-- > 0;) {
        RegKey child = 0;
        ASSERT_TRUE(registry_.CreateKey(keys[i], "Child", child));
        EXPECT_TRUE(registry_.SetStringValue(child, "", "Owner", std::to_string(i)));
        EXPECT_TRUE(registry_.CloseKey(child));
    }
    for (std::size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(Read("\\" + std::string(1, char('A' + i)) + "\\Child", "Owner"),
                  std::to_string(i));
        EXPECT_TRUE(registry_.CloseKey(keys[i]));
    }
    EXPECT_EQ(registry_.OpenKeys(), 1u);
    // A closed or never given handle is refused, not passed to the system.
    std::string name;
    EXPECT_FALSE(registry_.CloseKey(keys[0]));
    EXPECT_EQ(registry_.EnumSubkey(keys[0], 0, name), kRegInvalidHandle);
    EXPECT_FALSE(registry_.SetStringValue(keys[1], "", "Owner", "x"));
    RegKey none = 0;
    EXPECT_FALSE(registry_.OpenKey(0x12345u, "", none));
}

TEST_F(WindowsRegistryTest, KeysAreCreatedOnlyWhereAsked) {
    RegKey key = 0;
    EXPECT_FALSE(registry_.CreateKey(base_key_, "", key)) << "empty name";
    EXPECT_FALSE(registry_.OpenKey(base_key_, "Missing", key));
    EXPECT_FALSE(registry_.SetStringValue(base_key_, "Missing", "V", "1"));
    EXPECT_FALSE(registry_.OpenKey(base_key_, "Missing", key)) << "a write does not create";
    for (const char* name : {"b", "C", "A", "a1", "6.0", "10.0", "b"}) {
        ASSERT_TRUE(registry_.CreateKey(base_key_, name, key)) << name;
        registry_.CloseKey(key);
    }
    Strings names;
    std::uint32_t i = 0;
    for (std::string name; registry_.EnumSubkey(base_key_, i, name) == kRegSuccess; ++i)
        names.push_back(name);
    EXPECT_EQ(names, (Strings{"10.0", "6.0", "A", "a1", "b", "C"}));
    std::string name;
    EXPECT_EQ(registry_.EnumSubkey(base_key_, i, name), kRegNoMoreItems);
}

TEST_F(WindowsRegistryTest, StringValuesRoundTripAsBytes) {
    std::string high;
    for (int c = 0x80; c <= 0xFF; ++c)
        high.push_back(static_cast<char>(c));
    // The longest text that fits the host's buffer with a terminating zero comes last.
    const Strings texts = {"", "2|*.cor|Korvu Co\xF6rdinaten|C:\\x", high, std::string(1023, 'y')};
    for (const std::string& text : texts) {
        ASSERT_TRUE(registry_.SetStringValue(kHkcu, base_, "V", text));
        EXPECT_EQ(Read("", "V"), text);
    }
}

TEST_F(WindowsRegistryTest, ValuesThatCannotBeReadGiveEmptyText) {
    const HKEY raw = HKEY_CURRENT_USER;
    const DWORD number = 7;
    ::RegSetKeyValueA(raw, base_.c_str(), "Number", REG_DWORD, &number, sizeof number);
    ::RegSetKeyValueA(raw, base_.c_str(), "Zero", REG_SZ, "text", 5);
    ASSERT_TRUE(registry_.SetStringValue(kHkcu, base_, "Long", std::string(1025, 'z')));
    EXPECT_EQ(Read("", "Zero"), "text") << "stored with its terminating zero";
    EXPECT_EQ(Read("", "Number"), "") << "not a string";
    EXPECT_EQ(Read("", "Long"), "<missing>") << "longer than the host's buffer";
    EXPECT_EQ(Read("", "Missing"), "<missing>");
    EXPECT_EQ(Read("\\Missing", "Zero"), "<missing>");
    // The settings store reads any length.
    std::string text;
    EXPECT_TRUE(registry_.GetLongStringValue(kHkcu, base_, "Long", text));
    EXPECT_EQ(text, std::string(1025, 'z'));
}

}  // namespace
}  // namespace talvik
