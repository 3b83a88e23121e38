#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/RegistryFile.h"
#include "platform/RegistryTestFiles.h"

namespace talvik {
namespace {

using testing::CrLf;
using testing::Numbered;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

constexpr RegKey kHkcu = kHkeyCurrentUser;

struct Fixture {
    TempFolder folder;
    std::string path = folder.Path("talvik/registry.reg");
    RegistryFile registry{path};

    explicit Fixture(std::string_view content = {}) {
        if (content.empty()) return;
        ::mkdir(folder.Path("talvik").c_str(), 0700);
        WriteBytes(path, content);
    }
    std::string Read(std::string_view key, std::string_view name, bool* ok = nullptr) {
        std::string text;
        const bool found = registry.GetStringValue(kHkcu, key, name, text);
        if (ok != nullptr) *ok = found;
        return found ? text : "<missing>";
    }
    std::vector<std::string> Subkeys(std::string_view key) {
        std::vector<std::string> names;
        RegKey handle = 0;
        if (!registry.OpenKey(kHkcu, key, handle)) return {"<no key>"};
        std::string name;
        for (std::uint32_t i = 0; registry.EnumSubkey(handle, i, name) == kRegSuccess; ++i) {
            names.push_back(name);
        }
        registry.CloseKey(handle);
        return names;
    }
};

const std::string kSample = CrLf({
    "REGEDIT4",
    "",
    "; written by hand",
    "[HKEY_CURRENT_USER\\Software\\Test]",
    "\"Plain\"=\"abc\"",
    "\"Escaped\"=\"a\\\\b \\\"q\\\" c:\\\\dir\\\\\"",
    "\"Lenient\"=\"C:\\Data\"",
    "\"MixedCase\"=\"kept\"",
    "   \"Indented\"  =  \"x y\"",
    "\"Empty\"=\"\"",
    "@=\"default\"",
    "\"Number\"=dword:00000001",
    "\"Binary\"=hex:01,02,\\",
    "  03,04",
    "\"Zero\"=hex(1):61,62,63,00",
    "\"NoZero\"=hex(1):61,62,63",
    "\"EmptyHex\"=hex(1):",
    "\"Twice\"=\"first\"",
    "\"Twice\"=\"second\"",
    "\"Cp1252\"=\"Co\xF6rdinaten\"",
    "",
    "[HKEY_LOCAL_MACHINE\\Software\\Test]",
    "\"Other\"=\"machine\"",
    "",
    "[-HKEY_CURRENT_USER\\Software\\Gone]",
    "\"Deleted\"=\"x\"",
    "",
    "[hkey_current_user\\SOFTWARE\\TEST]",
    "\"Merged\"=\"from the second block\"",
    "",
});

TEST(RegistryFile, ReadsStringValuesOfAHandWrittenFile) {
    Fixture f(kSample);
    struct Case {
        const char* key;
        const char* name;
        bool ok;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"Software\\Test", "Plain", true, "abc"},
        {"software\\test", "PLAIN", true, "abc"},
        {"Software\\Test", "Escaped", true, "a\\b \"q\" c:\\dir\\"},
        {"Software\\Test", "Lenient", true, "C:\\Data"},
        {"Software\\Test", "mixedcase", true, "kept"},
        {"Software\\Test", "Indented", true, "x y"},
        {"Software\\Test", "Empty", true, ""},
        {"Software\\Test", "", true, "default"},
        {"Software\\Test", "Number", false, ""},
        {"Software\\Test", "Binary", false, ""},
        {"Software\\Test", "Zero", true, "abc"},
        {"Software\\Test", "NoZero", true, "abc"},
        {"Software\\Test", "EmptyHex", true, ""},
        {"Software\\Test", "Twice", true, "second"},
        {"Software\\Test", "Cp1252", true, "Co\xF6rdinaten"},
        {"Software\\Test", "Merged", true, "from the second block"},
        {"Software\\Test", "Other", false, ""},
        {"Software\\Test", "Deleted", false, ""},
        {"Software\\Test", "Missing", false, ""},
        {"Software\\Missing", "Plain", false, ""},
        {"Software", "Plain", false, ""},
        {"Software\\Test\\", "Plain", false, ""},
    };
    for (const Case& c : cases) {
        std::string text = "junk";
        EXPECT_EQ(f.registry.GetStringValue(kHkcu, c.key, c.name, text), c.ok)
            << c.key << " / " << c.name;
        EXPECT_EQ(text, c.ok ? c.text : "") << c.key << " / " << c.name;
    }
    EXPECT_EQ(f.registry.Problem(), "");
}

TEST(RegistryFile, ValuesOverTheBufferSizeCannotBeRead) {
    const std::string fits(1024, 'x');
    const std::string over(1025, 'x');
    Fixture f(CrLf({"REGEDIT4", "", "[HKEY_CURRENT_USER\\K]", "\"Fits\"=\"" + fits + "\"",
                    "\"Over\"=\"" + over + "\"", "\"OverWithZero\"=hex(1):" + [] {
                        std::string hex = "61";
                        for (int i = 1; i < 1024; ++i)
                            hex += ",61";
                        return hex + ",00";
                    }()}));
    bool ok = false;
    EXPECT_EQ(f.Read("K", "Fits", &ok), fits);
    EXPECT_FALSE((f.Read("K", "Over", &ok), ok));
    EXPECT_FALSE((f.Read("K", "OverWithZero", &ok), ok));
    std::string text;
    EXPECT_TRUE(f.registry.GetLongStringValue(kHkcu, "K", "Over", text));
    EXPECT_EQ(text, over);
}

TEST(RegistryFile, EnumeratesSubkeysInUpperCaseOrderWithImplicitParents) {
    const std::string longName(301, 'L');
    const std::string longestName(300, 'M');
    Fixture f(
        CrLf({"REGEDIT4", "", "[HKEY_CURRENT_USER\\Root\\zeta]", "[HKEY_CURRENT_USER\\Root\\9.5]",
              "[HKEY_CURRENT_USER\\Root\\\xE9t\xE9]", "[HKEY_CURRENT_USER\\Root\\RELEASE\\ZEV]",
              "[HKEY_CURRENT_USER\\Root\\10.0]", "[HKEY_CURRENT_USER\\Root\\alpha\\deep\\deeper]",
              "[HKEY_CURRENT_USER\\ROOT\\ZETA\\child]", "[HKEY_CURRENT_USER\\Root\\Beta]",
              "[HKEY_LOCAL_MACHINE\\Root\\Machine]", "[-HKEY_CURRENT_USER\\Root\\Deleted]",
              "[HKEY_CURRENT_USER\\Long\\" + longName + "]",
              "[HKEY_CURRENT_USER\\Longest\\" + longestName + "]"}));
    // 0xE9 folds to 0xC9, above every ASCII letter; "zeta" keeps the case it was first
    // written in; parents of deeper keys exist without a block of their own.
    EXPECT_EQ(f.Subkeys("Root"), (std::vector<std::string>{"10.0", "9.5", "alpha", "Beta",
                                                           "RELEASE", "zeta", "\xE9t\xE9"}));
    EXPECT_EQ(f.Subkeys(""), (std::vector<std::string>{"Long", "Longest", "Root"}));
    EXPECT_EQ(f.Subkeys("root\\ALPHA"), (std::vector<std::string>{"deep"}));
    EXPECT_EQ(f.Subkeys("Root\\Missing"), (std::vector<std::string>{"<no key>"}));

    RegKey root = 0;
    ASSERT_TRUE(f.registry.OpenKey(kHkcu, "Root", root));
    std::string name = "junk";
    EXPECT_EQ(f.registry.EnumSubkey(root, 7, name), kRegNoMoreItems);
    EXPECT_EQ(name, "");
    EXPECT_EQ(f.registry.EnumSubkey(root, 1000, name), kRegNoMoreItems);
    EXPECT_EQ(f.registry.EnumSubkey(0x1234, 0, name), kRegInvalidHandle);
    EXPECT_TRUE(f.registry.CloseKey(root));
    EXPECT_FALSE(f.registry.CloseKey(root));
    EXPECT_EQ(f.registry.EnumSubkey(root, 0, name), kRegInvalidHandle);

    RegKey key = 0;
    ASSERT_TRUE(f.registry.OpenKey(kHkcu, "Long", key));
    EXPECT_EQ(f.registry.EnumSubkey(key, 0, name), kRegMoreData);
    EXPECT_EQ(name, "");
    ASSERT_TRUE(f.registry.OpenKey(kHkcu, "Longest", key));
    EXPECT_EQ(f.registry.EnumSubkey(key, 0, name), kRegSuccess);
    EXPECT_EQ(name, longestName);
}

TEST(RegistryFile, KeyOperationsFollowTheFailureRules) {
    Fixture f(CrLf({"REGEDIT4", "", "[HKEY_CURRENT_USER\\Software\\Host\\5.0\\ZEV]"}));
    const std::string before = ReadBytes(f.path);
    RegKey key = 99;
    struct Case {
        const char* what;
        RegKey parent;
        std::string name;
        bool ok;
    };
    const std::vector<Case> refused = {
        {"empty name", kHkcu, "", false},
        {"leading backslash", kHkcu, "\\Software", false},
        {"doubled backslash", kHkcu, "Software\\\\X", false},
        {"trailing backslash", kHkcu, "Software\\X\\", false},
        {"unknown parent", 0x4242, "X", false},
        {"name over 255", kHkcu, "Software\\" + std::string(256, 'x'), false},
        {"line break in name", kHkcu, "Software\\A\nB", false},
        {"existing key", kHkcu, "Software\\Host\\5.0\\ZEV", true},
        {"existing key, other case", kHkcu, "SOFTWARE\\HOST\\5.0\\zev", true},
        {"implicit parent", kHkcu, "Software\\Host", true},
    };
    for (const Case& c : refused) {
        EXPECT_EQ(f.registry.CreateKey(c.parent, c.name, key), c.ok) << c.what;
        EXPECT_EQ(key != 0, c.ok) << c.what;
        if (key != 0) {
            EXPECT_TRUE(f.registry.CloseKey(key));
        }
    }
    EXPECT_EQ(ReadBytes(f.path), before) << "nothing was written";

    // SetStringValue never creates the key.
    EXPECT_FALSE(f.registry.SetStringValue(kHkcu, "Software\\Host\\6.0\\ZEV", "DataPath", "x"));
    EXPECT_FALSE(f.registry.OpenKey(kHkcu, "Software\\Host\\6.0", key));
    EXPECT_EQ(key, 0u);
    EXPECT_EQ(ReadBytes(f.path), before);
    // Into a key that exists only through its subkey it writes, and gives the key a block.
    EXPECT_TRUE(f.registry.SetStringValue(kHkcu, "software\\host", "Preferred", "5.0"));
    EXPECT_EQ(f.Read("Software\\Host", "preferred"), "5.0");
    EXPECT_NE(ReadBytes(f.path).find("[HKEY_CURRENT_USER\\Software\\Host]\r\n"), std::string::npos);
    EXPECT_EQ(f.registry.Problem(), "");
}

TEST(RegistryFile, CreatesKeysStepByStepThroughHandles) {
    Fixture f;
    RegKey software = 0, vendor = 0, nested = 0, opened = 0;
    ASSERT_TRUE(f.registry.CreateKey(kHkcu, "Software", software));
    ASSERT_TRUE(f.registry.CreateKey(software, "Vendor", vendor));
    ASSERT_TRUE(f.registry.CreateKey(vendor, "Data Conversions\\Import", nested));
    EXPECT_TRUE(f.registry.OpenKey(vendor, "data conversions", opened));
    EXPECT_TRUE(f.registry.OpenKey(opened, "", opened));
    EXPECT_TRUE(f.registry.SetStringValue(nested, "", "MenuItem0", "2|*.cor"));
    EXPECT_EQ(f.Read("SOFTWARE\\VENDOR\\DATA CONVERSIONS\\IMPORT", "menuitem0"), "2|*.cor");
    // Keys created in another case join the existing ones and keep the first case.
    ASSERT_TRUE(f.registry.CreateKey(kHkcu, "SOFTWARE\\VENDOR\\Export", nested));
    EXPECT_EQ(f.Subkeys("software\\vendor"),
              (std::vector<std::string>{"Data Conversions", "Export"}));
    EXPECT_EQ(ReadBytes(f.path),
              CrLf({"REGEDIT4", "", "[HKEY_CURRENT_USER\\Software]", "",
                    "[HKEY_CURRENT_USER\\Software\\Vendor]", "",
                    "[HKEY_CURRENT_USER\\Software\\Vendor\\Data Conversions\\Import]",
                    "\"MenuItem0\"=\"2|*.cor\"", "",
                    "[HKEY_CURRENT_USER\\Software\\Vendor\\Export]", ""}));
    struct stat st {};
    ASSERT_EQ(::stat(f.folder.Path("talvik").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(RegistryFile, StringValuesRoundTrip) {
    Fixture f;
    RegKey key = 0;
    ASSERT_TRUE(f.registry.CreateKey(kHkcu, "K", key));
    const std::vector<std::string> texts = {
        "",
        "plain",
        "back\\slash\\",
        "\"quoted\"",
        "\\\"",
        "Co\xF6rdinaten \x80\xFF",
        "two\r\nlines",
        std::string("nul\0inside", 10),
        "tab\there",
        "; not a comment",
        "[not a key]",
        std::string(3000, 'y'),
    };
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::string name = Numbered("V", static_cast<long long>(i));
        ASSERT_TRUE(f.registry.SetStringValue(key, "", name, texts[i])) << i;
    }
    RegistryFile again(f.path);  // a second reader sees the same
    for (std::size_t i = 0; i < texts.size(); ++i) {
        std::string text;
        ASSERT_TRUE(
            again.GetLongStringValue(kHkcu, "k", Numbered("v", static_cast<long long>(i)), text))
            << i;
        EXPECT_EQ(text, texts[i]) << i;
    }
    // Setting a value in another case keeps the name as first written.
    ASSERT_TRUE(f.registry.SetStringValue(kHkcu, "K", "v1", "changed"));
    const std::string file = ReadBytes(f.path);
    EXPECT_NE(file.find("\"V1\"=\"changed\"\r\n"), std::string::npos);
    EXPECT_EQ(file.find("\"v1\""), std::string::npos);
    EXPECT_EQ(file.find('\n'), file.find("\r\n") + 1) << "lines end with CR LF";
}

TEST(RegistryFile, RewritingKeepsEverythingItDoesNotUnderstand) {
    const std::string content = CrLf({
        "REGEDIT4",
        "; leading comment",
        "[HKEY_CURRENT_USER\\Software\\Test]",
        "  \"Indented\"=\"x\"",
        "\"Number\"=dword:0000002a",
        "\"Binary\"=hex:01,02,\\",
        "  03,04",
        "\"Dangling\"=hex:05,\\",
        "what is this line",
        "\"Removed\"=-",
        "[HKEY_LOCAL_MACHINE\\Software\\Test]",
        "\"Machine\"=\"m\"",
        "[-HKEY_CURRENT_USER\\Software\\Gone]",
        "[HKEY_CURRENT_USER\\Software\\Zzz]",
        "\"Last\"=hex:07,\\",
    });
    Fixture f(content);
    ASSERT_TRUE(f.registry.SetStringValue(kHkcu, "Software\\Test", "New", "n"));
    ASSERT_TRUE(f.registry.SetStringValue(kHkcu, "Software\\Zzz", "After", "a"));
    RegKey key = 0;
    ASSERT_TRUE(f.registry.CreateKey(kHkcu, "Software\\Test\\Sub", key));
    const std::string file = ReadBytes(f.path);
    for (const char* line :
         {"; leading comment\r\n", "  \"Indented\"=\"x\"\r\n", "\"Number\"=dword:0000002a\r\n",
          "\"Binary\"=hex:01,02,\\\r\n  03,04\r\n", "\"Dangling\"=hex:05,\\\r\n",
          "what is this line\r\n", "\"Removed\"=-\r\n", "[HKEY_LOCAL_MACHINE\\Software\\Test]\r\n",
          "\"Machine\"=\"m\"\r\n", "[-HKEY_CURRENT_USER\\Software\\Gone]\r\n",
          "\"Last\"=hex:07,\\\r\n\r\n\"After\"=\"a\"\r\n"}) {
        EXPECT_NE(file.find(line), std::string::npos) << line;
    }
    EXPECT_LT(file.find("[HKEY_CURRENT_USER\\Software\\Test\\Sub]"),
              file.find("[HKEY_LOCAL_MACHINE"))
        << "a new key goes beside its parent";
    EXPECT_EQ(f.Read("Software\\Test", "New"), "n");
    EXPECT_EQ(f.Read("Software\\Test", "Indented"), "x");
    EXPECT_EQ(f.Read("Software\\Zzz", "After"), "a");
    EXPECT_EQ(f.registry.Problem(), "");
}

TEST(RegistryFile, AHugeValueSurvivesARewrite) {
    std::string huge(10 * 1024 * 1024, 'h');
    huge[5] = '\xF6';
    huge[6] = '"';
    std::string escaped = huge;
    escaped.replace(6, 1, "\\\"");
    Fixture f(CrLf({"REGEDIT4", "[HKEY_CURRENT_USER\\K]", "\"Huge\"=\"" + escaped + "\""}));
    ASSERT_TRUE(f.registry.SetStringValue(kHkcu, "K", "Small", "s"));
    std::string text;
    EXPECT_FALSE(f.registry.GetStringValue(kHkcu, "K", "Huge", text));
    EXPECT_TRUE(f.registry.GetLongStringValue(kHkcu, "K", "Huge", text));
    EXPECT_TRUE(text == huge);
}

TEST(RegistryFile, DamagedFilesAreReadAsFarAsPossibleAndNeverRewritten) {
    struct Case {
        const char* what;
        std::string content;
        bool readsPlain;  // the value before the damage is still readable
        const char* problem;
    };
    const std::string good = CrLf({"REGEDIT4", "", "[HKEY_CURRENT_USER\\K]", "\"Plain\"=\"p\""});
    const std::vector<Case> cases = {
        {"unterminated value", good + CrLf({"\"Open\"=\"no end"}), true, "regel 5:"},
        {"unterminated name", good + CrLf({"\"Open=\"x\\\""}), true, "regel 5:"},
        {"escaped final quote", good + CrLf({"\"DataPath\"=\"D:\\Data\\\""}), true, "regel 5:"},
        {"text after the value", good + CrLf({"\"A\"=\"b\" junk"}), true, "regel 5:"},
        {"missing equals sign", good + CrLf({"\"A\" \"b\""}), true, "regel 5:"},
        {"unclosed key", good + CrLf({"[HKEY_CURRENT_USER\\L"}), true, "regel 5:"},
        {"binary junk", good + std::string("\x01\x02\x00\xFF\r\n", 5), true, "regel 5:"},
        {"sixteen-bit text", std::string("\xFF\xFER\0E\0G\0", 8), false, "regel 1:"},
        {"no header", CrLf({"[HKEY_CURRENT_USER\\K]", "\"Plain\"=\"p\""}), false, "regel 1:"},
        {"wrong header", CrLf({"REGEDIT5", "[HKEY_CURRENT_USER\\K]"}), false, "regel 1:"},
    };
    for (const Case& c : cases) {
        Fixture f(c.content);
        bool ok = false;
        EXPECT_EQ(f.Read("K", "Plain", &ok), c.readsPlain ? "p" : "<missing>") << c.what;
        EXPECT_NE(f.registry.Problem().find(c.problem), std::string::npos)
            << c.what << ": " << f.registry.Problem();
        EXPECT_NE(f.registry.Problem().find(f.path), std::string::npos) << c.what;
        RegKey key = 0;
        EXPECT_FALSE(f.registry.SetStringValue(kHkcu, "K", "Plain", "changed")) << c.what;
        EXPECT_FALSE(f.registry.CreateKey(kHkcu, "New", key)) << c.what;
        EXPECT_EQ(ReadBytes(f.path), c.content) << c.what;
        EXPECT_FALSE(f.registry.Problem().empty()) << c.what;
    }
}

TEST(RegistryFile, AcceptsOtherHeadersLineEndsAndEmptyFiles) {
    struct Case {
        const char* what;
        std::string content;
        bool readable;
    };
    const std::vector<Case> cases = {
        {"LF only", "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n\"Plain\"=\"p\"\n", true},
        {"CR only", "REGEDIT4\r\r[HKEY_CURRENT_USER\\K]\r\"Plain\"=\"p\"", true},
        {"version 5 header, indented",
         "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n  [HKCU\\K]  \r\n\"Plain\"=\"p\"",
         true},
        {"empty file", "", false},
        {"blank lines only", "\r\n  \r\n", false},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        const std::string path = folder.Path("registry.reg");
        WriteBytes(path, c.content);
        RegistryFile registry(path);
        std::string text;
        EXPECT_EQ(registry.GetStringValue(kHkcu, "K", "Plain", text), c.readable) << c.what;
        EXPECT_EQ(registry.CheckFile(), "") << c.what;
        RegKey key = 0;
        ASSERT_TRUE(registry.CreateKey(kHkcu, "K", key)) << c.what;
        ASSERT_TRUE(registry.SetStringValue(key, "", "Added", "a")) << c.what;
        EXPECT_EQ(registry.GetStringValue(kHkcu, "K", "Plain", text), c.readable) << c.what;
        EXPECT_TRUE(registry.GetStringValue(kHkcu, "K", "Added", text)) << c.what;
    }
}

TEST(RegistryFile, ReportsAFileThatCannotBeRead) {
    TempFolder folder;
    RegistryFile registry(folder.Path());  // a folder, not a file
    RegKey key = 0;
    EXPECT_FALSE(registry.OpenKey(kHkcu, "K", key));
    EXPECT_NE(registry.Problem().find("kan niet worden gelezen"), std::string::npos);
    EXPECT_FALSE(registry.CreateKey(kHkcu, "K", key));
    EXPECT_FALSE(registry.Problem().empty());

    const std::string fifo = folder.Path("fifo.reg");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    RegistryFile pipe(fifo);
    EXPECT_FALSE(pipe.OpenKey(kHkcu, "K", key)) << "a pipe is refused, not waited for";
    EXPECT_FALSE(pipe.CreateKey(kHkcu, "K", key));
    EXPECT_FALSE(pipe.Problem().empty());

    RegistryFile nowhere("");
    EXPECT_FALSE(nowhere.CreateKey(kHkcu, "K", key));
    EXPECT_FALSE(nowhere.Problem().empty());

    RegistryFile missing(folder.Path("none/registry.reg"));
    std::string text;
    EXPECT_FALSE(missing.GetStringValue(kHkcu, "K", "V", text));
    EXPECT_EQ(missing.Problem(), "") << "a missing file is an empty registry";
    EXPECT_FALSE(std::filesystem::exists(folder.Path("none"))) << "reading creates nothing";
}

TEST(RegistryFile, TwoProcessesWritingAtOnceLoseNothing) {
    TempFolder folder;
    const std::string path = folder.Path("cfg/talvik/registry.reg");
    {
        RegistryFile registry(path);
        RegKey key = 0;
        ASSERT_TRUE(registry.CreateKey(kHkcu, "Software\\Shared", key));
    }
    constexpr int kWriters = 2;
    constexpr int kValues = 200;
    std::vector<pid_t> children;
    for (int w = 0; w < kWriters; ++w) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            RegistryFile registry(path);
            int failures = 0;
            for (int i = 0; i < kValues; ++i) {
                const std::string name = Numbered(Numbered("W", w) + "_", i);
                if (!registry.SetStringValue(kHkcu, "Software\\Shared", name, name)) ++failures;
            }
            ::_exit(failures == 0 ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    RegistryFile registry(path);
    int found = 0;
    for (int w = 0; w < kWriters; ++w) {
        for (int i = 0; i < kValues; ++i) {
            const std::string name = Numbered(Numbered("W", w) + "_", i);
            std::string text;
            if (registry.GetStringValue(kHkcu, "Software\\Shared", name, text) && text == name) {
                ++found;
            }
        }
    }
    EXPECT_EQ(found, kWriters * kValues);
    EXPECT_EQ(registry.CheckFile(), "");
}

TEST(RegistryFile, DefaultPathFollowsTheConfigurationFolder) {
    struct Case {
        const char* xdg;
        const char* home;
        const char* path;
    };
    const std::vector<Case> cases = {
        {"/cfg", "/home/u", "/cfg/talvik/registry.reg"},
        {"/cfg/", "/home/u", "/cfg/talvik/registry.reg"},
        {"", "/home/u", "/home/u/.config/talvik/registry.reg"},
        {nullptr, "/home/u/", "/home/u/.config/talvik/registry.reg"},
        {"relative", "/home/u", "/home/u/.config/talvik/registry.reg"},
        {nullptr, nullptr, ""},
        {nullptr, "", ""},
        {"/", nullptr, "/talvik/registry.reg"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RegistryFile::DefaultPath(c.xdg, c.home), c.path)
            << (c.xdg ? c.xdg : "(null)") << " " << (c.home ? c.home : "(null)");
    }
}

}  // namespace
}  // namespace talvik
