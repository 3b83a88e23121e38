// talvik-cli against a hostile file system: full disk, missing or read-only folder, kill -9
// part-way, many runs sharing one store. An existing project is either kept byte for byte or
// replaced as a whole, and a run that could not write everything exits with 1.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "CliRunner.h"
#include "GeneratedNetwork.h"
#include "support/TempFolder.h"

namespace talvik::test {
namespace {

namespace fs = std::filesystem;

const std::string kCli = TALVIK_CLI;
const fs::path kExamples = fs::path(TALVIK_SOURCE_DIR) / "examples";

pid_t Start(const std::vector<std::string>& args, const fs::path& dir,
            const std::function<void()>& inChild = {}) {
    return StartProgram(kCli, args, dir,
                        {{"XDG_CONFIG_HOME", (dir / "config").string()}, {"LC_ALL", "C"}}, inChild);
}

// Every file of a folder with its bytes; names of temporary files are kept apart.
struct Listing {
    std::map<std::string, std::string> files;
    std::vector<std::string> temporaries;
    bool operator==(const Listing&) const = default;
};

Listing List(const fs::path& folder) {
    Listing listing;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_regular_file() || name.starts_with(".")) continue;
        if (name.ends_with(".tmp"))
            listing.temporaries.push_back(name);
        else
            listing.files[name] = ReadBytes(entry.path());
    }
    return listing;
}

class OutputSafety : public ::testing::Test {
  protected:
    OutputSafety() {
        fs::create_directories(dir_ / "project");
        WriteBytes(dir_ / "large.fld", bench::MakeFieldFile(60000, 5000, 7));
    }
    ~OutputSafety() override {
        std::error_code ignored;
        fs::permissions(dir_ / "project", fs::perms::owner_all, ignored);
    }

    // An export of the large field file that overwrites and stores nothing.
    std::vector<std::string> Export(const std::string& absHor, const fs::path& folder) {
        // clang-format off
        return {"export", "--field", (dir_ / "large.fld").string(), "--project",
                (folder / "net.prj").string(), "--code", "K1", "--abs-hor", absHor, "--overwrite",
                "--no-save"};
        // clang-format on
    }

    // Writes the old project (one sigma differs from the new one) and returns its listing.
    Listing OldProject(const fs::path& folder) {
        EXPECT_EQ(WaitFor(Start(Export("0.0007", folder), dir_)), 0);
        return List(folder);
    }

    testing::TempFolder folder_;
    fs::path dir_ = folder_.Path();
};

TEST_F(OutputSafety, IncompleteOutputKeepsTheOldProjectAndExitsWithOne) {
    struct Case {
        const char* what;
        fs::path folder;
        std::function<void()> arrange;  // in the test, after the old project was written
        std::function<void()> inChild;
    };
    const fs::path project = dir_ / "project";
    bool mounted = false;
    const std::vector<Case> cases = {
        {"missing folder", dir_ / "gone", {}, {}},
        {"read-only folder", project,
         [&] { fs::permissions(project, static_cast<fs::perms>(0555)); },
         [] {
             // The superuser writes anywhere; the run goes on as nobody.
             if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(126);
         }},
        // A small disk where it can be mounted, else a limit on the size of every file.
        {"full disk", project,
         [&] {
             mounted = ::mount("tmpfs", project.c_str(), "tmpfs", 0, "size=3m") == 0;
             if (mounted) {
                 WriteBytes(project / "net.PRJ", "old project");
                 WriteBytes(project / "net.OBS", std::string(1 << 20, 'o'));
             }
         },
         [&] {
             if (mounted) return;
             std::signal(SIGXFSZ, SIG_IGN);
             const rlimit limit{1 << 20, 1 << 20};
             ::setrlimit(RLIMIT_FSIZE, &limit);
         }},
    };
    for (const Case& c : cases) {
        fs::remove_all(project);
        fs::create_directories(project);
        const Listing old = OldProject(project);
        if (c.arrange) c.arrange();
        const Listing before = fs::exists(c.folder) ? List(c.folder) : Listing{};
        const pid_t pid = Start(Export("0.0009", c.folder), dir_, c.inChild);
        const int status = WaitFor(pid);
        const std::string err = ReadBytes(dir_ / (".err" + std::to_string(pid)));
        EXPECT_EQ(status, 1) << c.what << ": " << err;
        EXPECT_NE(err.find("Fout bij het schrijven van: " + (c.folder / "net.").string()),
                  std::string::npos)
            << c.what << ": " << err;
        if (fs::exists(c.folder)) {
            EXPECT_EQ(List(c.folder), before) << c.what;
        }
        EXPECT_FALSE(fs::exists(dir_ / "gone")) << c.what;
        if (mounted) {
            ::umount(project.c_str());
            mounted = false;
        }
        fs::permissions(project, fs::perms::owner_all);
        EXPECT_EQ(List(project), old) << c.what;
    }
}

