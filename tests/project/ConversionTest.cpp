#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "project/Conversion.h"
#include "project/ProjectTestSupport.h"
#include "text/Text.h"

namespace talvik {
namespace {

using testing::CrLf;
using testing::ReadBytes;
using testing::WriteBytes;

// One set-up on ST1 with a reference direction, two face-1 readings, a new target height and
// a face-2 reading of the first target (reduced to face 1).
const std::string kFieldFile =
    CrLf({"1 51 GR", "2 101 ST1 1.50 1.30", "3 102 ST1 1.50 1.30 P1 0", "4 111 P1 0 100 50 K1",
          "5 111 P2 100 99.5 60 K1", "6 105 1.60", "7 111 P1 200 300 50 K1"});

struct Scratch {
    testing::ScratchDir dir;
    ExportOptions options;
    PointTable points;
    AngleUnitState unit;
    testing::RecordingUi ui;

    explicit Scratch(bool withFieldFile = true) {
        options.Projectfile = dir / "net.prj";
        options.Fieldfile = dir / "survey.fld";
        options.Face2to1 = true;
        options.SelCode = {"", "K1"};
        options.AbsHor = "a1", options.RelHor = "r1", options.AbsDis = "a2";
        options.RelDis = "r2", options.AbsVer = "a3", options.RelVer = "r3";
        for (const char* name : {"P1", "Q9"}) {  // known points; Q9 is never observed
            PointRecord p;
            p.Name = FitName9(name);
            p.X = 1000, p.Y = 2000.5, p.Z = 5, p.HasCoordinates = true;
            points.Append(p);
        }
        if (withFieldFile) WriteBytes(options.Fieldfile, kFieldFile);
    }
    ConversionOutcome Convert() { return ConvertFieldFile(options, points, unit, ui); }
    std::string File(const std::string& name) const { return ReadBytes(dir / name); }
    // Every file of the folder with its bytes, in name order.
    std::string Listing() const {
        std::vector<std::string> files;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            files.push_back(entry.path().filename().string() + "=" +
                            ReadBytes(entry.path().string()) + ";");
        std::sort(files.begin(), files.end());
        std::string all;
        for (const auto& f : files)
            all += f;
        return all;
    }
};

TEST(Conversion, WritesTheThreeFilesOfASurvey) {
    Scratch s;
    ASSERT_EQ(s.Convert(), ConversionOutcome::Finished);
    EXPECT_TRUE(s.ui.messages.empty());
    const std::string network = ToUpper(s.dir / "net");
    EXPECT_NE(s.File("net.PRJ").find("\r\n" + network + "\r\n"), std::string::npos);
    EXPECT_NE(s.File("net.PRJ").find("PHASE          2\r\nANGLEUNIT      GON\r\n$ PRECISION"),
              std::string::npos);
    const std::string items = "     S0  50.0000 a2 r2     Z0    100.0000 a3 r3   3D";
    EXPECT_EQ(
        s.File("net.OBS"),
        CrLf({"KORVU  V3.0.0  OBS file", "$ NETWORK NAME", network, "$", "ANGLEUNIT      GON", "$",
              "TS  ST1          P1           1.5000    1.3000    R0    0.0000 a1 r1" + items,
              "TS  ST1          P2           1.5000    1.3000    R0    100.0000 a1 r1     "
              "S0  60.0000 a2 r2     Z0    99.5000 a3 r3   3D",
              "TS  ST1          P1           1.5000    1.6000    R0    0.0000 a1 r1" + items,
              "$"}));
    EXPECT_EQ(
        s.File("net.TCO"),
        CrLf({"KORVU  V3.0.0  TCO file", "$ NETWORK NAME", network, "$", "PROJECTION     RD", "$",
              "  P1         1000.0000*  2000.5000*  5.0000*", "  P2         0.0000  0.0000  0.0000",
              "  ST1        0.0000  0.0000  0.0000", "$"}));
    const auto& p = s.ui.progress;
    const auto obs = std::find(p.begin(), p.end(), "Opslaan Waarnemingen: 3");
    EXPECT_LT(obs, std::find(p.begin(), p.end(), "Opslaan Co\xF6rdinaten: 3"));
}

TEST(Conversion, Version1WritesTobAndLeavesAnOldObsAlone) {
    Scratch s;
    s.options.Version = 1;
    WriteBytes(s.dir / "net.OBS", "old");
    WriteBytes(s.dir / "net.TOB", "old");  // no .PRJ yet: overwritten without a question
    ASSERT_EQ(s.Convert(), ConversionOutcome::Finished);
    EXPECT_TRUE(s.ui.messages.empty());
    EXPECT_EQ(s.File("net.OBS"), "old");
    EXPECT_NE(s.File("net.TOB").find("$\r\nST1          P1           1.5000    1.3000    R0    "
                                     "0.0000    S0  50.0000    Z0    100.0000\r\n"),
              std::string::npos);
    EXPECT_EQ(s.File("net.PRJ").substr(0, 25), "KORVU  V1.0    PRJ FILE\r\n");
}

TEST(Conversion, StopsBeforeTouchingAnyFile) {
    const std::string question = "KORVU Project bestaat reeds! Oude project verwijderen?";
    struct Case {
        bool fieldFile;
        const char* projectfile;  // nullptr: the scratch project
        ConversionOutcome outcome;
        std::string message;
    };
    const std::vector<Case> cases = {
        {true, nullptr, ConversionOutcome::ProjectKept, question},
        {false, nullptr, ConversionOutcome::FieldFileMissing,
         "Kavrin FIELD file niet gevonden; Afgebroken."},
        {true, " a.p ", ConversionOutcome::ProjectPathTooShort,
         "Ongeldige naam voor het KORVU Project: a.p"},
        {false, "   ", ConversionOutcome::ProjectPathTooShort,
         "Ongeldige naam voor het KORVU Project: "},
    };
    for (const auto& c : cases) {
        Scratch s(c.fieldFile);
        s.ui.answer = Answer::Cancel;
        if (c.projectfile) s.options.Projectfile = c.projectfile;
        WriteBytes(s.dir / "net.PRJ", "old project\r\n");
        WriteBytes(s.dir / "net.OBS", std::string("old\0obs", 7));
        WriteBytes(s.dir / "net.TCO", "old coordinates");
        const std::string before = s.Listing();
        EXPECT_EQ(s.Convert(), c.outcome) << c.message;
        ASSERT_EQ(s.ui.messages.size(), 1u) << c.message;
        const auto& shown = s.ui.messages[0];
        EXPECT_EQ(shown.text, c.message);
        EXPECT_EQ(shown.buttons, c.message == question ? Buttons::OkCancel : Buttons::Ok);
        EXPECT_EQ(shown.icon, Icon::None);
        EXPECT_EQ(shown.title, "Talvik");
        EXPECT_EQ(s.Listing(), before) << c.message;
        EXPECT_EQ(s.points.Last(), 2u);
    }
}

TEST(Conversion, OkRewritesAndFailedFilesAreNamedAtTheEnd) {
    Scratch s;
    WriteBytes(s.dir / "net.PRJ", "old");
    WriteBytes(s.dir / "net.TCO", std::string(100000, 'x'));
    std::filesystem::create_directory(s.dir / "net.OBS");  // cannot be created as a file
    ASSERT_EQ(s.Convert(), ConversionOutcome::Finished);
    ASSERT_EQ(s.ui.messages.size(), 2u);
    EXPECT_EQ(s.ui.messages[0].buttons, Buttons::OkCancel);
    EXPECT_EQ(s.ui.messages[1].text, "Fout bij het schrijven van: " + s.dir / "net.OBS");
    // The other files are written to their end.
    const std::string prj = s.File("net.PRJ"), tco = s.File("net.TCO");
    EXPECT_EQ(prj.substr(0, 23) + prj.substr(prj.size() - 3), "KORVU  V3.0.0  PRJ FILE$\r\n");
    EXPECT_EQ(tco.substr(tco.size() - 40), "  ST1        0.0000  0.0000  0.0000\r\n$\r\n");
}

}  // namespace
}  // namespace talvik
