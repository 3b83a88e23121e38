#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "host/MenuRegistration.h"
#include "host/Releases.h"
#include "platform/RegistryFile.h"
#include "platform/RegistryTestFiles.h"

namespace talvik {
namespace {

using testing::CrLf;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

constexpr std::string_view kProgram = "/opt/talvik/bin/talvik";
const std::string kImportEntry = "2|*.cor|Korvu Co\xF6rdinaten|/opt/talvik/bin/talvik";
const std::string kExportEntry = "2|*.prj|Korvu Project|/opt/talvik/bin/talvik";
const std::string kHost = "[HKEY_CURRENT_USER\\Software\\Ornwald\\Kavrin\\";

struct Shown {
    std::string text;
    Buttons buttons;
    Icon icon;
    std::string title;
};

class RecordingUi : public UserInterface {
  public:
    Answer Message(std::string_view text, Buttons buttons, Icon icon,
                   std::string_view title) override {
        shown.push_back({std::string(text), buttons, icon, std::string(title)});
        return Answer::Ok;
    }
    void Progress(std::string_view) override {}
    void Yield() override {}
    std::vector<Shown> shown;
};

// Passes everything to a real registry, with a few faults and orders that a file cannot give.
class ScriptedRegistry : public Registry {
  public:
    explicit ScriptedRegistry(Registry& inner) : inner_(inner) {}
    std::function<bool(std::string_view path)> refuseSet;
    std::function<bool(std::string_view valueName, std::string& text)> readOverride;
    std::vector<std::string> enumeration;  // when not empty: the subkeys every key reports
    int sets = 0;

    bool OpenKey(RegKey parent, std::string_view path, RegKey& key) override {
        return inner_.OpenKey(parent, path, key);
    }
    bool CreateKey(RegKey parent, std::string_view name, RegKey& key) override {
        return inner_.CreateKey(parent, name, key);
    }
    bool CloseKey(RegKey key) override { return inner_.CloseKey(key); }
    long EnumSubkey(RegKey key, std::uint32_t index, std::string& name) override {
        if (enumeration.empty()) return inner_.EnumSubkey(key, index, name);
        if (index >= enumeration.size()) return kRegNoMoreItems;
        name = enumeration[index];
        return kRegSuccess;
    }
    bool GetStringValue(RegKey root, std::string_view path, std::string_view valueName,
                        std::string& text) override {
        if (readOverride) return readOverride(valueName, text);
        return inner_.GetStringValue(root, path, valueName, text);
    }
    bool SetStringValue(RegKey root, std::string_view path, std::string_view valueName,
                        std::string_view text) override {
        ++sets;
        if (refuseSet && refuseSet(path)) return false;
        return inner_.SetStringValue(root, path, valueName, text);
    }

  private:
    Registry& inner_;
};

struct Host {
    TempFolder folder;
    std::string path = folder.Path("registry.reg");
    RegistryFile registry{path};