// kill -9 at random moments of a large export over an existing project: afterwards the folder
// holds the old project or the new one, never a mix of the two.
TEST_F(OutputSafety, KilledRunLeavesTheOldProjectOrTheNewOne) {
    const fs::path project = dir_ / "project";
    const Listing old = OldProject(project);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(WaitFor(Start(Export("0.0009", project), dir_)), 0);
    const auto full = std::chrono::steady_clock::now() - start;
    const Listing fresh = List(project);
    ASSERT_NE(fresh, old);

    std::mt19937 rng(std::random_device{}());
    int oldSeen = 0, newSeen = 0;
    // At least 24 kills, and more while one end was not reached (the machine may be busy).
    for (int round = 0; round < 24 || ((oldSeen == 0 || newSeen == 0) && round < 60); ++round) {
        for (const auto& [name, bytes] : old.files)
            WriteBytes(project / name, bytes);
        const auto delay = full * (rng() % 1000) / 800;
        const pid_t pid = Start(Export("0.0009", project), dir_);
        std::this_thread::sleep_for(delay);
        ::kill(pid, SIGKILL);
        WaitFor(pid);
        Listing after = List(project);
        for (const std::string& name : after.temporaries)
            fs::remove(project / name);
        after.temporaries.clear();
        if (after == old)
            ++oldSeen;
        else if (after == fresh)
            ++newSeen;
        else
            ADD_FAILURE() << "a mix of the old and the new project after "
                          << std::chrono::duration<double>(delay).count() << " s";
    }
    // Both ends are reached, or the delays did not fall where they should.
    EXPECT_GT(oldSeen, 0);
    EXPECT_GT(newSeen, 0);
}

// 40 exports storing their choices and 10 registrations at once: the store stays readable and
// holds what every run stored.
TEST_F(OutputSafety, ConcurrentRunsShareTheStore) {
    WriteBytes(dir_ / "config" / "talvik" / "registry.reg",
               "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Ornwald\\Kavrin\\5.0\\ZEV]\r\n"
               "\"DataPath\"=\"D:\\\\Data\"\r\n\r\n");
    std::vector<pid_t> runs;
    for (int i = 0; i < 50; ++i) {
        if (i % 5 == 4) {
            runs.push_back(Start({"register"}, dir_));
            continue;
        }
        const fs::path folder = dir_ / ("p" + std::to_string(i));
        fs::create_directories(folder);
        runs.push_back(Start({"export", "--field", (kExamples / "net1.fld").string(), "--project",
                              (folder / "net1.prj").string(), "--selection-set",
                              std::to_string(1 + i % 9), "--code", "C" + std::to_string(i % 9)},
                             dir_));
    }
    for (const pid_t pid : runs)
        EXPECT_EQ(WaitFor(pid), 0) << ReadBytes(dir_ / (".err" + std::to_string(pid)));

    RegistryFile store((dir_ / "config" / "talvik" / "registry.reg").string());
    EXPECT_EQ(store.CheckFile(), "");
    const std::string settings = "Software\\Kelvaris\\Talvik";
    std::string text;
    for (int set = 1; set <= 9; ++set) {
        // The codes of set n are those of the last run on it: "C" followed by n - 1.
        EXPECT_TRUE(store.GetStringValue(kHkeyCurrentUser, settings,
                                         "TalvikSel" + std::to_string(set), text));
        EXPECT_NE(text.find("C" + std::to_string(set - 1)), std::string::npos) << text;
    }
    for (const char* menu : {"Import", "Export"}) {
        const std::string key =
            std::string("SOFTWARE\\Ornwald\\Kavrin\\5.0\\ZEV\\Data Conversions\\") + menu;
        EXPECT_TRUE(store.GetStringValue(kHkeyCurrentUser, key, "MenuItem0", text)) << menu;
        EXPECT_FALSE(store.GetStringValue(kHkeyCurrentUser, key, "MenuItem1", text)) << menu;
    }
}

}  // namespace
}  // namespace talvik::test
