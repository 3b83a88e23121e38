#include "export/ExportRun.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "export/ExportDialogModel.h"
#include "platform/MemorySettings.h"
#include "platform/RegistryFile.h"

namespace talvik {
namespace {

namespace fs = std::filesystem;

// One log for everything the run shows, asks and starts, so that the order can be checked.
using EventLog = std::vector<std::string>;

struct LoggingUi : UserInterface {
    explicit LoggingUi(EventLog& log) : log(log) {}
    EventLog& log;
    Buttons lastButtons = Buttons::OkCancel;
    Icon lastIcon = Icon::None;
    std::string lastTitle;
    Answer Message(std::string_view text, Buttons b, Icon i, std::string_view title) override {
        log.push_back("message:" + std::string(text));
        lastButtons = b, lastIcon = i, lastTitle = title;
        return Answer::Ok;
    }
    void Progress(std::string_view) override {}
    void Yield() override {}
};

struct ScriptedPrompt : FilePrompt {
    explicit ScriptedPrompt(EventLog& log) : log(log) {}
    EventLog& log;
    std::deque<std::string> answers;  // empty text: cancelled
    std::vector<FilePromptRequest> requests;
    std::string PickFile(const FilePromptRequest& request) override {
        log.push_back("prompt:" + request.title);
        requests.push_back(request);
        if (answers.empty()) return {};
        std::string answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

struct RecordingLauncher : ProcessLauncher {
    explicit RecordingLauncher(EventLog& log) : log(log) {}
    EventLog& log;
    std::vector<std::string> lines;
    bool Start(std::string_view commandLine) override {
        log.push_back("start:" + std::string(commandLine));
        lines.emplace_back(commandLine);
        return false;  // never examined
    }
};

// Remembers which keys were read.
struct WatchedSettings : MemorySettings {
    std::vector<std::string> reads;
    std::string Get(std::string_view key, std::string_view defaultValue) override {
        reads.emplace_back(key);
        return MemorySettings::Get(key, defaultValue);
    }
    bool Read(std::string_view key) const {
        for (const auto& k : reads)
            if (k == key) return true;
        return false;
    }
};

class ExportRunTest : public testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "talvik-export-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(root_, error);
    }

    std::string Path(const std::string& relative) const { return (root_ / relative).string(); }
    void Write(const std::string& relative, const std::string& text) {
        fs::create_directories((root_ / relative).parent_path());
        std::ofstream(root_ / relative, std::ios::binary) << text;
    }
    // Host releases 5.0 and 6.0 in the registry file; 6.0 is the preferred one.
    void InstallHost() {
        Write("registry.reg",
              "REGEDIT4\r\n\r\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\ORNWALD\\KAVRIN\\5.0\\ZEV]\r\n"
              "\"DataPath\"=\"C:\\\\Kavrin5\"\r\n\r\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\ORNWALD\\KAVRIN\\6.0\\ZEV]\r\n"
              "\"DataPath\"=\"C:\\\\Kavrin6\\\\Data\"\r\n");
    }

    fs::path root_;
    EventLog log_;
    LoggingUi ui_{log_};
    WatchedSettings settings_;
    ScriptedPrompt prompt_{log_};
    RecordingLauncher launcher_{log_};
    KavrinReleases releases_;
    PointTable points_;
    AngleUnitState angleUnit_;
    std::unique_ptr<RegistryFile> registry_;

