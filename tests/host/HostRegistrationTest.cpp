#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "host/MenuRegistration.h"
#include "host/Releases.h"
#include "host/Strings.h"
#include "platform/RegistryFile.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"

namespace talvik {
namespace {

using testing::ReadBytes;
using testing::RecordingUi;
using testing::RegFile;
using Strings = std::vector<std::string>;

constexpr std::string_view kProgram = "/opt/talvik/bin/talvik";
const std::string kImportEntry = "2|*.cor|Korvu Co\xF6rdinaten|/opt/talvik/bin/talvik";
const std::string kExportEntry = "2|*.prj|Korvu Project|/opt/talvik/bin/talvik";
const std::string kHost = "[HKEY_CURRENT_USER\\Software\\Ornwald\\Kavrin\\";
const std::string kOther = "2|*.xyz|Other Converter|/opt/other";

// A registry file with full menus and refusals that a file cannot give.
struct ScriptedRegistry : RegistryFile {
    using RegistryFile::RegistryFile;
    bool menusFull = false;     // every value read is another program's menu entry
    bool refuseExport = false;  // writes into Export menus fail
    int reads = 0;

    bool GetStringValue(RegKey root, std::string_view path, std::string_view name,
                        std::string& text) override {
        ++reads;
        if (!menusFull) return RegistryFile::GetStringValue(root, path, name, text);
        text = "2|*.xyz|Other|x";
        return true;
    }
    bool SetStringValue(RegKey root, std::string_view path, std::string_view name,
                        std::string_view text) override {
        if (refuseExport && path.ends_with("\\Export")) return false;
        return RegistryFile::SetStringValue(root, path, name, text);
    }
};

struct Host {
    testing::TempFolder folder;
    std::string path = folder.Path("registry.reg");
    ScriptedRegistry registry{path};

    explicit Host(const std::string& content) {
        if (!content.empty()) testing::WriteBytes(path, content);
    }
    // The entries MenuItem0, 1, ... of the release's menu, up to the first missing number.
    Strings Menu(const std::string& release, std::string_view menu) {
        const std::string key = "Software\\Ornwald\\Kavrin\\" + release +
                                "\\ZEV\\Data Conversions\\" + std::string(menu);
        Strings entries;
        for (std::string text; registry.GetStringValue(
                 kHkeyCurrentUser, key, "MenuItem" + std::to_string(entries.size()), text);)
            entries.push_back(text);
        return entries;
    }
};

// Host release keys: those in `zev` with a "ZEV" key and a data path, those in `bare` without.
std::string HostFile(const Strings& zev, const Strings& bare = {}, const std::string& extra = {}) {
    std::string text = RegFile({});
    for (const std::string& release : zev)
        text += kHost + release + "\\ZEV]\r\n\"DataPath\"=\"D:\\\\Data\"\r\n";
    for (const std::string& release : bare)
        text += kHost + release + "]\r\n";
    return text + extra;
}

// The block of a release's menu holding MenuItem0, 1, ... ("" leaves a gap).
std::string MenuBlock(const std::string& release, const char* menu, const Strings& entries) {
    std::string text = kHost + release + "\\ZEV\\Data Conversions\\" + menu + "]\r\n";
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (!entries[i].empty())
            text += "\"MenuItem" + std::to_string(i) + "\"=\"" + entries[i] + "\"\r\n";
    return text;
}

TEST(HostReleases, ListsReleasesAndPrefersReleaseThenTheHighestNumber) {
    // Release keys; the preferred release, then the keys in enumeration order.
    const std::vector<std::pair<Strings, Strings>> cases = {
        {{}, {""}},
        {{"6.0", "5.0"}, {"6.0", "5.0", "6.0"}},
        {{"5.0", "RELEASE", "6.0"}, {"RELEASE", "5.0", "6.0", "RELEASE"}},
        {{"9.5", "10.0"}, {"10.0", "10.0", "9.5"}},
        {{"release", "7"}, {"release", "7", "release"}},
        {{"0.0", "-1"}, {"", "-1", "0.0"}}};
    for (const auto& [keys, names] : cases) {
        Host host(HostFile({}, keys));
        KavrinReleases releases{{"stale", "x"}};
        GetReleases(host.registry, releases);
        EXPECT_EQ(releases.names, names) << ::testing::PrintToString(keys);
        EXPECT_TRUE(releases.filled);
    }
}

TEST(HostReleases, DataPathEndsWithABackslash) {
    Host host(
        RegFile({kHost + "A\\ZEV]", "\"DataPath\"=\"D:\\\\Data\"", kHost + "B\\ZEV]",
                 "\"DataPath\"=\"D:\\\\Data\\\\\"", kHost + "C\\ZEV]", "\"DataPath\"=\"\"",
                 kHost + "D\\ZEV]", "\"Other\"=\"x\"", kHost + "E]", "\"DataPath\"=\"E:\\\\\""}));
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"A", "D:\\Data\\"}, {"b", "D:\\Data\\"}, {"C", "\\"}, {"D", ""}, {"E", ""}, {"F", ""}};
    for (const auto& [release, expected] : cases)
        EXPECT_EQ(GetDataPath(host.registry, release), expected) << release;
}

