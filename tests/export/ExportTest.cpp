#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "export/ExportDialogModel.h"
#include "export/ExportRun.h"
#include "platform/RegistryFile.h"
#include "project/Conversion.h"
#include "support/MemorySettings.h"
#include "support/RecordingUi.h"
#include "support/StdDevTexts.h"
#include "support/TempFolder.h"

namespace talvik {
namespace {

using testing::RecordingUi;
using testing::StdDevs;
using Texts = std::vector<std::string>;

// What the dialogs' scenarios cannot show: opening stores nothing, a disabled box takes no edit,
// coupling again copies the source.
TEST(ExportDialogModelTest, FirstRunDefaultsCouplingAndClose) {
    MemorySettings settings;
    ExportDialogModel m(settings);
    m.Open("C:\\Job\\net.prj");
    EXPECT_EQ(settings.SetCalls(), 0u) << "opening stores nothing";
    m.SetAbsHor("0.1"), m.SetRelHor("0.2"), m.SetSdXY("0.3");
    m.SetAbsVer("typed"), m.SetSdZ("typed");
    EXPECT_EQ(StdDevs(m), "0.1|0.2|0.1|0.2|0.002|2|0.3|0.3|0.003|0.005|11");
    m.SetCoupleHorVer(false), m.SetCoupleXyZ(false), m.SetAbsHor("9"), m.SetSdXY("8");
    m.SetRelVer("own"), m.SetCoupleHorVer(true), m.SetCoupleXyZ(true);
    m.Close();
    EXPECT_EQ(settings.Get(kKeyStdDev, ""), "9|0.2|9|0.2|0.002|2|8|8|1|1|0.003|0.005");
}

TEST(ExportDialogModelTest, StoredStandardDeviationsLoadInOrder) {
    const std::pair<const char*, std::string> cases[] = {
        {"1|2|3|4|5|6|7|8|1|1|9|10", "1|2|1|2|5|6|7|7|9|10|11"},
        {" 1 |2|3|4|5|6|7|8| 0 |0| 9|10|11", "1|2|3|4|5|6|7|8|9|10|00"},
        {"1|2|3", "1|2|3||||||||00"},
        {"a|b|c|d|e|f|g|h|1.0|0.4|i|j", "a|b|a|b|e|f|g|h|i|j|10"},
    };
    for (const auto& [stored, shown] : cases) {
        MemorySettings settings;
        settings.Set(kKeyStdDev, stored);
        ExportDialogModel m(settings);
        m.LoadSettings();
        EXPECT_EQ(StdDevs(m), shown) << stored;
    }
}

TEST(ExportDialogModelTest, SteppingStoresTheSetLeftAndLoadsTheNext) {
    MemorySettings settings;
    settings.Set("TalvikSel2", " 10 | 20||\t4\t");
    settings.Set("TalvikSel3", "1|2|3|4|5|6|7|8|9|10|11|12|13|14|15|16|17");
    ExportDialogModel m(settings);
    m.Open("a.prj"), m.selectionCodes[1] = "edited";
    ASSERT_TRUE(m.StepUp());
    EXPECT_EQ(Texts(&m.selectionCodes[1], &m.selectionCodes[6]),
              (Texts{"10", "20", "", "\t4\t", ""}));
    EXPECT_EQ(settings.Get("TalvikSel1", "") + settings.Get(kKeyCurrentSel, ""),
              "edited|||||||||||||||1")
        << "the set left, marked as current";
    ASSERT_TRUE(m.StepUp());
    EXPECT_EQ(m.selectionCodes[16], "16") << "codes beyond 16 are dropped";
    ASSERT_TRUE(m.StepDown() && m.StepDown());
    const auto before = settings.SetCalls();
    EXPECT_FALSE(m.StepDown());
    EXPECT_EQ(settings.SetCalls(), before) << "nothing stored at the end of the range";
    while (m.StepUp()) {
    }
    EXPECT_EQ(m.SelectionSetNumber(), 9);
    EXPECT_FALSE(settings.Has("TalvikSel10"));
}

TEST(ExportDialogModelTest, StoredCurrentSetMustBeAWholeNumberOneToNine) {
    for (const auto& [stored, set] :
         {std::pair{"4", "4"}, {" 9 ", "9"}, {"0", "1"}, {"10", "1"}, {"2.5", "1"}, {"3x", "1"}}) {
        MemorySettings settings;
        settings.Set(kKeyCurrentSel, stored);
        settings.Set("TalvikSel" + std::string(set), "mine");
        ExportDialogModel m(settings);
        m.Open("a.prj"), m.Close();
        EXPECT_EQ(m.selectionCodes[1] + settings.Get(kKeyCurrentSel, ""),
                  "mine" + std::string(set));
    }
}

// Messages, file prompts and starts go into one log, in order.
struct Recorder : RecordingUi, FilePrompt, ProcessLauncher, MemorySettings {
    std::string answer;  // of the next file prompt; empty text cancels
    std::string PickFile(const FilePromptRequest& q) override {
        messages.push_back("prompt:" + q.startFolder + "\n" + q.title + "\n" + q.initialName +
                           "\n" + q.filter);
        return std::exchange(answer, "");
    }
    bool Start(std::string_view commandLine) override {
        messages.push_back("start:" + std::string(commandLine));
        return false;
    }
};

class ExportRunTest : public ::testing::Test, public testing::TempFolder {
  protected:
    Recorder r_;
    KavrinReleases releases_;
    RegistryFile registry_{Path("registry.reg")};
    JobContext context_{r_, r_, registry_, r_, r_, releases_};
};

TEST_F(ExportRunTest, LocateFileStartsInTheDataFolderOfThePreferredRelease) {
    const auto find = [this] { return LocateFile(context_, "Kavrin IDEX Files|*.idx|", "*.idx"); };
    EXPECT_EQ(find(), std::nullopt) << "no host";
    const std::string host = "[HKEY_CURRENT_USER\\SOFTWARE\\ORNWALD\\KAVRIN\\";  // 6.0 is preferred
    Write("registry.reg",
          testing::RegFile({host + "5.0\\ZEV]", "\"DataPath\"=\"C:\\\\K5\"", host + "6.0\\ZEV]",
                            "\"DataPath\"=\"C:\\\\K6\\\\Data\""}));
    r_.answer = "/d/My Job/net.idx";
    std::string package, idex;  // asked for when the host passed no paths
    EXPECT_TRUE(AskForIdexFile(context_, package, idex));
    EXPECT_EQ(package + "|" + idex, "/d/My Job/net.prj|/d/My Job/net.idx");
    EXPECT_EQ(find(), "") << "cancelled is empty text, not a missing host";
    const std::string prompt =
        "prompt:C:\\K6\\Data\\\nOpzoeken van Kavrin IDEX Files|*.idx| File\n*.idx\n"
        "Kavrin IDEX Files|*.idx|All Files (*.*)|*.*";
    EXPECT_EQ(r_.messages, (Texts{"! Kavrin niet gevonden; afbreken", prompt, prompt}));
}

// The package program: the stored one when it exists, otherwise the user's pick (stored).
TEST_F(ExportRunTest, ExportJobConvertsThenLaunchesOnTheUntrimmedProjectText) {
    Write("job dir/net.fld", "1 21 XY\r\n");
    Write("pkg dir/korvu", "");
    const std::string box = "  " + Path("job dir/net.prj") + " ";
    const std::string search =
        "prompt:C:\\Program Files\\\nOpzoeken van KORVU.EXE file\n*.EXE\n"
        "KORVU.EXE (*.EXE)|*.exe|All Files (*.*)|*.*";
    const std::string start = " \"" + box + "\"";
    const std::string pkg = Path("pkg dir/korvu"), none = Path("none.idx");
    const std::string noIdex = "Kavrin IDEX file niet gevonden: " + none;
    using L = LaunchOutcome;
    // An IDEX file is looked for only when one is given; the conversion goes on without it.
    // clang-format off
    using Idex = std::optional<std::string>;
    const std::tuple<Launch, std::string, std::string, Texts, L, Idex> cases[] = {
        {Launch::No, "", "", {noIdex}, L::NotAsked, Idex(none)},  // never looks for the package
        {Launch::Always, pkg, "", {"start:" + pkg + start}, L::StartFailed, {}},
        {Launch::Always, "", "/opt/k", {search, "start:/opt/k" + start}, L::StartFailed, {}},
        {Launch::Always, "", "", {search, "start:" + start}, L::NoProgram, {}},  // still tried
        {Launch::WhenFound, "", "", {search}, L::NoProgram, {}},
    };
    // clang-format on
    for (const auto& [launch, stored, answer, log, launched, idex] : cases) {
        std::filesystem::remove(Path("job dir/net.PRJ"));
        r_.messages.clear(), r_.Set(kKeyPackagePath, stored), r_.answer = answer;
        ExportOptions options;
        options.Projectfile = Path("job dir/net.prj"), options.Fieldfile = Path("job dir/net.fld");
        options.IdexFile = idex;
        const ExportJobResult result = RunExportJob(context_, options, {launch, box});
        EXPECT_EQ(result.conversion, ConversionOutcome::Finished);
        EXPECT_EQ(result.launch, launched);
        EXPECT_TRUE(std::filesystem::exists(Path("job dir/net.PRJ")));
        EXPECT_EQ(r_.messages, log) << stored;
        EXPECT_EQ(r_.Get(kKeyPackagePath, ""), answer.empty() ? stored : answer);
    }
}

}  // namespace
}  // namespace talvik
