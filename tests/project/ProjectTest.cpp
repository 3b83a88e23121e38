#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <random>

#include "project/Conversion.h"
#include "project/CoordinateFile.h"
#include "project/LiteralOrder.h"
#include "project/NumberFormat.h"
#include "project/ProjectTestSupport.h"
#include "project/ProjectValues.h"

namespace talvik::testing {
namespace {

std::string FormatValue(double value, std::string_view format) {
    std::string out;
    AppendValue(out, value, format);
    return out;
}
std::string FormatAngle(double value, std::string_view format, AngleUnit angleUnit) {
    std::string out;
    AppendAngle(out, value, format, angleUnit);
    return out;
}

TEST(NumberFormat, FourDecimalsFullCirclesAndDegreesMinutesSeconds) {
    constexpr int kDms = 0, kDeg = 1, kGon = 2;
    // clang-format off
    const std::tuple<double, int, const char*> cases[] = {
        {123.4567, kGon, "  123.4567"}, {0, kGon, "  0.0000"}, {399.99996, kGon, "    0.0000"},
        {400, kDeg, "    0.0000"}, {400.5, kGon, "    0.5000"}, {-400, kGon, "  -400.0000"},
        {1400.5, kGon, "  1400.5000"}, {123.453, kDms, "  123 45 30"}, {5.073, kDms, "  5 07 30"},
        {89.5959, kDms, "  89 59 59"}, {-12.3045, kDms, "  -12 30 45"}, {400, kDms, "    0 00 00"},
        {359.99999, kDms, "  360 00 00"},
    };
    // clang-format on
    // The writers' raw-buffer path must give the same texts as the string functions.
    char raw[kMaxNumberText + 8];
    const auto rawAngle = [&](double value, AngleUnit unit) {
        return std::string(raw, WriteAngle(raw, value, unit));
    };
    for (const auto& [value, unit, text] : cases) {
        EXPECT_EQ(FormatAngle(value, kNumberFormat, static_cast<AngleUnit>(unit)), text);
        EXPECT_EQ(rawAngle(value, static_cast<AngleUnit>(unit)), text);
    }
    EXPECT_EQ(FormatValue(155000, kKnownNumberFormat), "155000.0000*");
    EXPECT_EQ(FormatValue(1e308, kNumberFormat).size(), 314u);
    // Any value gives the general conversion's text (ties to even, no sign on zero): random bits
    // at every scale, exact ties (multiples of 1/32), the ends of the range.
    std::mt19937_64 rng(3);
    for (int i = 0; i < 60000; ++i) {
        double value = i % 3 == 0   ? std::ldexp(static_cast<double>(rng() >> 11),
                                                 static_cast<int>(rng() % 100) - 90)
                       : i % 3 == 1 ? static_cast<double>(rng() % 2000001) / 32
                                    : static_cast<double>(rng() % 9000000000000000000ull) / 1e4;
        if (rng() % 2 == 0) value = -value;
        char text[400];
        std::string expected(
            text, std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 4).ptr);
        if (expected == "-0.0000") expected = "0.0000";
        ASSERT_EQ(FormatValue(value, kNumberFormat), expected) << i;
        ASSERT_EQ(std::string(raw, WriteValue(raw, value)), expected) << i;
        const auto unit = static_cast<AngleUnit>(i % 3);
        ASSERT_EQ(rawAngle(value, unit), FormatAngle(value, kNumberFormat, unit)) << i;
    }
    EXPECT_EQ(FormatValue(5e-324, kNumberFormat), "0.0000");
    for (const double odd : {-std::nan(""), double{INFINITY}, 1e308, 9e14, -0.0}) {
        EXPECT_EQ(std::string(raw, WriteValue(raw, odd)), FormatValue(odd, kNumberFormat));
        EXPECT_EQ(rawAngle(odd, AngleUnit::DegreesMinutesSeconds),
                  FormatAngle(odd, kNumberFormat, AngleUnit::DegreesMinutesSeconds));
    }
    EXPECT_FALSE(FormatValue(-std::nan(""), kNumberFormat).empty());
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
            // Names that differ only in their ninth byte, a blank among them.
            if (rng() % 4 == 0) name = "ABCDEFGH" + std::string(1, " 1\x9A\xE9\xFF"[rng() % 5]);
            t.Append({FitName9(name), static_cast<double>(i), rng() % 1000 / 8.0, 0, rng() % 2 == 0,
                      rng() % 3 != 0});
        }
        // The literal sort, then each entry against its predecessor.
        std::vector<PointRecord> expected = t.Entries();
        LiteralExchangeSort(expected);
        for (std::size_t i = 2; i < expected.size(); ++i) {
            if (expected[i].Name != expected[i - 1].Name) continue;
            if (expected[i].HasCoordinates) std::swap(expected[i - 1], expected[i]);
            expected[i].IsUsed = false;
        }
        // The export's way: the first entries' names sorted ahead, the entries left in place.
        std::vector<NameKey> ahead = NameKeys(t, 1, rng() % (size + 1));
        SortNameKeys(ahead);
        std::vector<PointRecord> listed{t[0]};
        for (const std::uint32_t entry : OrderForCoordinateFile(t, ahead))
            listed.push_back(t[entry]);
        ASSERT_EQ(Points(listed), Points(expected)) << "round " << round;
        for (std::size_t i = 2; i < listed.size(); ++i)  // by unsigned bytes, whatever Name9 says
            ASSERT_LE(listed[i - 1].Name.View(), listed[i].Name.View()) << "round " << round;
    }
}

