#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fieldfile/Tables.h"
#include "project/CoordinateFile.h"
#include "project/ObservationFile.h"
#include "project/OutputFile.h"
#include "project/ProjectFile.h"
#include "project/ProjectTestSupport.h"
#include "project/ProjectValues.h"
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
    o.AbsHor = "0.0005";
    o.RelHor = "0.0010";
    o.AbsDis = "0.003";
    o.RelDis = "2";
    o.AbsVer = "0.0005";
    o.RelVer = "0.0010";
    o.SDXY = "0.01";
    o.SDZ = "0.02";
    o.SigmaCent = "0.001";
    o.SigmaInst = "0.002";
    return o;
}

const std::vector<std::string> kProjectHead = {
    "$ NETWORK NAME",
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
};

std::string WriteProject(const ExportOptions& options, int angleUnit) {
    ScratchDir dir;
    const auto values = MakeProjectValues(options);
    EXPECT_TRUE(values.has_value());
    OutputFile file;
    EXPECT_TRUE(file.Open(dir / "p.PRJ"));
    WriteProjectHeader(file, values->VersionHeader, values->ProjectBasePath);
    WriteProjectAngleUnit(file, angleUnit);
    EXPECT_TRUE(WriteProjectTail(file, options));
    return ReadBytes(dir / "p.PRJ");
}

TEST(ProjectFile, ExampleProjectByteForByte) {
    for (int version : {3, 1}) {
        std::vector<std::string> lines = {version == 3 ? "KORVU  V3.0.0  PRJ FILE"
                                                       : "KORVU  V1.0    PRJ FILE"};
        lines.insert(lines.end(), kProjectHead.begin(), kProjectHead.end());
        const std::vector<std::string> tail = {
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
            "$",
        };
        lines.insert(lines.end(), tail.begin(), tail.end());
        EXPECT_EQ(WriteProject(ExampleOptions(version), 2), CrLf(lines)) << "version " << version;
    }
}

TEST(ProjectFile, SigmaLinesFollowTheTextsAsEntered) {
    ExportOptions o = ExampleOptions(3);
    o.AbsHor = o.RelHor = o.RelDis = o.AbsVer = o.RelVer = "";
    o.SDXY = o.SDZ = o.SigmaCent = o.SigmaInst = "   ";
    o.AbsDis = "  0.003";
    std::string text = WriteProject(o, 0);
    EXPECT_NE(text.find("ANGLEUNIT      DMS\r\n"), std::string::npos);
    EXPECT_NE(text.find("$ DEFAULT STANDARD DEVIATIONS\r\nSigmaAbsS            0.003\r\n"
                        "$ ADDITIONAL PARAMETERS\r\n"),
              std::string::npos);

    o.AbsDis = "";
    text = WriteProject(o, 1);
    EXPECT_NE(text.find("ANGLEUNIT      DEG\r\n"), std::string::npos);
    EXPECT_NE(text.find("$ DEFAULT STANDARD DEVIATIONS\r\n$ ADDITIONAL PARAMETERS\r\n"),
              std::string::npos);
}

TEST(ProjectValues, StemVersionAndNetworkName) {
    struct Case {
        std::string projectfile;
        int version;
        std::string stem, observationPath, network;
    };
    const std::vector<Case> cases = {
        {"  C:\\data\\net1.prj  ", 3, "C:\\data\\net1", "C:\\data\\net1.OBS", "C:\\DATA\\NET1"},
        {"C:\\data\\netwerk", 3, "C:\\data\\net", "C:\\data\\net.OBS", "C:\\DATA\\NET"},
        {"/tmp/m\xFC"
         "ller.prj",
         1, "/tmp/m\xFCller", "/tmp/m\xFCller.TOB", "/TMP/M\xDCLLER"},
        {"a.pr", 3, "", ".OBS", ""},
    };
    for (const auto& c : cases) {
        ExportOptions o;
        o.Projectfile = c.projectfile;
        o.Version = c.version;
        const auto v = MakeProjectValues(o);
        ASSERT_TRUE(v.has_value()) << c.projectfile;
        EXPECT_EQ(v->ProjectBasePath, c.stem);
        EXPECT_EQ(v->ProjectPath(), c.stem + ".PRJ");
        EXPECT_EQ(v->ObservationPath(), c.observationPath);
        EXPECT_EQ(v->CoordinatePath(), c.stem + ".TCO");
        EXPECT_EQ(v->NetworkName, c.network);
        EXPECT_EQ(v->VersionHeader.size(), 15u);
        EXPECT_EQ(v->DimensionSuffix, c.version == 1 ? "" : "  3D");
    }
    for (const char* tooShort : {"", "   ", "a.p", "  abc  "}) {
        ExportOptions o;
        o.Projectfile = tooShort;
        EXPECT_FALSE(MakeProjectValues(o).has_value()) << '"' << tooShort << '"';
    }
}

