#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <random>
#include <set>

#include "project/Conversion.h"
#include "project/CoordinateFile.h"
#include "project/LiteralOrder.h"
#include "project/NumberFormat.h"
#include "project/ObservationFile.h"
#include "project/ProjectFile.h"
#include "project/ProjectTestSupport.h"

namespace talvik::testing {
namespace {

TEST(NumberFormat, FourDecimalsFullCirclesAndDegreesMinutesSeconds) {
    constexpr int kValue = -1, kDms = 0, kDeg = 1, kGon = 2;  // kValue: FormatValue
    // clang-format off
    const std::tuple<double, int, const char*> cases[] = {
        {1234567.1, kValue, "1234567.1000"}, {0.99999, kValue, "1.0000"}, {-12.3045, kValue, "-12.3045"},
        // 0.00005 is stored just above the tie, 0.00015 just below; exact binary ties go to even.
        {0.00005, kValue, "0.0001"}, {0.00015, kValue, "0.0001"}, {0.03125, kValue, "0.0312"},
        {0.09375, kValue, "0.0938"}, {-0.03125, kValue, "-0.0312"},
        // Values that round to zero lose their sign.
        {-0.00004, kValue, "0.0000"}, {-0.0, kValue, "0.0000"}, {-0.00005, kValue, "-0.0001"},
        {5e-324, kValue, "0.0000"}, {123.4567, kGon, "  123.4567"}, {0, kGon, "  0.0000"},
        {399.99996, kGon, "    0.0000"}, {400, kDeg, "    0.0000"}, {400.5, kGon, "    0.5000"},
        {-400, kGon, "  -400.0000"}, {1400.5, kGon, "  1400.5000"}, {123.453, kDms, "  123 45 30"},
        {5.073, kDms, "  5 07 30"}, {89.5959, kDms, "  89 59 59"}, {-12.3045, kDms, "  -12 30 45"},
        {400, kDms, "    0 00 00"}, {359.99999, kDms, "  360 00 00"},
    };
    // clang-format on
    for (const auto& [value, unit, text] : cases)
        EXPECT_EQ(
            unit < 0 ? FormatValue(value, kNumberFormat) : FormatAngle(value, kNumberFormat, unit),
            text);
    EXPECT_EQ(FormatValue(155000, kKnownNumberFormat), "155000.0000*");
    EXPECT_EQ(FormatValue(1e308, kNumberFormat).size(), 314u);
    EXPECT_FALSE(FormatValue(-std::nan(""), kNumberFormat).empty() ||
                 FormatAngle(INFINITY, kNumberFormat, 0).empty());
}

PointRecord Entry(const std::string& name, double x, bool known = false) {
    return {FitName9(name), x, 0, 0, known, true};
}

TEST(PointOrder, UnsignedByteOrderThenLaterDuplicatesDropped) {
    const std::pair<std::vector<PointRecord>, const char*> cases[] = {
        {{Entry("P10", 0), Entry("p1", 1), Entry("\xE0", 2), Entry("P1", 3), Entry("\x80", 4),
          Entry("10", 5), Entry("Z", 6), Entry("\xA0", 7)},
         "10 5 0 0; P1 3 0 0; P10 0 0 0; Z 6 0 0; p1 1 0 0; \x80 4 0 0; \xA0 7 0 0; \xE0 2 0 0"},
        // Known coordinates win; each entry looks only at its predecessor.
        {{Entry("1001", 0), Entry("1001", 1, true)}, "1001 1 0 0*; 1001 0 0 0-"},
        {{Entry("1001", 0, true), Entry("1001", 1)}, "1001 0 0 0*; 1001 1 0 0-"},
        {{Entry("1001", 0, true), Entry("1001", 1, true)}, "1001 1 0 0*; 1001 0 0 0*-"},
        {{Entry("7", 0, true), Entry("7", 1), Entry("7", 2, true)}, "7 0 0 0*; 7 2 0 0*; 7 1 0 0-"},
    };
    for (const auto& [entries, expected] : cases) {
        PointTable t;
        for (const auto& p : entries)
            t.Append(p);
        SortPointsByName(t);
        RemoveDuplicateNames(t);
        EXPECT_EQ(Points(t.Entries()), expected);
    }
}

TEST(PointOrder, MatchesTheExchangeSortOnRandomTables) {
    std::mt19937 rng(20240611);
    for (int round = 0; round < 3000; ++round) {
        const std::size_t size = rng() % 61, alphabet = 1 + rng() % 6;
        PointTable t;
        for (std::size_t i = 0; i < size; ++i) {
            // Names from a small alphabet so that they repeat; some share a prefix.
            std::string name(1, static_cast<char>('A' + rng() % alphabet));
            if (rng() % 4 == 0) name += static_cast<char>('0' + rng() % 2);
            if (rng() % 16 == 0) name = "\x9A" + name;
            t.Append({FitName9(name), static_cast<double>(i), rng() % 1000 / 8.0, 0, rng() % 2 == 0,
                      rng() % 3 != 0});
        }
        std::vector<PointRecord> expected = t.Entries();
        LiteralExchangeSort(expected);
        SortPointsByName(t);
        ASSERT_EQ(Points(t.Entries()), Points(expected)) << "round " << round;
        for (std::size_t i = 1, first = 0; i <= t.Last(); ++i)  // the index follows the order
            ASSERT_TRUE((first = t.FindFirst(t[i].Name)) >= 1 && first <= i &&
                        t[first].Name == t[i].Name && t[first - 1].Name != t[i].Name);
    }
}

ExportOptions ExampleOptions(int version) {
    ExportOptions o;
    o.Version = version;
    o.Projectfile = "C:\\data\\net1.prj";
    o.AbsHor = o.AbsVer = "0.0005", o.RelHor = o.RelVer = "0.0010";
    o.AbsDis = "0.003", o.RelDis = "2", o.SDXY = "0.01", o.SDZ = "0.02";
    o.SigmaCent = "0.001", o.SigmaInst = "0.002";
    return o;
}

// The file one writer makes, from its header to its end.
std::string Written(const ExportOptions& options,
                    const std::function<bool(OutputFile&, const ProjectValues&)>& write) {
    ScratchDir dir;
    OutputFile file;
    EXPECT_TRUE(file.Open(dir / "f") && write(file, *MakeProjectValues(options)));
    return ReadBytes(dir / "f");
}

std::string ProjectFile(const ExportOptions& o, int angleUnit) {
    return Written(o, [&](OutputFile& f, const ProjectValues& v) {
        WriteProjectHeader(f, v.VersionHeader, v.ProjectBasePath);
        WriteProjectAngleUnit(f, angleUnit);
        return WriteProjectTail(f, o);
    });
}

TEST(ProjectFile, ExampleProjectByteForByte) {
    const std::string body = CrLf(
        "$ NETWORK NAME|C:\\DATA\\NET1|$ INCLUDED FILE TYPES|TERCOORD       YES|"
        "GPSCOORD       NO|TEROBSERV      YES|GPSOBSERV      NO|$ GEOMETRY PARAMETERS|"
        "DIMENSION      2|PROJECTION     RD|ELLIPSOID      BESSEL_1841|PROJSCALEFAC   0.99990790|"
        "FALSEEASTING   155000.000|FALSENORTHING  463000.000|$ ADJUSTMENT PARAMETERS|"
        "ADJDESIGN      ADJUST|PHASE          2|ANGLEUNIT      GON|"
        "$ PRECISION AND TESTING PARAMETERS|$ DEFAULT STANDARD DEVIATIONS|"
        "SigmaAbsR          0.0005|SigmaRelR          0.0010|SigmaAbsS          0.003|"
        "SigmaRelS          2|SigmaAbsZ          0.0005|SigmaRelZ          0.0010|"
        "SigmaLatLon        0.01|SigmaHgt           0.02|SigmaCentr         0.001|"
        "SigmaInstr         0.002|$ ADDITIONAL PARAMETERS|$ PRINT OUTPUT SWITCHES|$");
    EXPECT_EQ(ProjectFile(ExampleOptions(3), 2), "KORVU  V3.0.0  PRJ FILE\r\n" + body);
    EXPECT_EQ(ProjectFile(ExampleOptions(1), 2), "KORVU  V1.0    PRJ FILE\r\n" + body);
    // Blank sigma texts give no line; the others go out as entered.
    ExportOptions o = ExampleOptions(3);
    o.AbsHor = o.RelHor = o.RelDis = o.AbsVer = o.RelVer = "";
    o.SDXY = o.SDZ = o.SigmaCent = o.SigmaInst = "   ";
    o.AbsDis = "  0.003";
    EXPECT_NE(
        ProjectFile(o, 0).find(CrLf("DMS|$ PRECISION AND TESTING PARAMETERS|"
                                    "$ DEFAULT STANDARD DEVIATIONS|SigmaAbsS            0.003|"
                                    "$ ADDITIONAL PARAMETERS")),
        std::string::npos);
}

TEST(ProjectValues, FourCharactersAreAlwaysCut) {
    const std::tuple<const char*, int, const char*> cases[] = {
        {"  C:\\data\\net1.prj ", 3,
         "C:\\data\\net1.PRJ C:\\data\\net1.OBS C:\\data\\net1.TCO C:\\DATA\\NET1"},
        {"/dir/netwerk", 1, "/dir/net.PRJ /dir/net.TOB /dir/net.TCO /DIR/NET"},
        {"/m\xFC.prj", 3, "/m\xFC.PRJ /m\xFC.OBS /m\xFC.TCO /M\xDC"},
        {"  a.p  ", 3, "refused"},
    };
    for (const auto& [projectfile, version, paths] : cases) {
        ExportOptions o;
        o.Projectfile = projectfile, o.Version = version;
        const auto v = MakeProjectValues(o);
        EXPECT_EQ(v ? v->ProjectPath() + " " + v->ObservationPath() + " " + v->CoordinatePath() +
                          " " + v->NetworkName
                    : "refused",
                  paths);
    }
}

ObservationRecord Obs(const std::string& station, const std::string& target, double direction,
                      double zenith) {
    return {FitName9(station), FitName9(target), 0, 0, 0, direction, zenith, 0, 0};
}

// The observation lines of a file, or with `whole` the file.
std::string ObservationFile(const ObservationTable& table, const ExportOptions& o, int unit,
                            RecordingUi& ui, bool whole = false) {
    const std::string text = Written(o, [&](OutputFile& f, const ProjectValues& v) {
        WriteObservationHeader(f, v);
        WriteObservationAngleUnit(f, unit);
        return WriteObservationFile(f, table, v, unit, ui);
    });
    const std::size_t start = whole ? 0 : text.find("\r\n$\r\n", text.find("ANGLEUNIT")) + 5;
    return text.substr(start, text.size() - (whole ? 0 : 3) - start);
}

TEST(ObservationFile, WorkedExample) {
    ObservationRecord o = Obs("1001", "1002", 123.4567, 99.8765);
    o.InstrumentHeight = 1.5, o.TargetHeight = 1.3, o.Distance = 45.678;
    const ObservationTable table = {{}, Obs("1001", "", 0, -1), o};
    RecordingUi ui, quiet;
    EXPECT_EQ(ObservationFile(table, ExampleOptions(3), 2, ui, true),
              CrLf("KORVU  V3.0.0  OBS file|$ NETWORK NAME|C:\\DATA\\NET1|$|ANGLEUNIT      GON|$|"
                   "TS  1001         1002         1.5000    1.3000    R0    123.4567 0.0005 "
                   "0.0010     S0  45.6780 0.003 2     Z0    99.8765 0.0005 0.0010   3D|$"));
    EXPECT_EQ(ui.progress.back(), "Opslaan Waarnemingen: 1");
    EXPECT_EQ(ObservationFile(table, ExampleOptions(1), 2, ui, true),
              CrLf("KORVU  V1.0    TOB file|$ NETWORK NAME|C:\\DATA\\NET1|$|ANGLEUNIT      GON|$|"
                   "1001         1002         1.5000    1.3000    R0    123.4567    S0  45.6780"
                   "    Z0    99.8765|$"));
    EXPECT_EQ(ObservationFile({{}}, ExampleOptions(3), 0, quiet), "");
    EXPECT_TRUE(quiet.progress.empty());
}

TEST(ObservationFile, ItemsAppearOnlyForValuesThatArePresent) {
    ObservationTable table = {{},
                              Obs("A", "B", 0, 0),
                              Obs("A", "B", 0, 0),
                              Obs("A", "B", 0, 100),
                              Obs("A", "B", 10, 0),
                              Obs("ABCDEFGHI", "B", 1, 0)};
    table[1].Distance2 = 12.5, table[4].Azimuth = 50.25;
    ExportOptions v3 = ExampleOptions(3);  // empty sigma boxes: every sigma text is three blanks
    v3.AbsHor = v3.RelHor = v3.AbsDis = v3.RelDis = v3.AbsVer = v3.RelVer = "";
    const std::string ab = "TS  A            B            0.0000    0.0000";
    RecordingUi ui;
    EXPECT_EQ(ObservationFile(table, v3, 1, ui),
              CrLf(ab + "    S0  12.5000     3D|" + ab + "  3D|" + ab +
                   "    R0    0.0000       Z0    100.0000     3D|" + ab +
                   "    R0    10.0000       A0    50.2500     3D|"
                   "TS  ABCDEFGHI    B            0.0000    0.0000    R0    1.0000     3D"));
}

TEST(ObservationFile, EachSetUpOfAStationOpensItsNextSeries) {
    ObservationTable table = {{}, Obs("9", "T", 1, 0)};  // before any set-up: series 0
    for (const char* station : {"1001", "1002", "1001", "1001"}) {
        table.push_back(Obs(station, "", 0, -1));
        table.push_back(Obs(station, "T", 1, 0));
    }
    table.push_back(Obs("1002", "", 0, -5));  // any zenith below 0 marks a set-up
    table.push_back(Obs("7", "T", 1, 0));     // takes the label of the last set-up
    table.insert(table.end(), 9, Obs("1001", "", 0, -1));
    table.push_back(Obs("1001", "T", 1, 0));
    RecordingUi ui;
    std::string labels;
    const std::string body = ObservationFile(table, ExampleOptions(1), 1, ui);
    for (std::size_t at = body.find("R"); at != std::string::npos; at = body.find("R", at + 1))
        labels += body.substr(at, body.find(' ', at) - at) + " ";
    EXPECT_EQ(labels, "R0 R0 R0 R1 R2 R1 R11 ");
}

TEST(CoordinateFile, ExampleFile) {
    PointTable points;
    for (const PointRecord& p : {PointRecord{"2001     ", 0, 0, 0, false, true},
                                 PointRecord{"1002     ", 155123.456, 463210.987, 11, true, true},
                                 PointRecord{"9999     ", 1, 2, 3, true, false},
                                 PointRecord{"1001     ", 155000, 463000, 12.345, true, true}})
        points.Append(p);
    RecordingUi ui;
    EXPECT_EQ(Written(ExampleOptions(1),
                      [&](OutputFile& f, const ProjectValues& v) {
                          WriteCoordinateHeader(f, v);
                          return WriteCoordinateFile(f, points, ui);
                      }),
              CrLf("KORVU  V1.0    TCO file|$ NETWORK NAME|C:\\DATA\\NET1|$|PROJECTION     RD|$|"
                   "  1001       155000.0000*  463000.0000*  12.3450*|"
                   "  1002       155123.4560*  463210.9870*  11.0000*|"
                   "  2001       0.0000  0.0000  0.0000|$"));
    EXPECT_EQ(ui.progress.back(), "Opslaan Co\xF6rdinaten: 3");
}

struct Scratch {
    ScratchDir dir;
    ExportOptions options;
    PointTable points;
    AngleUnitState unit;
    RecordingUi ui;