TEST(HostRegistration, TakesTheSlotOfItsOwnEntryOrTheFirstGap) {
    const std::string older = "2|*.COR|KORVU CO\xD6RDINATEN|/old/TALVIK";
    // Import MenuItem0, 1, ... before ("" leaves a gap) and after registering twice.
    const std::vector<std::pair<Strings, Strings>> cases = {
        {{}, {kImportEntry}},
        {{kOther, older}, {kOther, kImportEntry}},
        {{kOther, "", older}, {kOther, kImportEntry, older}},
        {{"x Korvu co\xF6rdinaten y"}, {kImportEntry}}};
    for (const auto& [before, after] : cases) {
        Host host(HostFile({"5.0"}, {}, MenuBlock("5.0", "Import", before)));
        for (const std::string_view program : {std::string_view("/old/talvik"), kProgram})
            ASSERT_TRUE(RegisterMenuItem(host.registry, "5.0", kImportMenu, kImportPattern,
                                         kImportCaption, program));
        EXPECT_EQ(host.Menu("5.0", "Import"), after) << ::testing::PrintToString(before);
        EXPECT_EQ(host.Menu("5.0", "Export"), Strings{});
    }
    // When every 16-bit number holds another entry, it gives up without writing.
    Host host(HostFile({"5.0"}));
    host.registry.menusFull = true;
    EXPECT_FALSE(RegisterMenuItem(host.registry, "5.0", kExportMenu, kExportPattern, kExportCaption,
                                  kProgram));
    EXPECT_EQ(host.registry.reads, 32768);
    EXPECT_EQ(ReadBytes(host.path).find("MenuItem"), std::string::npos);
}

// A release list filled while no release was installed is read again.
TEST(HostRegistration, AnEmptyReleaseListIsReadAgain) {
    Host host(HostFile({"5.0"}));
    KavrinReleases releases{{""}, true};
    EXPECT_EQ(
        RegisterInReleases(host.registry, 1, kImportPattern, kImportCaption, kProgram, releases),
        "%1 5.0, %2 geen, %3 geen, %4 geen, %5");
}

TEST(HostRegistration, ReportsTheImportOutcomeAndLeavesOneEntryPerMenuWhenRunTwice) {
    const auto report = [](std::string succeeded, const char* failed) {
        return "Aanmelding bij Kavrin:\r\nGeslaagd voor versies: " + succeeded +
               "\r\nMislukt voor versies: " + failed;
    };
    // Registry file, whether writes into Export menus fail, the message.
    const std::vector<std::tuple<std::string, bool, std::string>> cases = {
        {HostFile({"5.0", "6.0"}), false, report("5.0, 6.0", "geen")},
        {RegFile({"[HKEY_CURRENT_USER\\Software\\Other]"}), false, report("geen", "geen")},
        {"", false, report("geen", "geen")},  // no registry file
        {HostFile({"5.0"}, {"4.0", "6.0"}), false, report("5.0", "4.0, 6.0")},
        {HostFile({"5.0"}), true, report("5.0", "geen")}};
    for (const auto& [file, refuseExport, message] : cases) {
        Host host(file);
        host.registry.refuseExport = refuseExport;
        RecordingUi ui;
        RegisterWithHost(host.registry, ui, "/old/place/talvik");
        EXPECT_EQ(RegisterWithHost(host.registry, ui, kProgram), message);
        const std::string shown = "i " + message + " @KORVU Interface";
        EXPECT_EQ(ui.messages, (Strings{shown, shown}));
        for (const std::string release : {"5.0", "6.0"}) {
            const bool ok = message.find(release) < message.find("Mislukt");
            EXPECT_EQ(host.Menu(release, "Import"), ok ? Strings{kImportEntry} : Strings{});
            EXPECT_EQ(host.Menu(release, "Export"),
                      ok && !refuseExport ? Strings{kExportEntry} : Strings{});
        }
        EXPECT_TRUE(message.find("Geslaagd voor versies: geen") == std::string::npos ||
                    ReadBytes(host.path) == file);
        EXPECT_EQ(ReadBytes(host.path).find("4.0\\ZEV"), std::string::npos) << "no ZEV made";
    }
}

