// talvik-cli against a hostile file system: full disk, missing or read-only folder, kill -9
// part-way, many runs sharing one store. An existing project is either kept byte for byte or
// replaced as a whole, and a run that could not write everything exits with 1.

#include <grp.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <csignal>
#include <optional>
#include <string_view>
#include <random>
#include <set>
#include <sstream>
#include <thread>

#include "CliRunner.h"
#include "GeneratedNetwork.h"
#include "platform/FileReplace.h"

namespace talvik::test {
namespace {

// The system call a line of strace's output shows: its name, at the line's start or after the
// process number that -f puts before it.
bool IsCall(const std::string& line, std::string_view name) {
    const std::size_t at = line.find(std::string(name) + "(");
    return at != std::string::npos && (at == 0 || line[at - 1] == ' ');
}

// The quoted arguments of a line of strace's output, in order.
std::vector<std::string> Quoted(const std::string& line) {
    std::vector<std::string> found;
    for (std::size_t open = line.find('"'); open != std::string::npos;) {
        const std::size_t close = line.find('"', open + 1);
        if (close == std::string::npos) break;
        found.push_back(line.substr(open + 1, close - open - 1));
        open = line.find('"', close + 1);
    }
    return found;
}

// The path of the descriptor an fsync or fdatasync names ("fsync(3</a/b>)" with -y).
std::optional<std::string> SyncedPath(const std::string& line) {
    if (!IsCall(line, "fsync") && !IsCall(line, "fdatasync")) return std::nullopt;
    const std::size_t open = line.find('<'), close = line.find(">)");
    if (open == std::string::npos || close == std::string::npos || close < open)
        return std::nullopt;
    return line.substr(open + 1, close - open - 1);
}

pid_t Start(const std::vector<std::string>& args, const fs::path& dir,
            const std::function<void()>& inChild = {}) {
    return StartProgram(kCli, args, dir,
                        {{"XDG_CONFIG_HOME", (dir / "config").string()}, {"LC_ALL", "C"}}, inChild);
}

std::string Err(const fs::path& dir, pid_t pid) {
    return ReadBytes(dir / (".err" + std::to_string(pid)));
}

// The superuser writes anywhere: a run that must meet a refusal goes on as nobody.
void AsNobody() {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(126);
}

class OutputSafety : public CliCase {
  protected:
    OutputSafety() {
        fs::create_directories(dir_ / "project");
        WriteBytes(dir_ / "large.fld", bench::MakeFieldFile(60000, 5000, 7));
    }
    ~OutputSafety() override {
        std::error_code ignored;
        fs::permissions(dir_ / "project", fs::perms::owner_all, ignored);
    }

    // An export over the project in `folder`, of the large field file unless another is given.
    std::vector<std::string> Export(const std::string& absHor, const fs::path& folder,
                                    std::string field = "", const std::string& idex = "") {
        if (field.empty()) field = (dir_ / "large.fld").string();
        // clang-format off
        return {"export", "--field", field, "--idex", idex, "--project",
                (folder / "net.prj").string(), "--code", "K1", "--abs-hor", absHor, "--overwrite",
                "--no-save"};
        // clang-format on
    }

