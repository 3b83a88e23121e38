#include "export/ExportRun.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "export/ExportDialogModel.h"
#include "platform/MemorySettings.h"
#include "platform/RegistryFile.h"

namespace talvik {
namespace {

namespace fs = std::filesystem;
using Log = std::vector<std::string>;

// Everything the run shows, asks, reads and starts goes into one log, in order.
std::string Fields(const FilePromptRequest& q) {
    return q.startFolder + "\n" + q.title + "\n" + q.initialName + "\n" + q.filter;
}

struct Recorder : UserInterface, FilePrompt, ProcessLauncher, MemorySettings {
    Log log;
    std::deque<std::string> answers;  // of the file prompt; empty text cancels
    std::vector<FilePromptRequest> requests;
    Icon icon = Icon::None;
    std::string title;
    Answer Message(std::string_view text, Buttons, Icon i, std::string_view t) override {
        log.push_back("message:" + std::string(text));
        icon = i, title = t;
        return Answer::Ok;
    }
    void Progress(std::string_view) override {}
    void Yield() override {}
    std::string PickFile(const FilePromptRequest& request) override {
        log.push_back("prompt:" + request.title);
        requests.push_back(request);
        std::string answer = answers.empty() ? "" : answers.front();
        if (!answers.empty()) answers.pop_front();
        return answer;
    }
    bool Start(std::string_view commandLine) override {
        log.push_back("start:" + std::string(commandLine));
        return false;  // never examined
    }
    std::string Get(std::string_view key, std::string_view defaultValue) override {
        if (key == kKeyPackagePath) log.push_back("read:" + std::string(key));
        return MemorySettings::Get(key, defaultValue);
    }
};

class ExportRunTest : public TempFolder {
  protected:
    // Host releases 5.0 and 6.0; 6.0 is preferred.
    void InstallHost() {
        Write("registry.reg",
              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\ORNWALD\\KAVRIN\\5.0\\ZEV]\r\n"
              "\"DataPath\"=\"C:\\\\K5\"\r\n\r\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\ORNWALD\\KAVRIN\\6.0\\ZEV]\r\n"
              "\"DataPath\"=\"C:\\\\K6\\\\Data\"\r\n");
    }
    std::optional<std::string> Locate(std::string_view filter, std::string_view pattern) {
        RegistryFile registry(Path("registry.reg"));
        return LocateFile(r_, registry, releases_, r_, filter, pattern);
    }