ObservationRecord Station(std::string name) {
    ObservationRecord r;
    r.Station = FitName9(name);
    r.Zenith = -1;
    return r;
}

ObservationRecord Obs(std::string station, std::string target, double direction, double zenith,
                      double distance = 0) {
    ObservationRecord r;
    r.Station = FitName9(station);
    r.Target = FitName9(target);
    r.Direction = direction;
    r.Zenith = zenith;
    r.Distance = distance;
    return r;
}

// Writes header, angle-unit block and body as the conversion does.
std::string WriteObservations(const ObservationTable& table, const ExportOptions& options,
                              int angleUnit, RecordingUi* ui = nullptr) {
    ScratchDir dir;
    RecordingUi local;
    const auto values = MakeProjectValues(options);
    OutputFile file;
    EXPECT_TRUE(file.Open(dir / "o.OBS"));
    WriteObservationHeader(file, *values);
    WriteObservationAngleUnit(file, angleUnit);
    EXPECT_TRUE(WriteObservationFile(file, table, *values, angleUnit, ui ? *ui : local));
    return ReadBytes(dir / "o.OBS");
}

TEST(ObservationFile, WorkedExample) {
    ObservationRecord o = Obs("1001", "1002", 123.4567, 99.8765, 45.678);
    o.InstrumentHeight = 1.5;
    o.TargetHeight = 1.3;
    const ObservationTable table = {{}, Station("1001"), o};
    RecordingUi ui;
    EXPECT_EQ(WriteObservations(table, ExampleOptions(3), 2, &ui),
              CrLf({"KORVU  V3.0.0  OBS file", "$ NETWORK NAME", "C:\\DATA\\NET1", "$",
                    "ANGLEUNIT      GON", "$",
                    "TS  1001         1002         1.5000    1.3000    R0    123.4567 0.0005 "
                    "0.0010     S0  45.6780 0.003 2     Z0    99.8765 0.0005 0.0010   3D",
                    "$"}));
    ASSERT_FALSE(ui.progress.empty());
    EXPECT_EQ(ui.progress.back(), "Opslaan Waarnemingen: 1");

    EXPECT_EQ(WriteObservations(table, ExampleOptions(1), 2),
              CrLf({"KORVU  V1.0    TOB file", "$ NETWORK NAME", "C:\\DATA\\NET1", "$",
                    "ANGLEUNIT      GON", "$",
                    "1001         1002         1.5000    1.3000    R0    123.4567    S0  45.6780"
                    "    Z0    99.8765",
                    "$"}));
}

// The body lines only (between the angle-unit block and the closing "$").
std::vector<std::string> BodyLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return std::vector<std::string>(lines.begin() + 6, lines.end() - 1);
}

TEST(ObservationFile, ItemsPresentOrAbsent) {
    ObservationRecord only2 = Obs("A", "B", 0, 0);
    only2.Distance2 = 12.5;
    ObservationRecord azimuth = Obs("A", "C", 10, 0);
    azimuth.Azimuth = 50.25;
    ExportOptions v3 = ExampleOptions(3);
    v3.AbsHor = v3.RelHor = v3.AbsDis = v3.RelDis = v3.AbsVer = v3.RelVer = "";
    const ObservationTable table = {
        {}, only2, Obs("A", "B", 0, 0), Obs("A", "B", 0, 100), azimuth, Obs("ABCDEFGHI", "B", 1, 0),
    };
    const std::string a = "A        ", b = "B        ";
    EXPECT_EQ(BodyLines(WriteObservations(table, ExampleOptions(1), 1)),
              (std::vector<std::string>{
                  a + "    " + b + "    0.0000    0.0000    S0  12.5000",
                  a + "    " + b + "    0.0000    0.0000",
                  a + "    " + b + "    0.0000    0.0000    R0    0.0000    Z0    100.0000",
                  a + "    C            0.0000    0.0000    R0    10.0000    A0    50.2500",
                  "ABCDEFGHI    " + b + "    0.0000    0.0000    R0    1.0000",
              }));
    EXPECT_EQ(BodyLines(WriteObservations(table, v3, 1)),
              (std::vector<std::string>{
                  "TS  " + a + "    " + b + "    0.0000    0.0000    S0  12.5000     3D",
                  "TS  " + a + "    " + b + "    0.0000    0.0000  3D",
                  "TS  " + a + "    " + b +
                      "    0.0000    0.0000    R0    0.0000       Z0    100.0000     3D",
                  "TS  " + a +
                      "    C            0.0000    0.0000    R0    10.0000       A0    "
                      "50.2500     3D",
                  "TS  ABCDEFGHI    " + b + "    0.0000    0.0000    R0    1.0000     3D",
              }));
}