    // Writes the old project (one sigma differs from the new one) and returns its listing.
    Listing OldProject(const fs::path& folder) {
        EXPECT_EQ(WaitFor(Start(Export("0.0007", folder), dir_)), 0);
        return List(folder);
    }
};

TEST_F(OutputSafety, IncompleteOutputKeepsTheOldProjectAndExitsWithOne) {
    struct Case {
        const char* what;
        fs::path folder;
        std::function<void()> arrange;  // in the test, after the old project was written
        std::function<void()> inChild;
        std::vector<std::string> reasons;  // after the path: the first one on a mounted disk
    };
    const fs::path project = dir_ / "project";
    bool mounted = false;
    const std::vector<Case> cases = {
        {"missing folder", dir_ / "gone", {}, {}, {"(map bestaat niet)"}},
        {"read-only folder",
         project,
         [&] { fs::permissions(project, static_cast<fs::perms>(0555)); },
         AsNobody,
         {"(geen toegang)"}},
        // A small disk where it can be mounted, else a limit on the size of every file.
        {"full disk",
         project,
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
         },
         {"(schijf vol)", "(bestand te groot)"}},
    };
    for (const Case& c : cases) {
        fs::remove_all(project);
        fs::create_directories(project);
        const Listing old = OldProject(project);
        if (c.arrange) c.arrange();
        const Listing before = fs::exists(c.folder) ? List(c.folder) : Listing{};
        const pid_t pid = Start(Export("0.0009", c.folder), dir_, c.inChild);
        const int status = WaitFor(pid);
        const std::string err = Err(dir_, pid);
        EXPECT_EQ(status, 1) << c.what << ": " << err;
        EXPECT_NE(err.find("Fout bij het schrijven van: " + (c.folder / "net.").string()),
                  std::string::npos)
            << c.what << ": " << err;
        EXPECT_NE(err.find(c.reasons[mounted ? 0 : c.reasons.size() - 1]), std::string::npos)
            << c.what << ": " << err;
        EXPECT_TRUE(!fs::exists(c.folder) || List(c.folder) == before) << c.what;
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
        // The next run on the project (one that keeps it) ends what the killed one began.
        std::vector<std::string> keep = Export("0.0009", project);
        std::erase(keep, "--overwrite");
        EXPECT_EQ(WaitFor(Start(keep, dir_)), 1);
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

// The status of a run that has to end within 30 s (killed then) and its peak memory in kB.
std::pair<int, long> EndWithin30s(pid_t pid) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    int status = 0;
    rusage usage{};
    for (; ::wait4(pid, &status, WNOHANG, &usage) == 0; ::usleep(5000))
        if (std::chrono::steady_clock::now() > deadline) ::kill(pid, SIGKILL);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), usage.ru_maxrss};
}

// An input that is not a file (a pipe, a named pipe nobody writes, an endless device) or a
// line too long: read whole and used, or refused with a message before anything is written;
// never a hang, never more memory than a bound.
TEST_F(OutputSafety, InputsThatAreNotFilesAreReadWholeOrRefused) {
    const fs::path project = dir_ / "project";
    const std::string field = Example("net1.fld"), pipe = "/dev/fd/3",
                      fifo = (dir_ / "fifo").string(), idex = Example("net1.idx");
    const auto exportOf = [&](const std::string& fieldPath, const std::string& idexPath) {
        return Export("0.0009", project, fieldPath, idexPath);
    };
    std::vector<std::string> reducedWithCheck = exportOf(pipe, idex);
    reducedWithCheck.insert(reducedWithCheck.end(), {"--face2", "reduce", "--check"});
    std::string degrees = ReadBytes(field);
    degrees.replace(degrees.find(" 51 GR"), 6, " 51 DD");
    const auto checkOf = [&](const std::string& fieldPath) {
        return std::vector<std::string>{"check", "--field", fieldPath, "--idex",
                                        idex,    "--code",  "K"};
    };
    const auto importOf = [&](const std::string& cor, const std::string& to) {
        return std::vector<std::string>{
            "import",  "--cor", cor,      "--idex", (dir_ / to).string(),
            "--layer", "L",     "--code", "C",      "--no-save"};
    };
    ASSERT_EQ(WaitFor(Start(exportOf(field, idex), dir_)), 0);
    const Listing fresh = List(project);
    ASSERT_EQ(WaitFor(Start(Export("0.0007", project, field, idex), dir_)), 0);
    const Listing old = List(project);
    ASSERT_EQ(WaitFor(Start(importOf(Example("net1.cor"), "ref.idx"), dir_)), 0);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    WriteBytes(dir_ / "long.fld", "51 GR\r\n101 A 0 0\r\n" + std::string(2 << 20, 'x') + "\r\n");

    // Arguments, the bytes of a pipe on descriptor 3 (all fit into it), status, part of stderr.
    using Case = std::tuple<std::vector<std::string>, std::string, int, std::string>;
    const std::vector<Case> cases = {
        {exportOf(pipe, idex), ReadBytes(field), 0, ""},
        {exportOf(field, pipe), ReadBytes(idex), 0, ""},
        {importOf(pipe, "piped.idx"), ReadBytes(kExamples / "net1.cor"), 0, ""},
        {exportOf("/dev/zero", idex), "", 1, "/dev/zero kan niet worden gelezen (regel langer"},
        {exportOf(field, "/dev/zero"), "", 1, "IDEX file /dev/zero kan niet worden gelezen"},
        {exportOf(fifo, idex), "", 1, "FIELD file " + fifo + " kan niet worden gelezen"},
        {exportOf((dir_ / "long.fld").string(), idex), "", 1,
         "Regel 3 van " + (dir_ / "long.fld").string() + " is langer dan 1 MB"},
        {exportOf(field, idex), "", 1, "net.OBS (geen gewoon bestand)"},  // a named pipe
        // The check reads its inputs as the export does (the example is sound: status 0).
        {checkOf(pipe), ReadBytes(field), 0, ""},
        {checkOf(fifo), "", 1, "FIELD file " + fifo + " kan niet worden gelezen"},
        // Degrees with face 2 reduced: the check beside the export would read the field file
        // again, which a pipe does not allow; it says so and prints no count.
        {reducedWithCheck, degrees, 0, "de controle kon het veldbestand niet opnieuw lezen"},
    };
    for (const auto& [args, piped, expected, said] : cases) {
        for (const auto& [name, bytes] : old.files)
            WriteBytes(project / name, bytes);
        const bool fifoTarget = said.find("geen gewoon") != std::string::npos;
        if (fifoTarget) {
            fs::remove(project / "net.OBS");
            ASSERT_EQ(::mkfifo((project / "net.OBS").c_str(), 0600), 0);
        }
        int ends[2];
        ASSERT_EQ(::pipe(ends), 0);
        ASSERT_EQ(::write(ends[1], piped.data(), piped.size()), ssize_t(piped.size()));
        ::close(ends[1]);
        const pid_t pid = Start(args, dir_, [&] { ::dup2(ends[0], 3); });
        ::close(ends[0]);
        const auto [status, peakKb] = EndWithin30s(pid);
        const std::string err = Err(dir_, pid);
        EXPECT_EQ(status, expected) << err;
        EXPECT_NE(err.find(said), std::string::npos) << err;
        EXPECT_LT(peakKb, 64 * 1024) << err;
        EXPECT_TRUE(!fifoTarget || fs::status(project / "net.OBS").type() == fs::file_type::fifo);
        if (fifoTarget) fs::remove(project / "net.OBS");
        EXPECT_TRUE(args[0] != "import" ||
                    ReadBytes(dir_ / "piped.idx") == ReadBytes(dir_ / "ref.idx"));
        const std::string out = ReadBytes(dir_ / (".out" + std::to_string(pid)));
        const bool unchecked = args.back() == "--check";
        EXPECT_TRUE(((args[0] != "check" || !piped.empty()) && !unchecked) ||
                    out.find("fouten") == std::string::npos)
            << out;
        EXPECT_TRUE(args[0] != "check" || piped.empty() ||
                    out.find("0 fouten, 0 waarschuwingen") != std::string::npos)
            << out << err;
        EXPECT_TRUE(args[0] != "export" || fifoTarget || unchecked ||
                    List(project) == (expected == 0 ? fresh : old))
            << err;
    }
}