    explicit Host(const std::string& content) {
        if (!content.empty()) WriteBytes(path, content);
    }
    std::string Entry(const std::string& release, std::string_view menu, int number) {
        std::string text;
        const std::string key = "Software\\Ornwald\\Kavrin\\" + release +
                                "\\ZEV\\Data Conversions\\" + std::string(menu);
        if (!registry.GetStringValue(kHkeyCurrentUser, key, "MenuItem" + std::to_string(number),
                                     text)) {
            return "<none>";
        }
        return text;
    }
};

// A registry file with release keys; those listed in `withZev` get a "ZEV" key with a data path.
std::string HostFile(const std::vector<std::string>& releases,
                     const std::vector<std::string>& withZev, std::string extra = {}) {
    std::string text = CrLf({"REGEDIT4", ""});
    for (const std::string& release : releases) {
        const bool zev = std::find(withZev.begin(), withZev.end(), release) != withZev.end();
        text += zev ? CrLf({kHost + release + "\\ZEV]", "\"DataPath\"=\"D:\\\\Data\"", ""})
                    : CrLf({kHost + release + "]", ""});
    }
    return text + extra;
}

TEST(HostReleases, ListsReleasesAndPrefersReleaseThenTheHighestNumber) {
    struct Case {
        std::vector<std::string> keys;  // in file order
        std::vector<std::string> names;
    };
    const std::vector<Case> cases = {
        {{}, {""}},
        {{"6.0", "5.0"}, {"6.0", "5.0", "6.0"}},
        {{"5.0", "RELEASE", "6.0"}, {"RELEASE", "5.0", "6.0", "RELEASE"}},
        {{"9.5", "10.0"}, {"10.0", "10.0", "9.5"}},
        {{"release", "7"}, {"release", "7", "release"}},
        {{"Beta", "Alpha"}, {"", "Alpha", "Beta"}},
        {{"0.0", "-1"}, {"", "-1", "0.0"}},
    };
    for (const Case& c : cases) {
        Host host(c.keys.empty() ? CrLf({"REGEDIT4", "", "[HKEY_CURRENT_USER\\Software\\Other]"})
                                 : HostFile(c.keys, c.keys));
        KavrinReleases releases;
        releases.names = {"stale", "x"};
        GetReleases(host.registry, releases);
        EXPECT_EQ(releases.names, c.names) << ::testing::PrintToString(c.keys);
        EXPECT_TRUE(releases.filled);
    }

    // A numbered release enumerated after "RELEASE" takes its place.
    Host host(HostFile({"X"}, {}));
    ScriptedRegistry scripted(host.registry);
    scripted.enumeration = {"5.0", "RELEASE", "7.5", "Z"};
    KavrinReleases releases;
    GetReleases(scripted, releases);
    EXPECT_EQ(releases.names[0], "7.5");
}

TEST(HostReleases, DataPathEndsWithABackslash) {
    Host host(
        CrLf({"REGEDIT4", "", kHost + "A\\ZEV]", "\"DataPath\"=\"D:\\\\Data\"", kHost + "B\\ZEV]",
              "\"DataPath\"=\"D:\\\\Data\\\\\"", kHost + "C\\ZEV]", "\"DataPath\"=\"\"",
              kHost + "D\\ZEV]", "\"Other\"=\"x\"", kHost + "E]", "\"DataPath\"=\"E:\\\\\""}));
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"A", "D:\\Data\\"}, {"b", "D:\\Data\\"}, {"C", "\\"}, {"D", ""}, {"E", ""}, {"F", ""},
    };
    for (const auto& [release, expected] : cases) {
        EXPECT_EQ(GetDataPath(host.registry, release), expected) << release;
    }
}

TEST(HostRegistration, ConversionKeysNeedTheZevKey) {
    Host host(HostFile({"4.0", "5.0"}, {"5.0"}));
    EXPECT_FALSE(EnsureConversionKeys(host.registry, "4.0"));
    EXPECT_FALSE(EnsureConversionKeys(host.registry, "3.0"));
    EXPECT_EQ(ReadBytes(host.path), HostFile({"4.0", "5.0"}, {"5.0"})) << "nothing created";
    EXPECT_TRUE(EnsureConversionKeys(host.registry, "5.0"));
    EXPECT_TRUE(EnsureConversionKeys(host.registry, "5.0"));
    RegKey key = 0;
    for (const char* menu : {"Import", "Export"}) {
        EXPECT_TRUE(host.registry.OpenKey(
            kHkeyCurrentUser,
            std::string("SOFTWARE\\ORNWALD\\KAVRIN\\5.0\\ZEV\\Data Conversions\\") + menu, key));
    }
}