    explicit Scratch(bool withFieldFile = true) {
        options = ExampleOptions(3);
        options.Projectfile = dir / "net.prj", options.Fieldfile = dir / "survey.fld";
        options.Face2to1 = true, options.SelCode = {"", "K1"};
        for (const char* name : {"P1       ", "Q9       "})  // known points; Q9 is never observed
            points.Append({name, 1000, 2000.5, 5, true, false});
        // The worked example of the gathering; its face-2 reading is reduced to face 1.
        if (withFieldFile)
            WriteBytes(options.Fieldfile,
                       CrLf("1 51 GR|2 101 ST1 1.50 1.30|3 102 ST1 1.50 1.30 P1 0|"
                            "4 111 P1 0 100 50 K1|5 111 P2 100 99.5 60 K1|6 105 1.60|"
                            "7 111 P1 200 300 50 K1"));
    }
    ConversionOutcome Convert() { return ConvertFieldFile(options, points, unit, ui); }
    std::string File(const std::string& name) const { return ReadBytes(dir / name); }
    std::set<std::string> Listing() const {  // every file of the folder with its bytes
        std::set<std::string> files;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            files.insert(entry.path().filename().string() + "=" + ReadBytes(entry.path()));
        return files;
    }
};

TEST(Conversion, WritesTheThreeFilesOfASurvey) {
    for (int version : {3, 1}) {
        Scratch s;
        s.options.Version = version;
        WriteBytes(s.dir / "net.OBS", "old");  // no .PRJ yet: no question
        ASSERT_EQ(s.Convert(), ConversionOutcome::Finished);
        EXPECT_TRUE(s.ui.messages.empty());
        const std::string network = ToUpper(s.dir / "net"), v = version == 3 ? "V3.0.0" : "V1.0  ";
        EXPECT_TRUE(s.File("net.PRJ").starts_with("KORVU  " + v +
                                                  "  PRJ FILE\r\n$ NETWORK NAME\r\n" + network));
        EXPECT_NE(s.File("net.PRJ").find("PHASE          2\r\nANGLEUNIT      GON\r\n"),
                  std::string::npos);
        EXPECT_EQ(
            s.File("net.TCO"),
            CrLf("KORVU  " + v + "  TCO file|$ NETWORK NAME|" + network +
                 "|$|PROJECTION     RD|$|  P1         1000.0000*  2000.5000*  5.0000*|"
                 "  P2         0.0000  0.0000  0.0000|  ST1        0.0000  0.0000  0.0000|$"));
        // Three observation lines, the last the reduced face-2 reading.
        const auto& p = s.ui.progress;
        EXPECT_LT(std::find(p.begin(), p.end(), "Opslaan Waarnemingen: 3"),
                  std::find(p.begin(), p.end(), "Opslaan Co\xF6rdinaten: 3"));
        const std::string last =
            version == 3 ? "TS  ST1          P1           1.5000    1.6000    R0    0.0000 0.0005 "
                           "0.0010     S0  50.0000 0.003 2     Z0    100.0000 0.0005 0.0010   3D"
                         : "ST1          P1           1.5000    1.6000    R0    0.0000    S0  "
                           "50.0000    Z0    100.0000";
        EXPECT_TRUE(s.File(version == 3 ? "net.OBS" : "net.TOB").ends_with(CrLf(last + "|$")));
        EXPECT_EQ(s.File("net.OBS") == "old", version == 1);
    }
}

TEST(Conversion, StopsBeforeTouchingAnyFile) {
    const std::tuple<bool, const char*, ConversionOutcome, std::string> cases[] = {
        {true, nullptr, ConversionOutcome::ProjectKept,  // nullptr: the scratch project
         "? KORVU Project bestaat reeds! Oude project verwijderen?"},
        {false, nullptr, ConversionOutcome::FieldFileMissing,
         "Kavrin FIELD file niet gevonden; Afgebroken."},
        {true, " a.p ", ConversionOutcome::ProjectPathTooShort,
         "Ongeldige naam voor het KORVU Project: a.p"},
        {false, "   ", ConversionOutcome::ProjectPathTooShort,
         "Ongeldige naam voor het KORVU Project: "}};
    for (const auto& [fieldFile, projectfile, outcome, message] : cases) {
        Scratch s(fieldFile);
        s.ui.answer = Answer::Cancel;
        if (projectfile) s.options.Projectfile = projectfile;
        WriteBytes(s.dir / "net.PRJ", "old project\r\n");
        WriteBytes(s.dir / "net.OBS", std::string("old\0obs", 7));
        WriteBytes(s.dir / "net.TCO", "old coordinates");
        const auto before = s.Listing();
        EXPECT_EQ(s.Convert(), outcome) << message;
        EXPECT_EQ(s.ui.messages, std::vector<std::string>{message});
        EXPECT_TRUE(s.Listing() == before && s.points.Last() == 2) << message;
    }
}

TEST(Conversion, OkRewritesAndFailedFilesAreNamedAtTheEnd) {
    Scratch s;
    WriteBytes(s.dir / "net.PRJ", "old");
    WriteBytes(s.dir / "net.TCO", std::string(100000, 'x'));
    std::filesystem::create_directory(s.dir / "net.OBS");  // cannot be created as a file
    ASSERT_EQ(s.Convert(), ConversionOutcome::Finished);
    EXPECT_EQ(s.ui.messages,
              std::vector<std::string>({"? KORVU Project bestaat reeds! Oude project verwijderen?",
                                        "! Fout bij het schrijven van: " + s.dir / "net.OBS"}));
    // The other files are written to their end.
    EXPECT_TRUE(
        s.File("net.PRJ").ends_with(CrLf("$ ADDITIONAL PARAMETERS|$ PRINT OUTPUT SWITCHES|$")));
    EXPECT_TRUE(s.File("net.TCO").ends_with(CrLf("  ST1        0.0000  0.0000  0.0000|$")));
}

}  // namespace
}  // namespace talvik::testing