// Pairs of runs with different choices on one project at once: each run puts in all of its
// files or waits for the other; the project is always the one or the other.
TEST_F(OutputSafety, ConcurrentExportsToOneProjectNeverMix) {
    const fs::path project = dir_ / "project";
    // In memory where that can be had: the syncs to a disk would only make the test slow.
    const bool mounted = ::mount("tmpfs", project.c_str(), "tmpfs", 0, "size=8m") == 0;
    const auto run = [&](const char* absHor) {
        auto args = Export(absHor, project, Example("net1.fld"), Example("net1.idx"));
        args.push_back("--quiet");
        return Start(args, dir_);
    };
    ASSERT_EQ(WaitFor(run("0.0007")), 0);
    const Listing first = List(project);
    ASSERT_EQ(WaitFor(run("0.0009")), 0);
    const Listing second = List(project);
    int mixed = 0;
    for (int pair = 0; pair < 200; ++pair) {
        const pid_t a = run("0.0007"), b = run("0.0009");
        EXPECT_EQ(WaitFor(a), 0) << Err(dir_, a);
        EXPECT_EQ(WaitFor(b), 0) << Err(dir_, b);
        const Listing after = List(project);
        mixed += after != first && after != second;
    }
    EXPECT_EQ(mixed, 0);
    if (mounted) ::umount(project.c_str());
}

