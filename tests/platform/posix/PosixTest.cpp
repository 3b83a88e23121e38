// The POSIX back-ends: the REGEDIT4 store's file (its format, locking, damaged and unreadable
// files, permission bits) and the launcher (quoting, detaching).

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/RegistryFile.h"
#include "platform/posix/PosixLauncher.h"
#include "support/TempFolder.h"

namespace talvik {
namespace {

using testing::ReadBytes;
using testing::RegFile;
using testing::TempFolder;
using Strings = std::vector<std::string>;

constexpr RegKey kHkcu = kHkeyCurrentUser;

struct Fixture {
    TempFolder folder;
    std::string path = folder.Path("talvik/registry.reg");
    RegistryFile registry{path};

    explicit Fixture(std::string_view content = {}) {
        if (!content.empty()) testing::WriteBytes(path, content);
    }
    // The text, or "<missing>" followed by whatever the failed read left in the text.
    std::string Read(std::string_view key, std::string_view name) {
        std::string text = "junk";
        return registry.GetStringValue(kHkcu, key, name, text) ? text : "<missing>" + text;
    }
    Strings Subkeys(std::string_view key) {
        RegKey handle = 0;
        if (!registry.OpenKey(kHkcu, key, handle)) return {"<no key>"};
        Strings names;
        std::string name;
        for (std::uint32_t i = 0; registry.EnumSubkey(handle, i, name) == kRegSuccess; ++i)
            names.push_back(name);
        registry.CloseKey(handle);
        return names;
    }
};

TEST(RegistryFile, ReadsAHandWrittenFileAndKeepsWhatItCannotReadThroughARewrite) {
    std::string hex1024 = "61";
    for (int i = 1; i < 1024; ++i)
        hex1024 += ",61";
    const std::string x1024(1024, 'x');
    std::string huge(2 * 1024 * 1024, 'h');
    huge[5] = '\xF6';
    // Line(s) of the file (in the block of Software\Test unless they start one), name, text.
    const std::vector<std::tuple<std::string, const char*, std::string>> cases = {
        {"\"Plain\"=\"abc\"", "PLAIN", "abc"},
        {"\"Escaped\"=\"a\\\\b \\\"q\\\" c:\\\\dir\\\\\"", "Escaped", "a\\b \"q\" c:\\dir\\"},
        {"\"Lenient\"=\"C:\\Data\"", "Lenient", "C:\\Data"},
        {"   \"Indented\"  =  \"x y\"", "indented", "x y"},
        {"\"Empty\"=\"\"", "Empty", ""},
        {"@=\"default\"", "", "default"},
        // Values of other types read as empty text, as the platform's query succeeds for them.
        {"\"Number\"=dword:00000001", "Number", ""},
        {"\"Binary\"=hex:01,02,\\\r\n  03,04", "Binary", ""},
        {"\"Dangling\"=hex:05,\\", "Dangling", ""},
        // A blank line ends a continued value; the next line must not become part of it.
        {"\"DanglingText\"=hex(1):61,62,\\\r\n\r\nwhat is this line", "DanglingText", "ab"},
        {"; comment\r\nwhat is this line\r\n\"Removed\"=-", "Removed", "<missing>"},
        {"\"Zero\"=hex(1):61,62,63,00", "Zero", "abc"},
        {"\"NoZero\"=hex(1):61,62,63", "NoZero", "abc"},
        {"\"Twice\"=\"first\"\r\n\"Twice\"=\"second\"", "Twice", "second"},
        {"\"Cp1252\"=\"Co\xF6rdinaten\"", "Cp1252", "Co\xF6rdinaten"},
        {"\"Fits\"=\"" + x1024 + "\"", "Fits", x1024},
        {"\"Over\"=\"" + x1024 + "x\"", "Over", "<missing>"},
        {"\"OverWithZero\"=hex(1):" + hex1024 + ",00", "OverWithZero", "<missing>"},
        {"\"Huge\"=\"" + huge + "\"", "Huge", "<missing>"},
        {"[HKEY_LOCAL_MACHINE\\Software\\Test]\r\n\"Other\"=\"m\"", "Other", "<missing>"},
        {"[-HKEY_CURRENT_USER\\Software\\Gone]\r\n\"Deleted\"=\"d\"", "Deleted", "<missing>"},
        {"[hkey_current_user\\SOFTWARE\\TEST]\r\n\"Merged\"=\"2nd\"", "Merged", "2nd"},
        {"[HKEY_CURRENT_USER\\Software\\Zzz]\r\n\"Last\"=hex:07,\\", "Last", "<missing>"}};
    std::string file = "REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\\Test]\r\n";
    for (const auto& [line, name, text] : cases)
        file += line + "\r\n";
    Fixture f(file);
    for (int round = 0; round < 2; ++round) {  // as written, then as rewritten
        const std::string now = ReadBytes(f.path);
        for (const auto& [line, name, text] : cases) {
            EXPECT_EQ(f.Read("software\\test", name), text) << round << line.substr(0, 40);
            EXPECT_TRUE(text != "<missing>" || now.find(line + "\r\n") != std::string::npos)
                << "what cannot be read is kept as written: " << line.substr(0, 40);
        }
        ASSERT_TRUE(f.registry.SetStringValue(kHkcu, "Software\\Test", "New", "n"));
        ASSERT_TRUE(f.registry.SetStringValue(kHkcu, "Software\\Zzz", "After", "a"));
    }
    EXPECT_EQ(f.Read("Software\\Test", "New") + f.Read("Software\\Zzz", "After"), "na");
    for (const char* key : {"Software", "Software\\Test\\", "Software\\Missing"})
        EXPECT_EQ(f.Read(key, "Plain"), "<missing>") << key;
    std::string text;
    EXPECT_TRUE(f.registry.GetLongStringValue(kHkcu, "Software\\Test", "Huge", text));
    EXPECT_TRUE(text == huge);
    EXPECT_EQ(f.registry.Problem(), "");
}

// A changed file is read again once its time moved, and always by a write, under the lock.
TEST(RegistryFile, ReadsTheFileAgainWhenItChanged) {
    Fixture f(RegFile({"[HKEY_CURRENT_USER\\Software\\Test]", "\"A\"=\"1\""}));
    ASSERT_EQ(f.Read("Software\\Test", "A"), "1");
    struct stat before {};
    ASSERT_EQ(::stat(f.path.c_str(), &before), 0);
    const timespec later[2] = {{before.st_mtim.tv_sec + 1, 0}, {before.st_mtim.tv_sec + 1, 0}};
    for (const char* value : {"2", "3"}) {  // the same size, then the same time too
        std::ofstream(f.path, std::ios::in | std::ios::out | std::ios::binary) << RegFile(
            {"[HKEY_CURRENT_USER\\Software\\Test]", "\"A\"=\"" + std::string(value) + "\""});
        ASSERT_EQ(::utimensat(AT_FDCWD, f.path.c_str(), later, 0), 0);
        EXPECT_EQ(f.Read("Software\\Test", "A"), "2") << "after " << value;
    }
    ASSERT_TRUE(f.registry.SetStringValue(kHkcu, "Software\\Test", "B", "b"));
    EXPECT_EQ(f.Read("Software\\Test", "A") + f.Read("Software\\Test", "B"), "3b");
}

TEST(RegistryFile, EnumeratesSubkeysInUpperCaseOrderWithImplicitParents) {
    const std::string root = "[HKEY_CURRENT_USER\\Root\\";
    Fixture f(RegFile({root + "zeta]", root + "9.5]", root + "\xE9t\xE9]", root + "RELEASE\\ZEV]",
                       root + "10.0]", root + "alpha\\deep\\deeper]",
                       "[HKEY_CURRENT_USER\\ROOT\\ZETA\\child]", root + "Beta]",
                       "[HKEY_LOCAL_MACHINE\\Root\\Machine]", "[-HKEY_CURRENT_USER\\Root\\Deleted]",
                       "[HKEY_CURRENT_USER\\Long\\" + std::string(301, 'L') + "]",
                       "[HKEY_CURRENT_USER\\Longest\\" + std::string(300, 'M') + "]"}));
    // 0xE9 folds to 0xC9, after ASCII; a key keeps its first case; parents exist implicitly.
    EXPECT_EQ(f.Subkeys("Root"),
              (Strings{"10.0", "9.5", "alpha", "Beta", "RELEASE", "zeta", "\xE9t\xE9"}));
    EXPECT_EQ(f.Subkeys(""), (Strings{"Long", "Longest", "Root"}));
    EXPECT_EQ(f.Subkeys("root\\ALPHA"), (Strings{"deep"}));
    EXPECT_EQ(f.Subkeys("Longest"), (Strings{std::string(300, 'M')}));

    RegKey key = 0;
    std::string name = "junk";
    ASSERT_TRUE(f.registry.OpenKey(kHkcu, "Long", key));
    EXPECT_EQ(f.registry.EnumSubkey(key, 0, name), kRegMoreData);
    EXPECT_EQ(name, "");
    EXPECT_EQ(f.registry.EnumSubkey(key, 1, name), kRegNoMoreItems);
    EXPECT_TRUE(f.registry.CloseKey(key));
    EXPECT_FALSE(f.registry.CloseKey(key));
    EXPECT_EQ(f.registry.EnumSubkey(key, 0, name), kRegInvalidHandle);
}

TEST(RegistryFile, KeyOperationsFollowTheFailureRules) {
    Fixture f(RegFile({"[HKEY_CURRENT_USER\\Software\\Host\\5.0\\ZEV]"}));
    const std::string before = ReadBytes(f.path);
    // clang-format off
    const std::vector<std::tuple<RegKey, std::string, bool>> cases = {
        {kHkcu, "", false}, {kHkcu, "\\Software", false}, {kHkcu, "Software\\\\X", false},
        {kHkcu, "Software\\X\\", false}, {0x4242, "X", false}, {kHkcu, "Software\\A\nB", false},
        {kHkcu, "Software\\" + std::string(256, 'x'), false},
        {kHkcu, "SOFTWARE\\HOST\\5.0\\zev", true},
        {kHkcu, "Software\\Host", true}};  // exists only through its subkey
    // clang-format on
    for (const auto& [parent, name, ok] : cases) {
        RegKey key = 99;
        EXPECT_EQ(f.registry.CreateKey(parent, name, key), ok) << name;
        EXPECT_EQ(key != 0, ok) << name;
    }
    RegKey key = 99;
    EXPECT_FALSE(f.registry.SetStringValue(kHkcu, "Software\\Host\\6.0\\ZEV", "DataPath", "x"));
    EXPECT_FALSE(f.registry.OpenKey(kHkcu, "Software\\Host\\6.0", key));
    EXPECT_EQ(key, 0u);
    EXPECT_EQ(ReadBytes(f.path), before) << "nothing was written";
    // Into a key that exists only through its subkey it writes, and gives the key a block.
    EXPECT_TRUE(f.registry.SetStringValue(kHkcu, "software\\host", "Preferred", "5.0"));
    EXPECT_EQ(f.Read("Software\\Host", "preferred"), "5.0");
    EXPECT_NE(ReadBytes(f.path).find("[HKEY_CURRENT_USER\\Software\\Host]\r\n"), std::string::npos);
}

TEST(RegistryFile, StringValuesRoundTrip) {
    Fixture f;
    RegKey key = 0;
    ASSERT_TRUE(f.registry.CreateKey(kHkcu, "K", key));
    const Strings texts = {"",
                           "\\\"q\" c:\\dir\\",
                           "Co\xF6rdinaten \x80\xFF\ttab",
                           "two\r\n; lines\r\n[no key]",
                           std::string("nul\0inside", 10),
                           std::string(3000, 'y')};
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::string name = "V" + std::to_string(i);
        ASSERT_TRUE(f.registry.SetStringValue(key, "", name, texts[i])) << i;
        std::string text;
        EXPECT_TRUE(RegistryFile(f.path).GetLongStringValue(kHkcu, "k", name, text)) << i;
        EXPECT_EQ(text, texts[i]) << i;
    }
    // Setting a value in another case keeps the name as first written.
    ASSERT_TRUE(f.registry.SetStringValue(kHkcu, "K", "v1", "changed"));
    EXPECT_NE(ReadBytes(f.path).find("\r\n\"V1\"=\"changed\"\r\n"), std::string::npos);
    EXPECT_EQ(std::filesystem::status(f.folder.Path("talvik")).permissions(),
              std::filesystem::perms::owner_all)
        << "the folder made for the file is private";
}

TEST(RegistryFile, DamagedFilesAreReadAsFarAsPossibleAndNeverRewritten) {
    const std::string good = RegFile({"[HKEY_CURRENT_USER\\K]", "\"Plain\"=\"p\""});
    // Content, what the value before any damage reads as, the problem ("" for a sound file).
    const std::vector<std::tuple<std::string, const char*, std::string>> cases = {
        {good + "\"Open\"=\"no end\r\n", "p", "regel 5:"},
        {good + "\"DataPath\"=\"D:\\Data\\\"\r\n", "p", "regel 5:"},
        {good + "[HKEY_CURRENT_USER\\L\r\n", "p", "regel 5:"},
        {good + std::string("\x01\x02\x00\xFF\r\n", 5), "p", "regel 5:"},
        {std::string("\xFF\xFER\0E\0G\0", 8), "<missing>", "regel 1:"},
        {"[HKEY_CURRENT_USER\\K]\r\n\"Plain\"=\"p\"\r\n", "<missing>", "regel 1:"},
        {"REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n\"Plain\"=\"p\"\n", "p", ""},
        {"REGEDIT4\r\r[HKEY_CURRENT_USER\\K]\r\"Plain\"=\"p\"", "p", ""},
        {"\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n  [HKCU\\K]  \r\n\"Plain\"=\"p\"",
         "p", ""},
        {"\r\n  \r\n", "<missing>", ""},
        {"", "<missing>", ""}};  // no file at all
    for (const auto& [content, plain, problem] : cases) {
        Fixture f(content);
        EXPECT_EQ(f.Read("K", "Plain"), plain) << content;
        EXPECT_EQ(std::filesystem::exists(f.folder.Path("talvik")), !content.empty())
            << "reading creates nothing";
        const std::string said = f.registry.Problem();  // names the file and the line
        EXPECT_EQ(said.empty(), problem.empty()) << content << ": " << said;
        EXPECT_NE(said.find(problem), std::string::npos) << said;
        EXPECT_NE(said.find(problem.empty() ? "" : f.path), std::string::npos) << said;
        RegKey key = 0;
        EXPECT_EQ(f.registry.CreateKey(kHkcu, "K\\New", key), problem.empty()) << content;
        EXPECT_EQ(f.registry.SetStringValue(kHkcu, "K", "Plain", "new"), problem.empty());
        EXPECT_EQ(f.Read("K", "Plain"), problem.empty() ? "new" : plain) << content;
        EXPECT_TRUE(problem.empty() || ReadBytes(f.path) == content) << "never rewritten";
    }
}

TEST(RegistryFile, ReportsAFileThatCannotBeRead) {
    TempFolder folder;
    ASSERT_EQ(::mkfifo(folder.Path("fifo.reg").c_str(), 0600), 0);
    // A folder, a pipe (refused, not waited for), no path at all.
    for (const std::string& path : {folder.Path(), folder.Path("fifo.reg"), std::string()}) {
        RegistryFile registry(path);
        RegKey key = 0;
        EXPECT_FALSE(registry.OpenKey(kHkcu, "K", key)) << path;
        EXPECT_FALSE(registry.CreateKey(kHkcu, "K", key)) << path;
        EXPECT_FALSE(registry.Problem().empty()) << path;
    }
    EXPECT_FALSE(std::filesystem::exists(folder.Path() + ".lock"));  // nothing left beside it
}

TEST(RegistryFile, DefaultPathFollowsTheConfigurationFolder) {
    const std::vector<std::tuple<const char*, const char*, std::string>> cases = {
        {"/cfg/", "/home/u", "/cfg/talvik/registry.reg"},
        {"", "/home/u", "/home/u/.config/talvik/registry.reg"},
        {"relative", "/h", "/h/.config/talvik/registry.reg"},
        {nullptr, nullptr, ""}};
    for (const auto& [xdg, home, path] : cases)
        EXPECT_EQ(RegistryFile::DefaultPath(xdg, home), path) << path;
}

TEST(SplitArgumentsTest, FollowsWindowsQuotingRules) {
    // Backslashes without a quote are literal; "" inside quotes is a quote.
    // clang-format off
    const std::pair<std::string, Strings> cases[] = {
        {"  \t ", {}}, {" a  b\tc ", {"a", "b", "c"}}, {"a\"b c\"d", {"ab cd"}},
        {"a\\\\b c\\", {"a\\\\b", "c\\"}}, {"a\\\\\"b c\"", {"a\\b c"}},
        {"\"C:\\Program Files\\\" x", {"C:\\Program Files\" x"}}, {"\"a\"\"b\" c", {"a\"b", "c"}},
        {"a \"\" b", {"a", "", "b"}}, {"x \"a b", {"x", "a b"}},
    };
    // clang-format on
    for (const auto& [text, arguments] : cases)
        EXPECT_EQ(SplitArguments(text), arguments) << text;
}

// Waits, at most 5 s, for a file the stand-in program writes; empty when it never came.
Strings WaitForLines(const std::string& path) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!std::filesystem::exists(path) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::ifstream in(path);
    Strings lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

struct LauncherTest : ::testing::Test, testing::TempFolder {};

TEST_F(LauncherTest, StartsAProgramWhosePathHoldsBlanksDetached) {
    // The stand-in package writes its session and then its arguments next to itself.
    Write("dir with blanks/pkg",
          "#!/bin/sh\nd=$(dirname \"$0\")\ncut -d' ' -f6 /proc/$$/stat > \"$d/sid\"\n"
          "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$d/args.tmp\"\n"
          "mv \"$d/args.tmp\" \"$d/args.txt\"\n",
          0755);
    PosixLauncher launcher;  // the program path is not quoted
    ASSERT_TRUE(launcher.Start(Path("dir with blanks/pkg") + " \"" + Path("my job/net.prj") +
                               "\" a\\\\\\\"b \"\""));
    EXPECT_EQ(WaitForLines(Path("dir with blanks/args.txt")),
              (Strings{Path("my job/net.prj"), "a\\\"b", ""}));
    EXPECT_NE(WaitForLines(Path("dir with blanks/sid")), Strings{std::to_string(::getsid(0))});
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "no child left behind, running or not";

    Write("broken", "#!/no/such/interpreter\n", 0755);
    for (const std::string& line : {Path("missing") + " x", std::string(), Path("broken")})
        EXPECT_FALSE(launcher.Start(line)) << line;
}

}  // namespace
}  // namespace talvik