// One set-up on 2001, one on 1001 with an observation of 1002.
const std::string kExample = "51 GR|101 2001 0 0|101 1001 1.5 1.3|111 1002 123.4567 99.8765 45.678";

// A project folder with a field file, and the known points 1002, 9999 (never observed) and 1001.
struct Scratch {
    ScratchDir dir;
    ExportOptions options;
    PointTable points;
    AngleUnitState unit;
    RecordingUi ui;

    explicit Scratch(const std::string& fieldLines = kExample) {
        ExportOptions& o = options;
        o.Projectfile = dir / "net1.prj ", o.Fieldfile = dir / "survey.fld", o.RelDis = "2";
        o.AbsHor = o.AbsVer = "0.0005", o.RelHor = o.RelVer = "0.0010", o.AbsDis = "0.003";
        o.SDXY = "0.01", o.SDZ = "0.02", o.SigmaCent = "0.001", o.SigmaInst = "0.002";
        for (const PointRecord& p : {PointRecord{"1002     ", 155123.456, 463210.987, 11, true},
                                     PointRecord{"9999     ", 1, 2, 3, true},
                                     PointRecord{"1001     ", 155000, 463000, 12.345, true}})
            points.Append(p);
        if (!fieldLines.empty()) WriteBytes(options.Fieldfile, Lines(fieldLines));
    }
    void OldProject() {
        WriteBytes(dir / "net1.PRJ", "old project\r\n");
        WriteBytes(dir / "net1.OBS", std::string("old\0obs", 7));
        WriteBytes(dir / "net1.TCO", "old coordinates");
    }
    ConversionOutcome Convert() { return ConvertFieldFile(options, points, unit, ui); }
    std::string File(const std::string& name) const { return ReadBytes(dir / name); }
    std::string Body(const std::string& name) const {  // the observation lines of a file
        const std::string text = File(name);
        const std::size_t start = text.find("\r\n$\r\n", text.find("ANGLEUNIT")) + 5;
        return text.substr(start, text.size() - 3 - start);
    }
    std::map<std::string, std::string> Listing() const { return FolderBytes(dir.path()); }
};

const std::string kQuestion = "? KORVU Project bestaat reeds! Oude project verwijderen?";