// register and unregister from many processes at once, among 50 exports that store their
// choices: every command reads and changes the store under one lock, so it stays readable,
// holds every export's choices and Talvik at most once per menu, with no gap that would end
// the host's menu early.
TEST_F(OutputSafety, ConcurrentRunsShareTheStore) {
    const fs::path store = dir_ / "config" / "talvik" / "registry.reg";
    const std::vector<std::string> releases = {"5.0", "6.0", "7.0", "8.0", "9.0", "10.0"};
    // Talvik first, another converter behind it: an unregister moves that one up.
    const std::string program = (fs::path(kCli).parent_path() / "talvik").string();
    std::string text = "REGEDIT4\r\n\r\n";
    for (const std::string& release : releases)
        for (const auto& [menu, ours] : {std::pair{"Import", "2|*.cor|Korvu Co\xF6rdinaten|"},
                                         std::pair{"Export", "2|*.prj|Korvu Project|"}})
            text += "[HKEY_CURRENT_USER\\SOFTWARE\\Ornwald\\Kavrin\\" + release +
                    "\\ZEV\\Data Conversions\\" + menu + "]\r\n\"MenuItem0\"=\"" + ours + program +
                    "\"\r\n\"MenuItem1\"=\"2|*.x|Ander|other.exe\"\r\n\r\n";
    WriteBytes(store, text);
    std::vector<pid_t> runs;
    for (int i = 0; i < 100; ++i) {
        const int e = i / 2;  // the exports on even numbers, register or unregister between
        if (i % 2 == 1) {
            runs.push_back(Start({e % 2 == 0 ? "register" : "unregister", "--quiet"}, dir_));
            continue;
        }
        const fs::path folder = dir_ / ("p" + std::to_string(e));
        fs::create_directories(folder);
        runs.push_back(Start(
            {"export", "--field", Example("net1.fld"), "--project", (folder / "net1.prj").string(),
             "--selection-set", std::to_string(1 + e % 9), "--code", "C" + std::to_string(e % 9)},
            dir_));
    }
    for (const pid_t pid : runs)
        EXPECT_EQ(WaitFor(pid), 0) << Err(dir_, pid);

    RegistryFile registry(store.string());
    EXPECT_EQ(registry.CheckFile(), "");
    for (int set = 1; set <= 9; ++set) {
        // The codes of set n are those of the last run on it: "C" followed by n - 1.
        EXPECT_TRUE(registry.GetStringValue(kHkeyCurrentUser, "Software\\Kelvaris\\Talvik",
                                            "TalvikSel" + std::to_string(set), text));
        EXPECT_NE(text.find("C" + std::to_string(set - 1)), std::string::npos) << text;
    }
    for (const std::string& release : releases) {
        for (const char* menu : {"Import", "Export"}) {
            const std::string key = std::string("SOFTWARE\\Ornwald\\Kavrin\\") + release +
                                    "\\ZEV\\Data Conversions\\" + menu;
            std::string shape;  // per number: o Talvik's entry, x the other one, - none
            for (int n = 0; n < 60; ++n) {
                std::string entry;
                const bool has = registry.GetStringValue(kHkeyCurrentUser, key,
                                                         "MenuItem" + std::to_string(n), entry);
                shape += !has ? '-' : entry.find("other.exe") != std::string::npos ? 'x' : 'o';
            }
            const std::string read = shape.substr(0, shape.find('-'));  // what the host reads
            EXPECT_TRUE(read == "x" || read == "ox" || read == "xo") << key << " " << shape;
            EXPECT_EQ(shape.find_first_not_of('-', read.size()), std::string::npos) << shape;
        }
    }
}