    RegistryFile& MakeRegistry() {
        registry_ = std::make_unique<RegistryFile>(Path("registry.reg"));
        return *registry_;
    }
    ExportContext Context() {
        MakeRegistry();
        return ExportContext{ui_,       settings_, *registry_, prompt_,
                             launcher_, releases_, points_,    angleUnit_};
    }
};

TEST_F(ExportRunTest, FileExistsOnlyForReadableFiles) {
    Write("a file", "x");
    Write("empty", "");
    fs::create_directories(root_ / "folder");
    struct Case {
        std::string path;
        bool exists;
    };
    for (const Case& c :
         {Case{Path("a file"), true}, Case{Path("empty"), true}, Case{Path("missing"), false},
          Case{Path("folder"), false}, Case{Path("a file/below"), false}, Case{"", false}})
        EXPECT_EQ(FileExists(c.path), c.exists) << c.path;
    if (::geteuid() != 0) {
        ASSERT_EQ(::chmod(Path("a file").c_str(), 0), 0);
        EXPECT_FALSE(FileExists(Path("a file"))) << "cannot be opened for reading";
    }
}

TEST_F(ExportRunTest, FindKorvuKeepsAnExistingStoredPath) {
    Write("pkg/korvu", "");
    settings_.Set(kKeyPackagePath, Path("pkg/korvu"));
    const auto setsBefore = settings_.SetCalls();
    EXPECT_EQ(FindKORVU(settings_, prompt_), Path("pkg/korvu"));
    EXPECT_TRUE(prompt_.requests.empty());
    EXPECT_EQ(settings_.SetCalls(), setsBefore + 1) << "written back";
    EXPECT_EQ(settings_.Get(kKeyPackagePath, ""), Path("pkg/korvu"));
}

TEST_F(ExportRunTest, FindKorvuAsksOnceWhenThePathIsMissing) {
    struct Case {
        const char* name;
        bool stored;  // a stored path that does not exist, or no setting (the default)
        std::string answer;
    };
    for (const Case& c : {Case{"DefaultPicked", false, "/opt/any/file.txt"},
                          Case{"StoredPicked", true, "/opt/k/korvu"},
                          Case{"DefaultCancelled", false, ""}, Case{"StoredCancelled", true, ""}}) {
        SCOPED_TRACE(c.name);
        WatchedSettings settings;
        if (c.stored) settings.Set(kKeyPackagePath, Path("gone/korvu"));
        EventLog log;
        ScriptedPrompt prompt(log);
        prompt.answers.push_back(c.answer);
        EXPECT_EQ(FindKORVU(settings, prompt), c.answer);
        ASSERT_EQ(prompt.requests.size(), 1u);
        EXPECT_EQ(prompt.requests[0].startFolder, "C:\\Program Files\\");
        EXPECT_EQ(prompt.requests[0].title, "Opzoeken van KORVU.EXE file");
        EXPECT_EQ(prompt.requests[0].initialName, "*.EXE");
        EXPECT_EQ(prompt.requests[0].filter, "KORVU.EXE (*.EXE)|*.exe|All Files (*.*)|*.*");
        const std::string untouched = c.stored ? Path("gone/korvu") : "(absent)";
        EXPECT_EQ(settings.Get(kKeyPackagePath, "(absent)"),
                  c.answer.empty() ? untouched : c.answer);
    }
}

TEST_F(ExportRunTest, FindKorvuDefaultPath) {
    EXPECT_EQ(kDefaultPackagePath, "C:\\Program Files\\Hollberk\\KORVU\\KORVU.EXE");
    prompt_.answers.push_back("");
    FindKORVU(settings_, prompt_);
    EXPECT_TRUE(settings_.Read(kKeyPackagePath));
}

TEST_F(ExportRunTest, LocateFileStartsInTheDataFolderOfThePreferredRelease) {
    InstallHost();
    releases_.names = {"stale", "4.0"};
    MakeRegistry();
    prompt_.answers = {"C:\\Kavrin6\\Data\\job.idx", ""};
    const auto picked =
        LocateFile(ui_, *registry_, releases_, prompt_, "Kavrin IDEX Files|*.idx|", "*.idx");
    ASSERT_TRUE(picked.has_value());
    EXPECT_EQ(*picked, "C:\\Kavrin6\\Data\\job.idx");
    EXPECT_EQ(releases_.names, (std::vector<std::string>{"6.0", "5.0", "6.0"}));
    ASSERT_EQ(prompt_.requests.size(), 1u);
    const FilePromptRequest& r = prompt_.requests[0];
    EXPECT_EQ(r.startFolder, "C:\\Kavrin6\\Data\\");
    EXPECT_EQ(r.title, "Opzoeken van Kavrin IDEX Files|*.idx| File");
    EXPECT_EQ(r.initialName, "*.idx");
    EXPECT_EQ(r.filter, "Kavrin IDEX Files|*.idx|All Files (*.*)|*.*");

    const auto cancelled =
        LocateFile(ui_, *registry_, releases_, prompt_, ExportDialogModel::kFieldFilter, "*.fld");
    ASSERT_TRUE(cancelled.has_value());
    EXPECT_EQ(*cancelled, "") << "a cancelled prompt is empty text, not a missing host";
    EXPECT_EQ(prompt_.requests[1].title, "Opzoeken van Kavrin Field Files|*.fld| File");
    EXPECT_TRUE(std::none_of(log_.begin(), log_.end(),
                             [](const std::string& e) { return e.starts_with("message:"); }));
}

TEST_F(ExportRunTest, LocateFileWithoutHostReportsAndDoesNotPrompt) {
    releases_.names = {"6.0", "6.0"};  // left over from an earlier look
    MakeRegistry();
    const auto picked = LocateFile(ui_, *registry_, releases_, prompt_, "x|*.x|", "*.x");
    EXPECT_FALSE(picked.has_value());
    EXPECT_EQ(log_, EventLog{"message:Kavrin niet gevonden; afbreken"});
    EXPECT_EQ(ui_.lastIcon, Icon::Critical);
    EXPECT_EQ(ui_.lastButtons, Buttons::Ok);
    EXPECT_EQ(ui_.lastTitle, "Talvik");
    EXPECT_EQ(releases_.Count(), 0u);
}

TEST_F(ExportRunTest, AskForIdexFilePutsTheProjectNextToIt) {
    struct Case {
        const char* name;
        bool host;
        std::string answer;
        bool goOn;
        std::string package;
    };
    for (const Case& c : {Case{"Picked", true, "/d/My Job/net.idx", true, "/d/My Job/net.prj"},
                          Case{"OtherExtension", true, "/d/net.x", true, "/d/neprj"},
                          Case{"Cancelled", true, "", false, "keep"},
                          Case{"NoHost", false, "/d/net.idx", false, "keep"}}) {
        SCOPED_TRACE(c.name);
        fs::remove(root_ / "registry.reg");
        if (c.host) InstallHost();
        prompt_.answers = {c.answer};
        ExportContext context = Context();
        std::string package = "keep";
        std::string idex = "keep";
        EXPECT_EQ(AskForIdexFile(context, package, idex), c.goOn);
        EXPECT_EQ(package, c.package);
        EXPECT_EQ(idex, c.goOn ? c.answer : "keep");
        if (c.host) {
            EXPECT_EQ(prompt_.requests.back().title, "Opzoeken van Kavrin IDEX Files|*.idx| File");
        }
    }
}

const char* const kFieldFile =
    "1 21 XY\r\n2 22 1.0\r\n3 23 0.0 0.0 0.0\r\n4 51 999\r\n5 53 M\r\n"
    "6 102 1001 1.552 1.300 1002 0.0000\r\n"
    "7 111 1002 0.0000 99.8765 247.3310 999\r\n";
const char* const kIdexFile =
    "HEADER\r\n  VERSION      1.20\r\n  SYSTEM       \"KAVRIN\"\r\n  SEPARATOR    \",\"\r\n"
    "  TERMINATOR   \";\"\r\nEND HEADER\r\nDATABASE\r\n"
    "  POINTS (PointNo,PointID,East,North,Elevation,Code,LayerNo)\r\n"
    "    1, \"1001\", 155000.000, 463000.000, 12.345, \"GR\", 0;\r\n"
    "  END POINTS\r\nEND DATABASE\r\n";

struct CentralCase {
    const char* name;
    bool kick;
    bool packageStored;  // Talvik3Path names an existing file
    const char* answer;  // the prompt's answer when it asks for the package
};

class ExportCentralTest : public ExportRunTest, public testing::WithParamInterface<CentralCase> {};

TEST_P(ExportCentralTest, ReadsConvertsThenLaunches) {
    const CentralCase& c = GetParam();
    Write("job dir/net.fld", kFieldFile);
    Write("job dir/net.idx", kIdexFile);
    Write("pkg dir/korvu", "");
    if (c.packageStored) settings_.Set(kKeyPackagePath, Path("pkg dir/korvu"));
    prompt_.answers = {c.answer};

    ExportOptions options;
    options.Projectfile = Path("job dir/net.prj");
    options.Fieldfile = Path("job dir/net.fld");
    options.IdexFile = Path("job dir/net.idx");
    const std::string box = "  " + options.Projectfile + " ";
    ExportContext context = Context();
    EXPECT_EQ(ExportCentral(context, options, box, c.kick), ConversionOutcome::Finished);

    EXPECT_NE(points_.FindFirst(FitName9("1001")), 0u) << "known points read";
    EXPECT_TRUE(fs::exists(root_ / "job dir/net.PRJ"));
    EXPECT_TRUE(fs::exists(root_ / "job dir/net.OBS"));
    EXPECT_TRUE(fs::exists(root_ / "job dir/net.TCO"));

    EventLog expected;
    if (c.kick && !c.packageStored) expected.push_back("prompt:Opzoeken van KORVU.EXE file");
    const std::string program = c.packageStored ? Path("pkg dir/korvu") : c.answer;
    if (c.kick) expected.push_back("start:" + program + " \"" + box + "\"");
    EXPECT_EQ(log_, expected);
    EXPECT_EQ(settings_.Read(kKeyPackagePath), c.kick) << "the package is looked for only on kick";
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, ExportCentralTest,
    testing::Values(CentralCase{"ExportOnly", false, true, ""},
                    CentralCase{"ExportOnlyWithoutPackage", false, false, "/x/korvu"},
                    CentralCase{"StoredPackage", true, true, ""},
                    CentralCase{"PickedPackage", true, false, "/opt/k/korvu"},
                    CentralCase{"CancelledSearchStillStarts", true, false, ""}),
    [](const testing::TestParamInfo<CentralCase>& info) { return std::string(info.param.name); });

TEST_F(ExportRunTest, LaunchFollowsAConversionThatStoppedEarly) {
    settings_.Set(kKeyPackagePath, "");
    prompt_.answers = {"/opt/k/korvu"};
    ExportOptions options;
    options.Projectfile = Path("job/net.prj");
    options.Fieldfile = Path("job/missing.fld");
    options.IdexFile = Path("job/missing.idx");
    ExportContext context = Context();
    EXPECT_EQ(ExportCentral(context, options, options.Projectfile, true),
              ConversionOutcome::FieldFileMissing);
    ASSERT_EQ(log_.size(), 4u);
    EXPECT_TRUE(log_[0].starts_with("message:")) << "the IDEX reader comes first";
    EXPECT_NE(log_[0].find("missing.idx"), std::string::npos);
    EXPECT_EQ(log_[1], "message:Kavrin FIELD file niet gevonden; Afgebroken.");
    EXPECT_EQ(log_[2], "prompt:Opzoeken van KORVU.EXE file");
    EXPECT_EQ(log_[3], "start:/opt/k/korvu \"" + options.Projectfile + "\"");
}

TEST_F(ExportRunTest, StartExportStoresBeforeAndAfterTheRun) {
    Write("job/net.fld", kFieldFile);
    Write("job/net.idx", kIdexFile);
    ExportDialogModel dialog(settings_);
    dialog.Open(Path("job/net.prj"));
    dialog.txtSelCode[2] = "K1";
    dialog.SetChkHVD(false);
    dialog.SetAbsVer("0.007");
    dialog.optV3 = false;
    dialog.StepUp();
    dialog.txtSelCode[1] = "999";
    dialog.txtSelCode[3] = "set two";

    struct SnapshotLauncher : ProcessLauncher {
        SettingsStore* settings = nullptr;
        std::string sel2;
        bool Start(std::string_view) override {
            sel2 = settings->Get("TalvikSel2", "(absent)");
            return true;
        }
    } launcher;
    launcher.settings = &settings_;
    prompt_.answers = {"/opt/k/korvu"};
    MakeRegistry();
    ExportContext context{ui_,      settings_, *registry_, prompt_,
                          launcher, releases_, points_,    angleUnit_};
    EXPECT_EQ(StartExport(context, dialog, Path("job/net.idx"), true), ConversionOutcome::Finished);
    EXPECT_EQ(launcher.sel2, "999||set two|||||||||||||") << "stored before the run";
    EXPECT_EQ(settings_.Get(kKeyCurrentSel, ""), "2");
    EXPECT_EQ(settings_.Get("TalvikSel1", ""), "999|K1||||||||||||||");
    EXPECT_EQ(settings_.Get(kKeyStdDev, "").substr(0, 20), "0.003|0.0003|0.007|0");
    EXPECT_EQ(settings_.Get(kKeyVersion, ""), "0");
    EXPECT_TRUE(fs::exists(root_ / "job/net.TOB")) << "version 1 reached the conversion";
}

}  // namespace
}  // namespace talvik
