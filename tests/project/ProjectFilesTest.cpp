#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "project/CoordinateFile.h"
#include "project/ObservationFile.h"
#include "project/ProjectFile.h"
#include "project/ProjectTestSupport.h"
#include "text/Text.h"

namespace talvik {
namespace {

using testing::CrLf;
using testing::ReadBytes;
using testing::RecordingUi;
using testing::ScratchDir;

ExportOptions ExampleOptions(int version) {
    ExportOptions o;
    o.Version = version;
    o.Projectfile = "C:\\data\\net1.prj";
    o.AbsHor = o.AbsVer = "0.0005";
    o.RelHor = o.RelVer = "0.0010";
    o.AbsDis = "0.003";
    o.RelDis = "2";
    o.SDXY = "0.01";
    o.SDZ = "0.02";
    o.SigmaCent = "0.001";
    o.SigmaInst = "0.002";
    return o;
}

// Writes one file through `write` and returns its bytes.
template <typename Write>
std::string Written(Write&& write) {
    ScratchDir dir;
    OutputFile file;
    EXPECT_TRUE(file.Open(dir / "f"));
    EXPECT_TRUE(write(file));
    return ReadBytes(dir / "f");
}

std::string ProjectFile(const ExportOptions& o, int angleUnit) {
    return Written([&](OutputFile& f) {
        const auto v = MakeProjectValues(o);
        WriteProjectHeader(f, v->VersionHeader, v->ProjectBasePath);
        WriteProjectAngleUnit(f, angleUnit);
        return WriteProjectTail(f, o);
    });
}

TEST(ProjectFile, ExampleProjectByteForByte) {
    const std::vector<std::string> body = {"$ NETWORK NAME",
                                           "C:\\DATA\\NET1",
                                           "$ INCLUDED FILE TYPES",
                                           "TERCOORD       YES",
                                           "GPSCOORD       NO",
                                           "TEROBSERV      YES",
                                           "GPSOBSERV      NO",
                                           "$ GEOMETRY PARAMETERS",
                                           "DIMENSION      2",
                                           "PROJECTION     RD",
                                           "ELLIPSOID      BESSEL_1841",
                                           "PROJSCALEFAC   0.99990790",
                                           "FALSEEASTING   155000.000",
                                           "FALSENORTHING  463000.000",
                                           "$ ADJUSTMENT PARAMETERS",
                                           "ADJDESIGN      ADJUST",
                                           "PHASE          2",
                                           "ANGLEUNIT      GON",
                                           "$ PRECISION AND TESTING PARAMETERS",
                                           "$ DEFAULT STANDARD DEVIATIONS",
                                           "SigmaAbsR          0.0005",
                                           "SigmaRelR          0.0010",
                                           "SigmaAbsS          0.003",
                                           "SigmaRelS          2",
                                           "SigmaAbsZ          0.0005",
                                           "SigmaRelZ          0.0010",
                                           "SigmaLatLon        0.01",
                                           "SigmaHgt           0.02",
                                           "SigmaCentr         0.001",
                                           "SigmaInstr         0.002",
                                           "$ ADDITIONAL PARAMETERS",
                                           "$ PRINT OUTPUT SWITCHES",
                                           "$"};
    EXPECT_EQ(ProjectFile(ExampleOptions(3), 2), "KORVU  V3.0.0  PRJ FILE\r\n" + CrLf(body));
    EXPECT_EQ(ProjectFile(ExampleOptions(1), 2), "KORVU  V1.0    PRJ FILE\r\n" + CrLf(body));
}

TEST(ProjectFile, BlankSigmaTextsGiveNoLineOthersGoOutAsEntered) {
    ExportOptions o = ExampleOptions(3);
    o.AbsHor = o.RelHor = o.RelDis = o.AbsVer = o.RelVer = "";
    o.SDXY = o.SDZ = o.SigmaCent = o.SigmaInst = "   ";
    o.AbsDis = "  0.003";
    EXPECT_NE(ProjectFile(o, 0).find("DMS\r\n$ PRECISION AND TESTING PARAMETERS\r\n$ DEFAULT "
                                     "STANDARD DEVIATIONS\r\nSigmaAbsS            0.003\r\n$ ADD"),
              std::string::npos);
    o.AbsDis = "";
    EXPECT_NE(ProjectFile(o, 1).find("DEG\r\n$ PRECISION AND TESTING PARAMETERS\r\n$ DEFAULT "
                                     "STANDARD DEVIATIONS\r\n$ ADDITIONAL PARAMETERS\r\n"),
              std::string::npos);
}

TEST(ProjectValues, FourCharactersAreAlwaysCut) {
    struct Case {
        std::string projectfile, stem, observationFile, network;  // empty stem: refused
        int version;
    };
    const std::vector<Case> cases = {
        {"  C:\\data\\net1.prj  ", "C:\\data\\net1", "C:\\data\\net1.OBS", "C:\\DATA\\NET1", 3},
        {"C:\\data\\netwerk", "C:\\data\\net", "C:\\data\\net.TOB", "C:\\DATA\\NET", 1},
        {"/m\xFC.prj", "/m\xFC", "/m\xFC.OBS", "/M\xDC", 3},
        {"  a.p  ", "", "", "", 3},
        {"", "", "", "", 3},
    };
    for (const auto& c : cases) {
        ExportOptions o;
        o.Projectfile = c.projectfile;
        o.Version = c.version;
        const auto v = MakeProjectValues(o);
        ASSERT_EQ(v.has_value(), !c.stem.empty()) << c.projectfile;
        if (!v) continue;
        EXPECT_EQ(v->ProjectPath() + v->ObservationPath() + v->CoordinatePath() + v->NetworkName,
                  c.stem + ".PRJ" + c.observationFile + c.stem + ".TCO" + c.network);
    }
}

ObservationRecord Obs(const std::string& station, const std::string& target, double direction,
                      double zenith, double distance = 0) {
    ObservationRecord r;
    r.Station = FitName9(station);
    r.Target = FitName9(target);
    r.Direction = direction;
    r.Zenith = zenith;
    r.Distance = distance;
    return r;
}

ObservationRecord StationRecord(const std::string& station) {
    return Obs(station, "", 0, -1);
}

// The whole observation file, or with `bodyOnly` its observation lines alone.
std::string ObservationFile(const ObservationTable& table, const ExportOptions& o, int unit,
                            RecordingUi& ui, bool bodyOnly = false) {
    const auto v = MakeProjectValues(o);
    std::string text = Written([&](OutputFile& f) {
        WriteObservationHeader(f, *v);
        WriteObservationAngleUnit(f, unit);
        return WriteObservationFile(f, table, *v, unit, ui);
    });
    if (!bodyOnly) return text;
    const std::size_t start = text.find("\r\n$\r\n", text.find("ANGLEUNIT")) + 5;
    return text.substr(start, text.size() - 3 - start);
}

TEST(ObservationFile, WorkedExample) {
    ObservationRecord o = Obs("1001", "1002", 123.4567, 99.8765, 45.678);
    o.InstrumentHeight = 1.5;
    o.TargetHeight = 1.3;
    const ObservationTable table = {{}, StationRecord("1001"), o};
    RecordingUi ui;
    EXPECT_EQ(ObservationFile(table, ExampleOptions(3), 2, ui),
              CrLf({"KORVU  V3.0.0  OBS file", "$ NETWORK NAME", "C:\\DATA\\NET1", "$",
                    "ANGLEUNIT      GON", "$",
                    "TS  1001         1002         1.5000    1.3000    R0    123.4567 0.0005 "
                    "0.0010     S0  45.6780 0.003 2     Z0    99.8765 0.0005 0.0010   3D",
                    "$"}));
    EXPECT_EQ(ui.progress.back(), "Opslaan Waarnemingen: 1");
    EXPECT_EQ(ObservationFile(table, ExampleOptions(1), 2, ui),
              CrLf({"KORVU  V1.0    TOB file", "$ NETWORK NAME", "C:\\DATA\\NET1", "$",
                    "ANGLEUNIT      GON", "$",
                    "1001         1002         1.5000    1.3000    R0    123.4567    S0  45.6780"
                    "    Z0    99.8765",
                    "$"}));
    RecordingUi quiet;
    EXPECT_EQ(ObservationFile({{}}, ExampleOptions(3), 0, quiet, true), "");
    EXPECT_TRUE(quiet.progress.empty());
}

TEST(ObservationFile, ItemsAppearOnlyForValuesThatArePresent) {
    ObservationRecord onlyDistance2 = Obs("A", "B", 0, 0), azimuth = Obs("A", "B", 10, 0);
    onlyDistance2.Distance2 = 12.5;
    azimuth.Azimuth = 50.25;
    const ObservationTable table = {{},
                                    onlyDistance2,
                                    Obs("A", "B", 0, 0),
                                    Obs("A", "B", 0, 100),
                                    azimuth,
                                    Obs("ABCDEFGHI", "B", 1, 0)};
    const std::string ab = "A            B            0.0000    0.0000";
    RecordingUi ui;
    EXPECT_EQ(ObservationFile(table, ExampleOptions(1), 1, ui, true),
              CrLf({ab + "    S0  12.5000", ab, ab + "    R0    0.0000    Z0    100.0000",
                    ab + "    R0    10.0000    A0    50.2500",
                    "ABCDEFGHI    B            0.0000    0.0000    R0    1.0000"}));
    // Version 3 with empty sigma boxes: every sigma text is three blanks.
    ExportOptions v3 = ExampleOptions(3);
    v3.AbsHor = v3.RelHor = v3.AbsDis = v3.RelDis = v3.AbsVer = v3.RelVer = "";
    EXPECT_EQ(ObservationFile(table, v3, 1, ui, true),
              CrLf({"TS  " + ab + "    S0  12.5000     3D", "TS  " + ab + "  3D",
                    "TS  " + ab + "    R0    0.0000       Z0    100.0000     3D",
                    "TS  " + ab + "    R0    10.0000       A0    50.2500     3D",
                    "TS  ABCDEFGHI    B            0.0000    0.0000    R0    1.0000     3D"}));
}

TEST(ObservationFile, EachSetUpOfAStationOpensItsNextSeries) {
    ObservationTable table = {{}, Obs("9", "T", 1, 0)};  // before any set-up: series 0
    for (const char* station : {"1001", "1002", "1001", "1001"}) {
        table.push_back(StationRecord(station));
        table.push_back(Obs(station, "T", 1, 0));
    }
    table.push_back(StationRecord("1002"));
    table.back().Zenith = -5;              // any zenith below 0 marks a set-up
    table.push_back(Obs("7", "T", 1, 0));  // takes the label of the last set-up
    table.insert(table.end(), 9, StationRecord("1001"));
    table.push_back(Obs("1001", "T", 1, 0));
    RecordingUi ui;
    std::string labels;
    const std::string body = ObservationFile(table, ExampleOptions(1), 1, ui, true);
    for (std::size_t at = body.find("R"); at != std::string::npos; at = body.find("R", at + 1))
        labels += body.substr(at, body.find(' ', at) - at) + " ";
    EXPECT_EQ(labels, "R0 R0 R0 R1 R2 R1 R11 ");
}

TEST(CoordinateFile, ExampleFile) {
    PointTable points;
    for (const auto& [name, x, y, z, known, used] :
         std::vector<std::tuple<std::string, double, double, double, bool, bool>>{
             {"2001", 0, 0, 0, false, true},
             {"1002", 155123.456, 463210.987, 11, true, true},
             {"9999", 1, 2, 3, true, false},
             {"1001", 155000, 463000, 12.345, true, true}}) {
        PointRecord p;
        p.Name = FitName9(name);
        p.X = x, p.Y = y, p.Z = z, p.HasCoordinates = known, p.IsUsed = used;
        points.Append(p);
    }
    RecordingUi ui;
    EXPECT_EQ(Written([&](OutputFile& f) {
                  WriteCoordinateHeader(f, *MakeProjectValues(ExampleOptions(1)));
                  return WriteCoordinateFile(f, points, ui);
              }),
              CrLf({"KORVU  V1.0    TCO file", "$ NETWORK NAME", "C:\\DATA\\NET1", "$",
                    "PROJECTION     RD", "$", "  1001       155000.0000*  463000.0000*  12.3450*",
                    "  1002       155123.4560*  463210.9870*  11.0000*",
                    "  2001       0.0000  0.0000  0.0000", "$"}));
    EXPECT_EQ(ui.progress.back(), "Opslaan Co\xF6rdinaten: 3");
    EXPECT_EQ(points.FindFirst(FitName9("9999")), 4u);  // the name index follows the new order
}

}  // namespace
}  // namespace talvik