    Recorder r_;
    KavrinReleases releases_;
    PointTable points_;
    AngleUnitState angleUnit_;
    RegistryFile registry_{Path("registry.reg")};
    ExportContext context_{r_, r_, registry_, r_, r_, releases_, points_, angleUnit_};
};

TEST_F(ExportRunTest, FileExistsOnlyForFilesThatOpen) {
    Write("a file", "x");
    fs::create_directories(root_ / "folder");
    for (const char* name : {"missing", "folder", "a file/below"})
        EXPECT_FALSE(FileExists(Path(name))) << name;
    EXPECT_TRUE(FileExists(Path("a file")));
    if (::geteuid() == 0) return;  // root opens anything
    ASSERT_EQ(::chmod(Path("a file").c_str(), 0), 0);
    EXPECT_FALSE(FileExists(Path("a file")));
}

TEST_F(ExportRunTest, FindKorvuAsksOnlyWhenTheStoredProgramIsMissing) {
    Write("pkg/korvu", "");
    struct Case {
        std::string stored, answer, result, storedAfter;  // "-": no setting
    };
    const Case cases[] = {
        {Path("pkg/korvu"), "", Path("pkg/korvu"), Path("pkg/korvu")},  // no prompt, written back
        {"-", "/any/file.txt", "/any/file.txt", "/any/file.txt"},       // default path missing
        {Path("gone"), "/opt/korvu", "/opt/korvu", "/opt/korvu"},
        {"-", "", "", "-"},  // cancelled: setting untouched
        {Path("gone"), "", "", Path("gone")},
    };
    for (const Case& c : cases) {
        Recorder r;
        if (c.stored != "-") r.Set(kKeyPackagePath, c.stored);
        r.answers = {c.answer};
        EXPECT_EQ(FindKORVU(r, r), c.result) << c.stored;
        EXPECT_EQ(r.MemorySettings::Get(kKeyPackagePath, "-"), c.storedAfter) << c.stored;
        EXPECT_EQ(r.requests.size(), c.stored == Path("pkg/korvu") ? 0u : 1u);
        for (const FilePromptRequest& q : r.requests)
            EXPECT_EQ(Fields(q),
                      "C:\\Program Files\\\nOpzoeken van KORVU.EXE file\n*.EXE\n"
                      "KORVU.EXE (*.EXE)|*.exe|All Files (*.*)|*.*");
    }
}

TEST_F(ExportRunTest, LocateFileStartsInTheDataFolderOfThePreferredRelease) {
    releases_.names = {"6.0", "6.0"};  // left over from an earlier look
    EXPECT_EQ(Locate("x|*.x|", "*.x"), std::nullopt) << "no host";
    EXPECT_EQ(r_.log, Log{"message:Kavrin niet gevonden; afbreken"});
    EXPECT_TRUE(r_.icon == Icon::Critical && r_.title == "Talvik");

    InstallHost();
    r_.answers = {"C:\\K6\\Data\\job.idx", ""};
    EXPECT_EQ(Locate("Kavrin IDEX Files|*.idx|", "*.idx"), "C:\\K6\\Data\\job.idx");
    EXPECT_EQ(releases_.names, (std::vector<std::string>{"6.0", "5.0", "6.0"})) << "refreshed";
    EXPECT_EQ(Fields(r_.requests.at(0)),
              "C:\\K6\\Data\\\nOpzoeken van Kavrin IDEX Files|*.idx| File\n*.idx\n"
              "Kavrin IDEX Files|*.idx|All Files (*.*)|*.*");
    EXPECT_EQ(Locate("x|*.x|", "*.x"), "") << "cancelled is empty text, not a missing host";

    r_.answers = {"/d/My Job/net.idx"};
    std::string package, idex;
    EXPECT_TRUE(AskForIdexFile(context_, package, idex));
    EXPECT_EQ(package + "|" + idex, "/d/My Job/net.prj|/d/My Job/net.idx");
    EXPECT_FALSE(AskForIdexFile(context_, package, idex)) << "cancelled";
}

const char* const kFieldFile =
    "1 21 XY\r\n2 22 1.0\r\n3 23 0.0 0.0 0.0\r\n4 51 999\r\n5 53 M\r\n"
    "6 102 1001 1.552 1.300 1002 0.0000\r\n7 111 1002 0.0000 99.8765 247.3310 999\r\n";
const char* const kIdexFile =
    "HEADER\r\n  VERSION 1.20\r\n  SEPARATOR \",\"\r\n  TERMINATOR \";\"\r\nEND HEADER\r\n"
    "DATABASE\r\n  POINTS (PointNo,PointID,East,North,Elevation,Code,LayerNo)\r\n"
    "    1, \"1001\", 155000.000, 463000.000, 12.345, \"GR\", 0;\r\n"
    "  END POINTS\r\nEND DATABASE\r\n";

TEST_F(ExportRunTest, ExportCentralReadsConvertsThenLaunches) {
    Write("job dir/net.fld", kFieldFile);
    Write("job dir/net.idx", kIdexFile);
    Write("pkg dir/korvu", "");
    ExportOptions options;
    options.Projectfile = Path("job dir/net.prj");
    options.Fieldfile = Path("job dir/net.fld");
    options.IdexFile = Path("job dir/net.idx");
    const std::string box = "  " + options.Projectfile + " ";  // the untrimmed box text
    struct Case {
        bool kick;
        std::string stored, answer, program;  // program: what the launch names
    };
    const Case cases[] = {
        {false, Path("pkg dir/korvu"), "", ""},  // never looks for the package
        {false, "", "/x/korvu", ""},
        {true, Path("pkg dir/korvu"), "", Path("pkg dir/korvu")},
        {true, "", "/opt/korvu", "/opt/korvu"},
        {true, "", "", ""},  // cancelled search: the start is still tried
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored + c.answer);
        fs::remove(root_ / "job dir/net.PRJ");
        r_.log.clear();
        r_.Set(kKeyPackagePath, c.stored);
        r_.answers = {c.answer};
        EXPECT_EQ(ExportCentral(context_, options, box, c.kick), ConversionOutcome::Finished);
        EXPECT_NE(points_.FindFirst(FitName9("1001")), 0u) << "known points read";
        EXPECT_TRUE(fs::exists(root_ / "job dir/net.PRJ") && fs::exists(root_ / "job dir/net.OBS"));
        Log expected;
        if (c.kick) expected.push_back("read:Talvik3Path");
        if (c.kick && c.stored.empty()) expected.push_back("prompt:Opzoeken van KORVU.EXE file");
        if (c.kick) expected.push_back("start:" + c.program + " \"" + box + "\"");
        EXPECT_EQ(r_.log, expected);
    }
}

TEST_F(ExportRunTest, LaunchFollowsAConversionThatStoppedEarly) {
    r_.answers = {"/opt/korvu"};
    ExportOptions options;
    options.Projectfile = Path("job/net.prj");
    options.Fieldfile = Path("job/missing.fld");
    options.IdexFile = Path("job/missing.idx");
    EXPECT_EQ(ExportCentral(context_, options, options.Projectfile, true),
              ConversionOutcome::FieldFileMissing);
    ASSERT_EQ(r_.log.size(), 5u);
    EXPECT_NE(r_.log[0].find("missing.idx"), std::string::npos) << "the IDEX reader comes first";
    EXPECT_EQ(r_.log[1], "message:Kavrin FIELD file niet gevonden; Afgebroken.");
    EXPECT_EQ(r_.log[4], "start:/opt/korvu \"" + options.Projectfile + "\"");
}

TEST_F(ExportRunTest, StartExportStoresBeforeTheRunAndAgainAfterIt) {
    Write("job/net.fld", kFieldFile);
    Write("job/net.idx", kIdexFile);
    ExportDialogModel dialog(r_);
    dialog.Open(Path("job/net.prj"));
    dialog.optV3 = false;
    dialog.StepUp();
    dialog.txtSelCode[1] = "999";
    dialog.txtSelCode[3] = "on screen";
    EXPECT_EQ(StartExport(context_, dialog, Path("job/net.idx"), false),
              ConversionOutcome::Finished);
    EXPECT_TRUE(fs::exists(root_ / "job/net.TOB")) << "the dialog's choices reached the run";
    EXPECT_EQ(r_.Get("TalvikSel2", ""), "999||on screen|||||||||||||");
    EXPECT_EQ(r_.Get(kKeyCurrentSel, ""), "2");
    EXPECT_EQ(r_.SetCalls(), 12u) << "set 1 on stepping, then set, current and 3 settings twice";
}

}  // namespace
}  // namespace talvik