// Version 3 has the golden files of the command-line and window tests; here an old project is
// replaced by version-1 files after OK (the old version-3 observation file stays).
TEST(Conversion, ExampleProjectByteForByte) {
    Scratch s;
    s.options.Version = 1;
    s.OldProject();
    ASSERT_EQ(s.Convert(), ConversionOutcome::Finished);
    EXPECT_EQ(s.ui.messages, std::vector<std::string>{kQuestion});
    const std::string head = "|$ NETWORK NAME|" + ToUpper(s.dir / "net1") + "|$|";
    const std::string prj = s.File("net1.PRJ");
    EXPECT_TRUE(prj.starts_with(CrLf("KORVU  V1.0    PRJ FILE" + head.substr(0, head.size() - 3))));
    EXPECT_NE(
        prj.find(CrLf("$ DEFAULT STANDARD DEVIATIONS|SigmaAbsR          0.0005|"
                      "SigmaRelR          0.0010|SigmaAbsS          0.003|SigmaRelS          2|"
                      "SigmaAbsZ          0.0005|SigmaRelZ          0.0010|SigmaLatLon        0.01|"
                      "SigmaHgt           0.02|SigmaCentr         0.001|SigmaInstr         0.002|"
                      "$ ADDITIONAL PARAMETERS")),
        std::string::npos)
        << prj;
    EXPECT_EQ(s.File("net1.TOB"),
              CrLf("KORVU  V1.0    TOB file" + head +
                   "ANGLEUNIT      GON|$|1001         1002         1.5000"
                   "    1.3000    R0    123.4567    S0  45.6780    Z0    99.8765|$"));
    EXPECT_EQ(s.File("net1.TCO"), CrLf("KORVU  V1.0    TCO file" + head +
                                       "PROJECTION     RD|$|"
                                       "  1001       155000.0000*  463000.0000*  12.3450*|"
                                       "  1002       155123.4560*  463210.9870*  11.0000*|"
                                       "  2001       0.0000  0.0000  0.0000|$"));
    EXPECT_EQ(s.File("net1.OBS"), std::string("old\0obs", 7));
    const auto& p = s.ui.progress;
    EXPECT_LT(std::find(p.begin(), p.end(), "Opslaan Waarnemingen: 1"),
              std::find(p.begin(), p.end(), "Opslaan Co\xF6rdinaten: 3"));
}

TEST(Conversion, ItemsAppearOnlyForValuesThatArePresent) {
    // The unit of the last unit record holds for every angle, also those read before it.
    Scratch s(
        "51 DM|101 A 0 0|112 B 0 12.5|111 B 0 0|111 B 0 100|103 A 0 0 B 50.25 10|"
        "101 ABCDEFGHI 0 0|111 B 1 0|51 DD");
    ExportOptions& o = s.options;  // blank sigma texts: no project line, three blanks in items
    o.AbsHor = o.RelHor = o.AbsDis = o.RelDis = o.AbsVer = o.RelVer = "";
    o.SDZ = o.SigmaCent = o.SigmaInst = "   ", o.SDXY = "  0.01";
    ASSERT_EQ(s.Convert(), ConversionOutcome::Finished);
    const std::string ab = "TS  A            B            0.0000    0.0000";
    EXPECT_EQ(s.Body("net1.OBS"),
              CrLf(ab + "    S0  12.5000     3D|" + ab + "  3D|" + ab +
                   "    R0    0.0000       Z0    100.0000     3D|" + ab +
                   "    R0    10.0000       A0    50.2500     3D|"
                   "TS  ABCDEFGHI    B            0.0000    0.0000    R0    1.0000     3D"));
    EXPECT_NE(s.File("net1.PRJ")
                  .find(CrLf("DEG|$ PRECISION AND TESTING PARAMETERS|"
                             "$ DEFAULT STANDARD DEVIATIONS|"
                             "SigmaLatLon          0.01|$ ADDITIONAL PARAMETERS")),
              std::string::npos);
}

TEST(Conversion, EachSetUpOfAStationOpensItsNextSeries) {
    // Before any set-up: series 0; a zenith below 0 in the file (of 1002) opens a series as a
    // set-up does and writes no line; a later observation takes the last set-up's label.
    Scratch s(
        "51 DD|101 9 0 0|111 T 1 0|102 1001 0 0 X 0|111 T 1 0|102 1002 0 0 X 0|111 T 1 0|"
        "102 1001 0 0 X 0|111 T 1 0|102 1001 0 0 X 0|111 T 1 0|101 1002 0 0|111 Q 0 -1|"
        "111 Q 0 -0.5|101 7 0 0|111 T 1 0|"
        "9*102 1001 0 0 X 0|111 T 1 0");
    s.options.Version = 1;
    ASSERT_EQ(s.Convert(), ConversionOutcome::Finished);
    std::string labels;
    const std::string body = s.Body("net1.TOB");
    for (std::size_t at = body.find("R"); at != std::string::npos; at = body.find("R", at + 1))
        labels += body.substr(at, body.find(' ', at) - at) + " ";
    EXPECT_EQ(labels, "R0 R0 R0 R1 R2 R2 R11 ");
}