// A store the run may not change: register and unregister stop with 1 and say why; a closed
// standard error does not end an export half-way.
TEST_F(OutputSafety, StoppedOutputsAreReported) {
    const fs::path folder = dir_ / "config" / "talvik";
    WriteBytes(folder / "registry.reg",
               "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Ornwald\\Kavrin\\5.0\\ZEV]\r\n\r\n");
    const std::string before = ReadBytes(folder / "registry.reg");
    fs::permissions(folder, static_cast<fs::perms>(0555));
    for (const char* command : {"register", "unregister"}) {
        const pid_t pid = Start({command}, dir_, AsNobody);
        EXPECT_EQ(WaitFor(pid), 1) << command;
        EXPECT_NE(Err(dir_, pid).find("(geen toegang)"), std::string::npos) << Err(dir_, pid);
    }
    fs::permissions(folder, fs::perms::owner_all);
    EXPECT_EQ(ReadBytes(folder / "registry.reg"), before);

    // Standard error is a pipe nobody reads any more: the question and the notes go nowhere.
    const fs::path project = dir_ / "project";
    const Listing old = OldProject(project);
    const pid_t pid = Start(Export("0.0009", project), dir_, [] {
        int ends[2];
        if (::pipe(ends) != 0) ::_exit(125);
        ::close(ends[0]);
        ::dup2(ends[1], 2);
    });
    EXPECT_EQ(WaitFor(pid), 0);
    EXPECT_TRUE(List(project).temporaries.empty());
    EXPECT_NE(List(project), old);

    // Too little memory for the words of a long line: the import stops with its message and
    // leaves the IDEX file as it was. (The address sanitizer's own reservations do not fit in
    // such a limit: it cannot even start there.)
#if defined(__SANITIZE_ADDRESS__)
    return;
#endif
    std::string words((1 << 20) - 80, 'a');  // "a a a ..."
    for (std::size_t i = 1; i < words.size(); i += 2)
        words[i] = ' ';
    WriteBytes(project / "words.cor", "$\r\n$\r\n$\r\n" + words + "\r\n");
    WriteBytes(project / "old.idx", "old");
    const pid_t import =
        Start({"import", "--cor", (project / "words.cor").string(), "--idex",
               (project / "old.idx").string(), "--layer", "L", "--code", "C", "--no-save"},
              dir_, [] {
                  const rlimit limit{20 << 20, 20 << 20};
                  ::setrlimit(RLIMIT_AS, &limit);
              });
    EXPECT_EQ(WaitFor(import), 1);
    EXPECT_NE(Err(dir_, import).find("Onvoldoende geheugen"), std::string::npos);
    EXPECT_EQ(ReadBytes(project / "old.idx"), "old");
    EXPECT_TRUE(List(project).temporaries.empty());
}

// What a folder holds, links and pipes as what they are (a link with its target).
std::map<std::string, std::string> Entries(const fs::path& folder) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const auto status = entry.symlink_status();
        const std::string name = entry.path().filename().string();
        entries[name] = fs::is_symlink(status)     ? "-> " + fs::read_symlink(entry).string()
                        : fs::is_directory(status) ? "folder"
                        : fs::is_fifo(status)      ? "fifo"
                                                   : ReadBytes(entry.path());
    }
    return entries;
}

// The sketch is replaced as every other file: a link at its name is replaced, not followed; a
// named pipe, a folder or a read-only file there is refused at once; on a full disk the old
// sketch stays. Nothing outside the sketch's folder changes, and no temporary file is left.
TEST_F(OutputSafety, TheSketchIsReplacedWholeOrNotAtAll) {
    const fs::path sketches = dir_ / "sketches", outside = dir_ / "outside";
    const fs::path sketch = sketches / "net1.svg";
    bool mounted = false;
    struct Case {
        const char* what;
        std::function<void()> arrange;
        std::function<void()> inChild;
        const char* problem;  // empty: written
    };
    const std::vector<Case> cases = {
        {"a link to a file outside",
         [&] { fs::create_symlink("../outside/thesis.doc", sketch); },
         {},
         ""},
        {"a named pipe",
         [&] { ASSERT_EQ(::mkfifo(sketch.c_str(), 0644), 0); },
         {},
         "(geen gewoon bestand)"},
        {"a folder", [&] { fs::create_directory(sketch); }, {}, "(er staat een map met die naam)"},
        {"a read-only file",
         [&] {
             WriteBytes(sketch, "old sketch");
             fs::permissions(sketch, static_cast<fs::perms>(0444));
         },
         {},
         "(alleen-lezen)"},
        // A small full disk where it can be mounted, else a limit on the size of every file.
        {"a full disk",
         [&] {
             mounted = ::mount("tmpfs", sketches.c_str(), "tmpfs", 0, "size=64k") == 0;
             WriteBytes(sketch, "old sketch");
             if (mounted) {
                 std::FILE* fill = std::fopen((sketches / "fill").c_str(), "wb");
                 const std::string block(4096, 'f');
                 while (std::fwrite(block.data(), 1, block.size(), fill) == block.size() &&
                        std::fflush(fill) == 0) {
                 }
                 std::fclose(fill);
             }
         },
         [&] {
             if (mounted) return;
             std::signal(SIGXFSZ, SIG_IGN);
             const rlimit limit{1000, 1000};
             ::setrlimit(RLIMIT_FSIZE, &limit);
         },
         "(schijf vol)"},
    };
    for (const bool exporting : {false, true}) {
        for (const Case& c : cases) {
            fs::remove_all(sketches);
            fs::remove_all(outside);
            fs::create_directories(sketches);
            fs::create_directories(outside);
            WriteBytes(outside / "thesis.doc", "my thesis");
            c.arrange();
            // A limit on the size of files would stop the export's own files first.
            if (exporting && std::string(c.what) == "a full disk" && !mounted) continue;
            const auto before = Entries(sketches);
            const auto outsideBefore = Entries(outside);
            std::vector<std::string> args =
                exporting
                    ? Export("0.0009", dir_ / "project", Example("net1.fld"), Example("net1.idx"))
                    : std::vector<std::string>{"check",  "--field",           Example("net1.fld"),
                                               "--idex", Example("net1.idx"), "--code",
                                               "K"};
            args.insert(args.end(), {"--sketch", sketch.string()});
            const pid_t pid = Start(args, dir_, c.inChild);
            const int status = WaitFor(pid);
            const std::string err = Err(dir_, pid);
            const std::string what = std::string(c.what) + (exporting ? " (export)" : " (check)");
            EXPECT_EQ(Entries(outside), outsideBefore) << what;
            auto after = Entries(sketches);
            if (*c.problem == '\0') {
                EXPECT_EQ(status, 0) << what << err;  // the example is sound
                EXPECT_EQ(after.size(), before.size()) << what;
                EXPECT_TRUE(after[sketch.filename().string()].starts_with("<?xml")) << what;
            } else {
                EXPECT_EQ(status, 1) << what;
                const std::string reason = mounted || !std::string(c.what).ends_with("disk")
                                               ? c.problem
                                               : "(bestand te groot)";
                EXPECT_NE(
                    err.find("the sketch could not be written: " + sketch.string() + " " + reason),
                    std::string::npos)
                    << what << ": " << err;
                EXPECT_EQ(after, before) << what;
            }
            if (mounted) ::umount(sketches.c_str());
            mounted = false;
        }
    }
}