TEST(ObservationFile, SeriesLabelsCountSetUpsPerStation) {
    ObservationTable table = {{}, Obs("9", "X", 1, 0)};  // before any set-up: R0
    for (const char* station : {"1001", "1002", "1001", "1001"}) {
        table.push_back(Station(station));
        table.push_back(Obs(station, "T", 1, 0));
    }
    // A station record with a low zenith other than -1 still opens a set-up.
    ObservationRecord odd = Station("1002");
    odd.Zenith = -5;
    table.push_back(odd);
    table.push_back(Obs("7", "T", 1, 0));  // keeps the label of the last set-up
    for (int i = 0; i < 9; ++i)
        table.push_back(Station("1001"));
    table.push_back(Obs("1001", "T", 1, 0));

    // Version 1 lines: the label follows the two heights at column 43.
    std::vector<std::string> labels;
    for (const auto& line : BodyLines(WriteObservations(table, ExampleOptions(1), 1)))
        labels.push_back(line.substr(42, line.find("  1.0000", 42) - 42));
    EXPECT_EQ(labels, (std::vector<std::string>{"    R0  ", "    R0  ", "    R0  ", "    R1  ",
                                                "    R2  ", "    R1  ", "    R11  "}));
}

TEST(ObservationFile, EmptyTableWritesHeaderAndBlocksOnly) {
    RecordingUi ui;
    EXPECT_EQ(WriteObservations({{}}, ExampleOptions(3), 0, &ui),
              CrLf({"KORVU  V3.0.0  OBS file", "$ NETWORK NAME", "C:\\DATA\\NET1", "$",
                    "ANGLEUNIT      DMS", "$", "$"}));
    EXPECT_TRUE(ui.progress.empty());
}

PointRecord Point(std::string name, double x, double y, double z, bool known, bool used = true) {
    PointRecord p;
    p.Name = FitName9(name);
    p.X = x;
    p.Y = y;
    p.Z = z;
    p.HasCoordinates = known;
    p.IsUsed = used;
    return p;
}

TEST(CoordinateFile, ExampleFile) {
    for (int version : {3, 1}) {
        PointTable points;
        points.Append(Point("2001", 0, 0, 0, false));
        points.Append(Point("1002", 155123.456, 463210.987, 11, true));
        points.Append(Point("9999", 1, 2, 3, true, false));  // not used: not written
        points.Append(Point("1001", 155000, 463000, 12.345, true));
        ScratchDir dir;
        RecordingUi ui;
        const auto values = MakeProjectValues(ExampleOptions(version));
        OutputFile file;
        ASSERT_TRUE(file.Open(dir / "c.TCO"));
        WriteCoordinateHeader(file, *values);
        EXPECT_TRUE(WriteCoordinateFile(file, points, ui));
        EXPECT_EQ(ReadBytes(dir / "c.TCO"),
                  CrLf({version == 3 ? "KORVU  V3.0.0  TCO file" : "KORVU  V1.0    TCO file",
                        "$ NETWORK NAME", "C:\\DATA\\NET1", "$", "PROJECTION     RD", "$",
                        "  1001       155000.0000*  463000.0000*  12.3450*",
                        "  1002       155123.4560*  463210.9870*  11.0000*",
                        "  2001       0.0000  0.0000  0.0000", "$"}));
        ASSERT_FALSE(ui.progress.empty());
        EXPECT_EQ(ui.progress.back(), "Opslaan Co\xF6rdinaten: 3");
        // The table stays sorted and its name index follows the new order.
        EXPECT_EQ(points.FindFirst(FitName9("1001")), 1u);
        EXPECT_EQ(points.FindFirst(FitName9("9999")), 4u);
    }
}

TEST(OutputFile, ReportsFilesThatCannotBeWritten) {
    ScratchDir dir;
    OutputFile file;
    EXPECT_FALSE(file.Open(dir / "missing-folder/x.PRJ"));
    file.Line("text");
    EXPECT_FALSE(file.Close());
    EXPECT_TRUE(file.Failed());
#ifdef __linux__
    // A full device fails when the buffered text reaches it.
    OutputFile full;
    if (full.Open("/dev/full")) {
        for (int i = 0; i < 100000; ++i)
            full.Line("0123456789012345678901234567890123456789");
        EXPECT_FALSE(full.Close());
    }
#endif
}

}  // namespace
}  // namespace talvik