TEST(HostRegistration, FindsTheSlotOfItsEntry) {
    struct Case {
        const char* what;
        std::vector<std::string> before;  // Import MenuItem0, 1, ... ("" leaves a gap)
        std::vector<std::string> after;
    };
    const std::string other = "2|*.xyz|Other Converter|C:\\other.exe";
    const std::string older = "2|*.COR|KORVU CO\xD6RDINATEN|C:\\Old\\TALVIK.exe";
    const std::vector<Case> cases = {
        {"empty menu", {}, {kImportEntry, "<none>"}},
        {"older entry of ours in another case", {other, older}, {other, kImportEntry, "<none>"}},
        {"our entry first", {older, other}, {kImportEntry, other, "<none>"}},
        {"gap before our entry", {other, "", older}, {other, kImportEntry, older, "<none>"}},
        {"caption inside a longer text", {"x Korvu co\xF6rdinaten y"}, {kImportEntry, "<none>"}},
    };
    for (const Case& c : cases) {
        std::string values;
        for (std::size_t i = 0; i < c.before.size(); ++i) {
            if (!c.before[i].empty()) {
                values += "\"MenuItem" + std::to_string(i) + "\"=\"" + c.before[i] + "\"\r\n";
            }
        }
        // Backslashes of the hand-written values are written as the file wants them.
        std::string escaped;
        for (const char ch : values)
            escaped += ch == '\\' ? std::string("\\\\") : std::string(1, ch);
        Host host(HostFile({"5.0"}, {"5.0"},
                           kHost + "5.0\\ZEV\\Data Conversions\\Import]\r\n" + escaped));
        ASSERT_TRUE(RegisterMenuItem(host.registry, "5.0", kImportMenu, kImportPattern,
                                     kImportCaption, kProgram))
            << c.what;
        for (std::size_t i = 0; i < c.after.size(); ++i) {
            EXPECT_EQ(host.Entry("5.0", "Import", static_cast<int>(i)), c.after[i])
                << c.what << " MenuItem" << i;
        }
        EXPECT_EQ(host.Entry("5.0", "Export", 0), "<none>") << c.what;
    }
}

TEST(HostRegistration, StopsAtTheEndOfTheSixteenBitNumbers) {
    Host host(HostFile({"5.0"}, {"5.0"}));
    ScriptedRegistry scripted(host.registry);
    int reads = 0;
    std::string lastName;
    scripted.readOverride = [&](std::string_view name, std::string& text) {
        ++reads;
        lastName = std::string(name);
        text = "2|*.xyz|Other|x";
        return true;
    };
    EXPECT_FALSE(
        RegisterMenuItem(scripted, "5.0", kExportMenu, kExportPattern, kExportCaption, kProgram));
    EXPECT_EQ(reads, 32768);
    EXPECT_EQ(lastName, "MenuItem32767");
    EXPECT_EQ(scripted.sets, 0);
}

TEST(HostRegistration, ChoiceSelectsTheMenus) {
    struct Case {
        std::int16_t choice;
        const char* report;
        bool import;
        bool exportMenu;
    };
    const std::vector<Case> cases = {
        {1, "%1 5.0, %2 4.0, %3 geen, %4 geen, %5", true, false},
        {2, "%1 geen, %2 geen, %3 5.0, %4 4.0, %5", false, true},
        {0, "%1 5.0, %2 4.0, %3 5.0, %4 4.0, %5", true, true},
        {3, "%1 5.0, %2 4.0, %3 5.0, %4 4.0, %5", true, true},
        {4, "%1 geen, %2 geen, %3 geen, %4 geen, %5", false, false},
        {-1, "%1 geen, %2 geen, %3 geen, %4 geen, %5", false, false},
    };
    for (const Case& c : cases) {
        Host host(HostFile({"4.0", "5.0"}, {"5.0"}));
        KavrinReleases releases;
        EXPECT_EQ(RegisterInReleases(host.registry, c.choice, kImportPattern, kImportCaption,
                                     kProgram, releases),
                  c.report)
            << c.choice;
        EXPECT_EQ(host.Entry("5.0", "Import", 0) != "<none>", c.import) << c.choice;
        EXPECT_EQ(host.Entry("5.0", "Export", 0) != "<none>", c.exportMenu) << c.choice;
    }
}

TEST(HostRegistration, ReusesAFilledReleaseList) {
    Host host(HostFile({"5.0"}, {"5.0"}));
    KavrinReleases releases;
    releases.names = {"9.0", "9.0"};
    releases.filled = true;
    EXPECT_EQ(
        RegisterInReleases(host.registry, 1, kImportPattern, kImportCaption, kProgram, releases),
        "%1 geen, %2 9.0, %3 geen, %4 geen, %5");
    releases.names = {""};  // filled, but without releases: read again
    EXPECT_EQ(
        RegisterInReleases(host.registry, 1, kImportPattern, kImportCaption, kProgram, releases),
        "%1 5.0, %2 geen, %3 geen, %4 geen, %5");
}