// A project name too short for an extension, or no field file: nothing is touched.
TEST(Conversion, RefusedBeforeAnyFileIsTouched) {
    using Outcome = ConversionOutcome;
    const std::tuple<const char*, std::string, Outcome, const char*> cases[] = {
        {" a.p ", kExample, Outcome::ProjectPathTooShort,
         "Ongeldige naam voor het KORVU Project: a.p"},
        {"", "", Outcome::FieldFileMissing, "Kavrin FIELD file niet gevonden; Afgebroken."},
    };
    for (const auto& [project, field, outcome, message] : cases) {
        Scratch s(field);
        if (*project) s.options.Projectfile = project;
        s.OldProject();
        const auto before = s.Listing();
        EXPECT_EQ(s.Convert(), outcome);
        EXPECT_EQ(s.ui.messages, std::vector<std::string>{message});
        EXPECT_EQ(s.Listing(), before);
    }
}

// An old project stays byte for byte when any new file cannot be written; no temporary is left.
TEST(Conversion, AFailedFileKeepsTheOldProject) {
    // A folder in the place of a file, or a read-only file.
    for (const bool folder : {true, false}) {
        Scratch s;
        s.OldProject();
        if (folder && std::filesystem::remove(s.dir / "net1.OBS"))
            std::filesystem::create_directory(s.dir / "net1.OBS");
        if (!folder)
            std::filesystem::permissions(s.dir / "net1.TCO", std::filesystem::perms::owner_read);
        const auto before = s.Listing();
        ConversionSummary summary;
        EXPECT_EQ(ConvertFieldFile(s.options, s.points, s.unit, s.ui, &summary),
                  ConversionOutcome::WriteFailed);
        EXPECT_EQ(s.ui.messages.back(),
                  "! Fout bij het schrijven van: " +
                      s.dir / (folder ? "net1.OBS (er staat een map met die naam)"
                                      : "net1.TCO (alleen-lezen)"));
        EXPECT_EQ(s.Listing(), before) << folder;
        ASSERT_EQ(summary.files.size(), 3u);
        for (const WrittenFile& file : summary.files)
            EXPECT_FALSE(file.complete) << folder << " " << file.path;
    }
}

// A watcher hears each step once, in order; the tables are let go before the commit (the
// project file is not there yet).
TEST(Conversion, AWatcherHearsEachStepOnceAndTheTablesGoBeforeTheCommit) {
    struct Watcher final : ConversionWatcher {
        std::string projectFile;
        std::vector<std::string> heard;
        void FieldFileStarts(AngleUnit) override { heard.push_back("starts"); }
        void Put(const ObservationRecord&) override {}
        void FieldFileRead(const PointTable&, std::size_t, AngleUnit) override {
            heard.push_back("read");
        }
        void PointTableChanging() override { heard.push_back("changing"); }
        void TablesLetGo() override {
            heard.push_back(std::filesystem::exists(projectFile) ? "let go after the commit"
                                                                 : "let go");
        }
    };
    Scratch s;
    Watcher watcher;
    watcher.projectFile = s.dir / "net1.PRJ";
    EXPECT_EQ(ConvertFieldFile(s.options, s.points, s.unit, s.ui, nullptr, &watcher),
              ConversionOutcome::Finished);
    EXPECT_EQ(watcher.heard, (std::vector<std::string>{"starts", "read", "changing", "let go"}));
}

TEST(Conversion, SummaryCountsWhatWasWritten) {
    // Two set-ups on 1001, a face-2 reading; a round set of 2 rounds of 2 names with 3 readings.
    Scratch s(
        "51 GR|101 2001 0 0|102 1001 0 0 X 0|111 1002 123.4567 99.8765 45.678|"
        "102 1001 0 0 X 0|160 2 2|111 1002 1 100 3|111 3001 2 100 3|111 3001 202 300 3|161");
    ConversionSummary summary;
    ASSERT_EQ(ConvertFieldFile(s.options, s.points, s.unit, s.ui, &summary),
              ConversionOutcome::Finished);
    const std::string body = s.Body("net1.OBS");
    EXPECT_EQ(summary.observations, std::count(body.begin(), body.end(), '\n'));
    // Set-ups R0, R1 (the face-2 reading's own series) and R2; 2001, X and 3001 are new.
    EXPECT_EQ(std::tuple(summary.setUps, summary.knownPoints, summary.newPoints, summary.roundSets,
                         summary.mismatches),
              std::tuple(3, 3, 3, 1, 1));
}

TEST(ProjectValues, FourCharactersAreAlwaysCut) {
    ExportOptions o;
    o.Projectfile = " /dir/netwerk ", o.Version = 1;
    EXPECT_EQ(MakeProjectValues(o)->ObservationPath(), "/dir/net.TOB");
}

}  // namespace
}  // namespace talvik::testing