TEST(HostRegistration, UnregisterTakesOutOnlyThisProgramsEntriesAndClosesTheGaps) {
    const std::string older = "2|*.cor|Korvu Co\xF6rdinaten|/old/talvik";
    const std::string renamed = "2|*.prj|Eigen|/opt/talvik/bin/talvik";
    // 5.0's Import menu before ("" leaves a gap), after, the report; 6.0 has our Export entry.
    const std::string six = "\r\nVerwijderd uit versie 6.0: Export \"Korvu Project\"";
    const std::string five = "\r\nVerwijderd uit versie 5.0: Import \"Korvu Co\xF6rdinaten\"";
    const std::vector<std::tuple<Strings, Strings, std::string>> cases = {
        {{}, {}, six},
        {{kOther, kImportEntry}, {kOther}, five + six},
        {{kImportEntry, kOther, renamed, older},
         {kOther, older},
         five + ", Import \"Eigen\"" + six},
        {{kOther, "", kImportEntry}, {kOther}, six},  // behind the gap: the host never sees it
    };
    for (const auto& [before, after, removed] : cases) {
        Host host(HostFile(
            {"5.0", "6.0"}, {},
            MenuBlock("5.0", "Import", before) + MenuBlock("6.0", "Export", {kExportEntry})));
        RecordingUi ui;
        const std::string report = UnregisterFromHost(host.registry, ui, kProgram);
        EXPECT_EQ(report, "Afmelding bij Kavrin:" + removed);
        EXPECT_EQ(ui.messages, Strings{"i " + report + " @KORVU Interface"});
        EXPECT_EQ(host.Menu("5.0", "Import"), after) << ::testing::PrintToString(before);
        EXPECT_EQ(host.Menu("6.0", "Export"), Strings{});
    }
    // Nothing of this program: nothing changes; a refused write is reported per release.
    Host host(HostFile({"5.0"}));
    RecordingUi ui;
    EXPECT_EQ(UnregisterFromHost(host.registry, ui, kProgram),
              "Afmelding bij Kavrin:\r\nVerwijderd: geen");
    EXPECT_EQ(ReadBytes(host.path), HostFile({"5.0"}));
    Host refusing(HostFile({"5.0"}, {}, MenuBlock("5.0", "Export", {kExportEntry, kOther})));
    refusing.registry.refuseExport = true;
    EXPECT_EQ(UnregisterFromHost(refusing.registry, ui, kProgram),
              "Afmelding bij Kavrin:\r\nVerwijderd: geen\r\nMislukt voor versies: 5.0");
}

// Splices one replacement at a time and searches on behind the inserted text.
std::string LiteralReplaceAll(std::string text, const std::string& search,
                              const std::string& replacement) {
    for (std::size_t at = text.find(search); at != std::string::npos;
         at = text.find(search, at + replacement.size()))
        text.replace(at, search.size(), replacement);
    return text;
}

TEST(ReplaceAll, MatchesTheOneByOneSplicingOnRandomTexts) {
    std::mt19937 random(20240611);
    const auto randomText = [&](std::size_t minLength, std::size_t maxLength) {
        std::string text(minLength + random() % (maxLength - minLength + 1), 'a');
        for (char& c : text)
            c = "ab%"[random() % 3];
        return text;
    };
    for (int round = 0; round < 5000; ++round) {
        const std::string text = randomText(0, 40), search = randomText(1, 3),
                          replacement = randomText(0, 4);
        ASSERT_EQ(ReplaceAll(text, search, replacement),
                  LiteralReplaceAll(text, search, replacement))
            << text << " / " << search << " / " << replacement;
    }
    // Case counts, and an empty search replaces nothing.
    EXPECT_EQ(ReplaceAll("AbA", "a", "x") + ReplaceAll("text", "", "X"), "AbAtext");
}

}  // namespace
}  // namespace talvik