// Two users of one group in a folder they share (setgid, umask 002): the lock is theirs
// alike. A colleague's export waits while the owner holds the project, and goes on at once
// after the owner's run was killed, whatever umask left its lock file behind.
TEST_F(OutputSafety, ColleaguesInASharedFolderTakeTurns) {
    if (::geteuid() != 0) GTEST_SKIP() << "acting as two users needs the superuser";
    constexpr gid_t kGroup = 4000;
    constexpr uid_t kOwner = 4001, kColleague = 4002;
    const fs::path shared = dir_ / "shared";
    fs::create_directory(shared);
    ASSERT_EQ(::chown(shared.c_str(), 0, kGroup), 0);
    ASSERT_EQ(::chmod(shared.c_str(), 02775), 0);
    fs::permissions(dir_, static_cast<fs::perms>(0755));
    const auto as = [](uid_t user, mode_t mask) {
        return [user, mask] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(kGroup) != 0 || ::setuid(user) != 0)
                ::_exit(126);
            ::umask(mask);
        };
    };
    const std::string lockPath = (shared / "net.LCK").string();
    // The owner's run: holds the project's lock until it is let go or killed.
    struct Owner {
        pid_t pid = -1;
        int letGo = -1;
    };
    const auto own = [&](mode_t mask) {
        int held[2], letGo[2];
        EXPECT_EQ(::pipe(held), 0);
        EXPECT_EQ(::pipe(letGo), 0);
        const pid_t pid = ::fork();
        if (pid == 0) {
            as(kOwner, mask)();
            FileLock lock;
            const char taken = lock.Acquire(lockPath, std::chrono::milliseconds(0)) ? 'y' : 'n';
            if (::write(held[1], &taken, 1) != 1) ::_exit(1);
            char ignored;
            if (::read(letGo[0], &ignored, 1) != 1) ::_exit(1);
            lock.Release();
            ::_exit(0);
        }
        char taken = 'n';
        EXPECT_EQ(::read(held[0], &taken, 1), 1);
        EXPECT_EQ(taken, 'y');
        ::close(held[0]), ::close(held[1]), ::close(letGo[0]);
        return Owner{pid, letGo[1]};
    };
    const auto colleague = [&] {
        const fs::path config = dir_ / "colleague";
        fs::create_directories(config);
        EXPECT_EQ(::chown(config.c_str(), kColleague, kGroup), 0);
        auto args = Export("0.0009", shared, Example("net1.fld"), Example("net1.idx"));
        return StartProgram(kCli, args, dir_,
                            {{"XDG_CONFIG_HOME", config.string()}, {"LC_ALL", "C"}},
                            as(kColleague, 002));
    };

    // The owner lets go after a while: the colleague has waited, and then writes.
    {
        const Owner owner = own(002);
        const auto start = std::chrono::steady_clock::now();
        const pid_t pid = colleague();
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        EXPECT_EQ(::write(owner.letGo, "x", 1), 1);
        EXPECT_EQ(WaitFor(pid), 0) << Err(dir_, pid);
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
        EXPECT_EQ(WaitFor(owner.pid), 0);
        ::close(owner.letGo);
        EXPECT_TRUE(fs::exists(shared / "net.PRJ"));
    }
    // The owner's run killed, its lock file left, made under either umask: nothing waits.
    for (const mode_t mask : {mode_t{002}, mode_t{022}}) {
        const Owner owner = own(mask);
        ::kill(owner.pid, SIGKILL);
        WaitFor(owner.pid);
        ::close(owner.letGo);
        struct stat left {};
        ASSERT_EQ(::stat(lockPath.c_str(), &left), 0);
        EXPECT_EQ(left.st_mode & 0777, 0666 & ~mask);
        const auto start = std::chrono::steady_clock::now();
        const pid_t pid = colleague();
        EXPECT_EQ(WaitFor(pid), 0) << Err(dir_, pid);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(4000));
        EXPECT_FALSE(fs::exists(lockPath)) << mask;
    }
}