TEST(HostRegistration, ReportsTheImportOutcomeOfEveryRelease) {
    struct Case {
        const char* what;
        std::string file;
        bool refuseExport;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"two releases", HostFile({"5.0", "6.0"}, {"5.0", "6.0"}), false,
         "Aanmelding bij Kavrin:\r\nGeslaagd voor versies: 5.0, 6.0\r\nMislukt voor versies: geen"},
        {"no host key", CrLf({"REGEDIT4", "", "[HKEY_CURRENT_USER\\Software\\Other]"}), false,
         "Aanmelding bij Kavrin:\r\nGeslaagd voor versies: geen\r\nMislukt voor versies: geen"},
        {"no registry file", "", false,
         "Aanmelding bij Kavrin:\r\nGeslaagd voor versies: geen\r\nMislukt voor versies: geen"},
        {"release without ZEV", HostFile({"4.0", "5.0", "6.0"}, {"5.0"}), false,
         "Aanmelding bij Kavrin:\r\nGeslaagd voor versies: 5.0\r\nMislukt voor versies: 4.0, 6.0"},
        {"export refused", HostFile({"5.0"}, {"5.0"}), true,
         "Aanmelding bij Kavrin:\r\nGeslaagd voor versies: 5.0\r\nMislukt voor versies: geen"},
    };
    for (const Case& c : cases) {
        Host host(c.file);
        ScriptedRegistry scripted(host.registry);
        if (c.refuseExport) {
            scripted.refuseSet = [](std::string_view path) { return path.ends_with("\\Export"); };
        }
        RecordingUi ui;
        const std::string before = ReadBytes(host.path);
        EXPECT_EQ(RegisterWithHost(scripted, ui, kProgram), c.message) << c.what;
        ASSERT_EQ(ui.shown.size(), 1u) << c.what;
        EXPECT_EQ(ui.shown[0].text, c.message) << c.what;
        EXPECT_EQ(ui.shown[0].buttons, Buttons::Ok);
        EXPECT_EQ(ui.shown[0].icon, Icon::Information);
        EXPECT_EQ(ui.shown[0].title, "KORVU Interface");
        if (c.message.find("Geslaagd voor versies: geen") != std::string::npos) {
            EXPECT_EQ(ReadBytes(host.path), before) << c.what << ": nothing written";
        }
    }
}

TEST(HostRegistration, RunningTwiceLeavesOneEntryPerMenu) {
    const std::string other = "\"MenuItem0\"=\"2|*.xyz|Other|C:\\\\other.exe\"\r\n";
    Host host(HostFile({"5.0", "6.0"}, {"5.0", "6.0"},
                       kHost + "6.0\\ZEV\\Data Conversions\\Export]\r\n" + other));
    KavrinReleases releases;
    RecordingUi ui;
    RegisterWithHost(host.registry, releases, ui, "/old/place/talvik");
    RegisterWithHost(host.registry, releases, ui, kProgram);
    EXPECT_EQ(releases.names, (std::vector<std::string>{"6.0", "5.0", "6.0"}));
    struct Expect {
        const char* release;
        const char* menu;
        std::vector<std::string> entries;
    };
    const std::vector<Expect> expected = {
        {"5.0", "Import", {kImportEntry, "<none>"}},
        {"5.0", "Export", {kExportEntry, "<none>"}},
        {"6.0", "Import", {kImportEntry, "<none>"}},
        {"6.0", "Export", {"2|*.xyz|Other|C:\\other.exe", kExportEntry, "<none>"}},
    };
    for (const Expect& e : expected) {
        for (std::size_t i = 0; i < e.entries.size(); ++i) {
            EXPECT_EQ(host.Entry(e.release, e.menu, static_cast<int>(i)), e.entries[i])
                << e.release << " " << e.menu << " " << i;
        }
    }
    EXPECT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(host.registry.CheckFile(), "");
}

}  // namespace
}  // namespace talvik