// What the system is asked to do, seen from outside (strace, with every path): each file is
// synced before it is renamed into its place, the journal's name is on the disk (the folder
// synced) before the first file of the project moves, and the folder is synced again after the
// last one moved in, before the journal goes.
TEST_F(OutputSafety, EveryFileIsOnTheDiskBeforeItsRename) {
    if (std::system("strace -V > /dev/null 2>&1") != 0) GTEST_SKIP() << "no strace";
    const fs::path project = dir_ / "project";
    OldProject(project);  // the commit moves old files aside too
    const std::string trace = (dir_ / "trace").string();
    std::vector<std::string> args = {"-f",
                                     "-y",
                                     "-qq",
                                     "-o",
                                     trace,
                                     "-e",
                                     "trace=fsync,fdatasync,rename,renameat,renameat2,unlink",
                                     kCli};
    for (const std::string& a : Export("0.0009", project, Example("net1.fld"), Example("net1.idx")))
        args.push_back(a);
    const pid_t pid = StartProgram("/usr/bin/strace", args, dir_,
                                   {{"XDG_CONFIG_HOME", (dir_ / "config").string()}});
    ASSERT_EQ(WaitFor(pid), 0) << Err(dir_, pid);

    const std::string folder = project.string(), journal = (project / "net.JNL").string();
    std::set<std::string> synced;
    int folderSyncs = 0, renamesIn = 0, checked = 0;
    bool journalPlaced = false;
    std::istringstream lines(ReadBytes(trace));
    for (std::string line; std::getline(lines, line);) {
        const std::vector<std::string> quoted = Quoted(line);
        if (const std::optional<std::string> path = SyncedPath(line)) {
            if (*path == folder) ++folderSyncs;
            synced.insert(*path);
        } else if ((IsCall(line, "rename") || IsCall(line, "renameat") ||
                    IsCall(line, "renameat2")) &&
                   quoted.size() >= 2) {
            const std::string from = quoted[0], to = quoted[1];
            if (to.ends_with(".tmp")) {  // an old file aside: only once the journal is safe
                EXPECT_TRUE(journalPlaced && folderSyncs > 0) << line;
                continue;
            }
            EXPECT_TRUE(synced.contains(from)) << "renamed before its sync: " << line;
            if (to == journal) {
                journalPlaced = true;
                folderSyncs = 0;
            } else {
                EXPECT_TRUE(journalPlaced && (renamesIn > 0 || folderSyncs > 0)) << line;
                if (renamesIn++ == 0) folderSyncs = 0;
            }
            ++checked;
        } else if (IsCall(line, "unlink") && !quoted.empty() && quoted[0] == journal) {
            EXPECT_GT(folderSyncs, 0) << "the journal removed before the folder was synced";
        }
    }
    EXPECT_EQ(checked, 4);  // the journal and the three files of the project
}

}  // namespace
}  // namespace talvik::test
