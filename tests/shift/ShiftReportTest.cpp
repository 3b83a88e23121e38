// The import's shift report: an export of the example network, a coordinate file made from its
// coordinate file with shifts planted, and the report the import gives over the old drawing.

#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <filesystem>
#include <map>

#include "interchange/CoordinateImport.h"
#include "interchange/IdexReader.h"
#include "project/ProjectTestSupport.h"
#include "shift/ShiftReport.h"
#include "shift/ShiftTable.h"
#include "support/ReadBytes.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"
#include "text/LineReader.h"
#include "text/Text.h"
#include "text/WordSplit.h"

namespace talvik {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::RecordingUi;
using testing::WriteBytes;

const fs::path kExamples = fs::path(TALVIK_SOURCE_DIR) / "examples";
const std::string kCorHead =
    "KORVU  V3.0.0  COR file\r\n$\r\nNET1\r\n$\r\nPROJECTION     RD\r\n$\r\n";

// A point as the coordinate file gives it: name, east, north, height, each text as written.
using CorPoint = std::array<std::string, 4>;

std::string Fixed4(double value) {
    char buffer[40];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 4).ptr;
    return std::string(buffer, end);
}

std::string CorFile(const std::vector<CorPoint>& points) {
    std::string text = kCorHead;
    for (const CorPoint& p : points)
        text += "  " + p[0] + "   " + p[1] + "   " + p[2] + "   " + p[3] + "   0.0000\r\n";
    return text + "$\r\nEinde van de vereffening\r\n";
}

// The coordinate file's lines of the export of the example network.
std::vector<CorPoint> ExportExample(testing::TempFolder& dir) {
    const std::string field = dir.Write("net1.fld", ReadBytes(kExamples / "net1.fld"));
    const std::string idex = dir.Write("net1.idx", ReadBytes(kExamples / "net1.idx"));
    ExportOptions options;
    options.Projectfile = dir.Path("net1.prj");
    options.Fieldfile = field;
    options.SelCode = {"", "K"};
    RecordingUi ui;
    PointTable points;
    EXPECT_TRUE(ReadIdexFile(idex, points, ui));
    AngleUnitState unit;
    EXPECT_EQ(ConvertFieldFile(options, points, unit, ui), ConversionOutcome::Finished);
    std::vector<CorPoint> out;
    LineReader reader;
    reader.OpenText(ReadBytes(dir.Path("net1.TCO")));
    std::string line;
    std::vector<std::string> words;
    for (int header = 0; header < 6; ++header)
        reader.Next(line);
    while (reader.Next(line)) {
        SplitWords(line, words);
        if (words.size() == 4) out.push_back({words[0], words[1], words[2], words[3]});
    }
    return out;
}

// Runs the import of `cor` onto `target` with the report listening; the old file is the
// target's (or `against`).
ShiftReport Import(const std::string& cor, const std::string& target, double tolerance,
                   const std::string& against = {}) {
    RecordingUi ui;
    ShiftReport report;
    report.ReadBase(against.empty() ? target : against, !against.empty(), ui);
    EXPECT_EQ(ConvertCoordinateFile("PUNTEN", "GR", cor, target, ui, nullptr, &report),
              ImportOutcome::Written);
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front();
    report.Compare(tolerance);
    return report;
}

std::string Render(const ShiftRow& row) {
    if (row.kind != ShiftKind::Compared) return ShiftStatus(row);
    return MetresText(row.dx) + ' ' + MetresText(row.dy) + ' ' +
           (row.hasHeight ? MetresText(row.dh) : "-") + ' ' + MetresText(row.horizontal) + ' ' +
           ShiftStatus(row);
}

TEST(ShiftReport, FindsEveryPlantedShiftAndLeavesTheIdexBytes) {
    testing::TempFolder dir;
    std::vector<CorPoint> before = ExportExample(dir);
    ASSERT_EQ(before.size(), 11u);
    // The points the export did not know get the positions of an earlier adjustment; the
    // drawing is what the import made of them.
    const std::map<std::string, CorPoint> earlier = {
        {"2001", {"2001", "155087.1234", "463112.5678", "11.2345"}},
        {"2002", {"2002", "155171.0042", "463020.3317", "10.9871"}},
        {"2003", {"2003", "155102.7780", "463004.1195", "9.8750"}}};
    for (CorPoint& p : before) {
        if (earlier.count(p[0])) p = earlier.at(p[0]);
    }
    const std::string drawing = dir.Path("back.idx");
    Import(dir.Write("before.cor", CorFile(before)), drawing, 0.05);

    // Planted: shift in east, north, height (m), and the row the report must give. Known
    // points keep the export's "*" marks.
    const std::map<std::string, std::array<double, 3>> plants = {
        {"1002", {0.0006, 0, 0}},    {"1003", {0, -0.0005, 0}}, {"2001", {0.03, 0.04, 0}},
        {"2002", {0.03, 0.0401, 0}}, {"2003", {0, 0, 0.0501}},  {"3001", {0, 0, -0.0012}},
        {"3002", {-0.07, 0, 0}}};
    std::vector<CorPoint> after;
    for (const CorPoint& p : before) {
        if (p[0] == "1004") continue;  // dropped
        CorPoint q = p;
        if (plants.count(p[0])) {
            for (int c = 0; c < 3; ++c) {
                const bool mark = p[c + 1].back() == '*';
                const double value = NumericValue(p[c + 1]) + plants.at(p[0])[c];
                q[c + 1] = Fixed4(value) + (mark ? "*" : "");
            }
        }
        after.push_back(q);
    }
    after.push_back({"4001", "155300.0000", "463300.0000", "10.0000"});
    after.push_back({"4002", "155310.0000**", "463310.0000", "10.5000"});  // one mark goes
    const std::string cor = dir.Write("after.cor", CorFile(after));

    const ShiftReport report = Import(cor, drawing, 0.05);
    const std::pair<const char*, const char*> expected[] = {
        {"1001", "0.0000 0.0000 0.0000 0.0000 ok"},
        {"1002", "0.0006 0.0000 0.0000 0.0006 vast punt verschoven"},
        {"1003", "0.0000 -0.0005 0.0000 0.0005 ok"},
        {"2001", "0.0300 0.0400 0.0000 0.0500 ok"},
        {"2002", "0.0300 0.0401 0.0000 0.0501 verschoven"},
        {"2003", "0.0000 0.0000 0.0501 0.0000 verschoven"},
        {"3001", "0.0000 0.0000 -0.0012 0.0000 vast punt verschoven"},
        {"3002", "-0.0700 0.0000 0.0000 0.0700 verschoven/vast punt verschoven"},
        {"PM17", "0.0000 0.0000 0.0000 0.0000 ok"},
        {"TOREN", "0.0000 0.0000 0.0000 0.0000 ok"},
        {"4001", "nieuw"},
        {"4002", "nieuw"},
        {"1004", "ontbreekt"},
    };
    ASSERT_EQ(report.Rows().size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(report.Rows()[i].name, expected[i].first);
        EXPECT_EQ(Render(report.Rows()[i]), expected[i].second) << expected[i].first;
    }
    std::string ranked;
    for (const std::size_t i : report.Ranked())
        ranked += report.Rows()[i].name + ' ';
    EXPECT_EQ(ranked, "3002 2002 1002 2003 3001 2001 1003 1001 PM17 TOREN 4001 4002 1004 ");
    EXPECT_EQ(report.Counts().flagged, 5u);

    // The IDEX file is the one the import writes without a report.
    RecordingUi ui;
    ASSERT_EQ(ConvertCoordinateFile("PUNTEN", "GR", cor, dir.Path("plain.idx"), ui),
              ImportOutcome::Written);
    EXPECT_EQ(ReadBytes(drawing), ReadBytes(dir.Path("plain.idx")));

    // Against the IDEX file the export read: all its points were known, the others (also the
    // field file's own known points) are new.
    const ShiftReport against = Import(cor, dir.Path("again.idx"), 0.05, dir.Path("net1.idx"));
    std::string statuses;
    for (const ShiftRow& row : against.Rows())
        statuses += row.name + '=' + ShiftStatus(row) + ' ';
    EXPECT_EQ(statuses,
              "1001=ok 1002=vast punt verschoven 1003=ok 2001=nieuw 2002=nieuw 2003=nieuw "
              "3001=nieuw 3002=nieuw PM17=ok TOREN=nieuw 4001=nieuw 4002=nieuw 1004=ontbreekt "
              "6=ontbreekt ");
}

// Names are compared as the import writes them: upper case, blanks around them gone, whole.
TEST(ShiftReport, MatchesNamesAsTheImportWritesThem) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"p1", "P1", "ok"},
        {"\"  p1 \"", "p1", "ok"},
        {"\"P\xe9\"", "p\xe9", "ok"},
        {"abcdefghijkl", "ABCDEFGHIJKL", "ok"},  // not cut to nine
        {"ABCDEFGHI", "ABCDEFGHIJKL", "nieuw ontbreekt"},
        {"\"P 1\"", "P1", "nieuw ontbreekt"},
        {"P1\t", "P1", "nieuw ontbreekt"},  // a tab is no blank
        {"", "1", "ok"},                    // no identifier: the point number
    };
    for (const auto& [id, word, expected] : cases) {
        testing::TempFolder dir;
        const std::string target =
            dir.Write("old.idx", std::string("HEADER\r\nEND HEADER\r\nDATABASE\r\n") +
                                     "  POINTS (PointNo, PointID, East, North, Elevation)\r\n" +
                                     "1, " + id + ", 10.0, 20.0, 30.0;\r\nEND POINTS\r\n");
        const std::string cor =
            dir.Write("new.cor", kCorHead + word + " 10.0 20.0 30.0 0\r\n$\r\n");
        const ShiftReport report = Import(cor, target, 0.05);
        std::string got;
        for (const ShiftRow& row : report.Rows())
            got += (got.empty() ? "" : " ") + ShiftStatus(row);
        EXPECT_EQ(got, expected) << id;
    }
}

TEST(ShiftReport, FlagsDuplicateNamesAndReadsTheCsvBack) {
    testing::TempFolder dir;
    const std::string target =
        dir.Write("old.idx",
                  "HEADER\r\nEND HEADER\r\nDATABASE\r\n"
                  "POINTS (PointNo,PointID,East,North,Elevation)\r\n"
                  "1,P1,10,20,30;\r\n2,P2,10,20,30;\r\n3,\"A\"\"B\",1,2,3;\r\n"
                  "4,P2,0,0,0;\r\n");  // the first of a name counts
    const std::string cor =
        dir.Write("new.cor", kCorHead +
                                 "P1 10.1 20 30 0\r\np2 10 20 30 0\r\np1 10 20 30.0001 0\r\n"
                                 "A,\"B 1 2 3 0\r\nN1 5,5 6 7 0\r\n$\r\n");
    const ShiftReport report = Import(cor, target, 0.05);
    const std::string csv = dir.Path("shift.csv");
    std::string problem;
    ASSERT_TRUE(WriteShiftCsv(report, csv, problem)) << problem;

    // The file read back as CSV (quoted fields, doubled quotes) gives the rows.
    std::vector<std::vector<std::string>> table(1);
    const std::string text = ReadBytes(csv);
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                field += text[++i];
            else if (c == '"')
                quoted = false;
            else
                field += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',' || c == '\r') {
            table.back().push_back(field);
            field.clear();
            if (c == '\r') {
                ASSERT_EQ(text.at(++i), '\n');
                table.emplace_back();
            }
        } else {
            field += c;
        }
    }
    ASSERT_TRUE(table.back().empty());
    table.pop_back();
    const std::vector<std::vector<std::string>> expected = {
        {"punt", "x", "y", "h", "dx", "dy", "dh", "verschuiving", "status"},
        {"P1", "10.1", "20", "30", "0.1000", "0.0000", "0.0000", "0.1000", "verschoven/dubbel"},
        {"P2", "10", "20", "30", "0.0000", "0.0000", "0.0000", "0.0000", "ok"},
        {"P1", "10", "20", "30.0001", "0.0000", "0.0000", "0.0001", "0.0000", "dubbel"},
        {"A,\"B", "1", "2", "3", "", "", "", "", "nieuw"},
        {"N1", "5,5", "6", "7", "", "", "", "", "nieuw"},
        {"A\"\"B", "1", "2", "3", "", "", "", "", "ontbreekt"},
    };
    EXPECT_EQ(table, expected);
    EXPECT_EQ(report.Counts().duplicates, 2u);
}

// The summary: a missing old file is said once and every point is new; the flagged points
// are listed up to the limit, the largest shifts first.
TEST(ShiftReport, SummarizesCountsLargestShiftsAndFlags) {
    testing::TempFolder dir;
    const std::string cor =
        dir.Write("new.cor", kCorHead +
                                 "P1 10.2 20 30 0\r\nP2 10.3 20 30 0\r\nP3 10.01 20 30 0\r\n"
                                 "P4 1 1 1 0\r\n$\r\n");
    const ShiftReport fresh = Import(cor, dir.Path("none.idx"), 0.05);
    const std::vector<std::string> first = ShiftSummary(fresh);
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0], "Kavrin IDEX file " + dir.Path("none.idx") +
                            " bestaat nog niet: alle punten zijn nieuw");
    EXPECT_EQ(first[1], "Verschuivingen tegen " + dir.Path("none.idx") +
                            " (tolerantie 0.05 m): 0 vergeleken, 4 nieuw, 0 ontbreken, "
                            "0 gemarkeerd");

    const ShiftReport nowhere = Import(cor, dir.Path("t.idx"), 0.05, dir.Path("nowhere.idx"));
    EXPECT_EQ(ShiftSummary(nowhere).front(), "Kavrin IDEX file " + dir.Path("nowhere.idx") +
                                                 " niet gevonden: alle punten zijn nieuw");

    // An old file that cannot be read as text (a line beyond 1 MB): a note, every point new.
    const std::string unreadable =
        dir.Write("long.idx",
                  "HEADER\r\nEND HEADER\r\nDATABASE\r\nPOINTS (PointNo,PointID,East,North)\r\n"
                  "1,P1,10,20;\r\n" +
                      std::string(2 << 20, 'x') + "\r\n");
    const ShiftReport unread = Import(cor, unreadable, 0.05);
    EXPECT_EQ(ShiftSummary(unread).front(), "Kavrin IDEX file " + unreadable +
                                                " kan niet worden gelezen (regel 6 is langer "
                                                "dan 1 MB): alle punten zijn nieuw");
    EXPECT_EQ(unread.Counts().added, 4u);

    const std::string drawing =
        "HEADER\r\nEND HEADER\r\nDATABASE\r\nPOINTS (PointNo,PointID,East,North)\r\n"
        "1,P1,10,20;\r\n2,P2,10,20;\r\n3,P3,10,20;\r\n5,P5,0,0;\r\n";
    const std::string old = dir.Write("old.idx", drawing);
    const ShiftReport report = Import(cor, old, 0.1);
    EXPECT_EQ(ShiftSummary(report, 1),
              (std::vector<std::string>{
                  "Verschuivingen tegen " + old +
                      " (tolerantie 0.1 m): 3 vergeleken, 1 nieuw, 1 ontbreekt, 2 gemarkeerd",
                  "Grootste verschuivingen: P2 0.3000 m, P1 0.2000 m, P3 0.0100 m",
                  "  P2: verschoven (0.3000 m)", "  en nog 1 gemarkeerd punt",
                  "Niet in de KORVU file: P5"}));

    // Against another file every point of it counts as known, marked or not.
    const ShiftReport against =
        Import(cor, dir.Path("other.idx"), 0.1, dir.Write("against.idx", drawing));
    EXPECT_EQ(ShiftStatus(against.Rows()[2]), "vast punt verschoven");
    EXPECT_EQ(ShiftStatus(report.Rows()[2]), "ok");
}

// The windows' table: flagged first, then sorted by any column (numbers by value, empty cells
// last), the same column again reversed; copied with tabs in the order shown.
TEST(ShiftReport, TableSortsByColumnsAndCopiesWhatItShows) {
    testing::TempFolder dir;
    const std::string old =
        dir.Write("old.idx",
                  "HEADER\r\nEND HEADER\r\nDATABASE\r\nPOINTS (PointNo,PointID,East,North)\r\n"
                  "1,B,10,20;\r\n2,A,10,20;\r\n3,C,10,20;\r\n4,Z,0,0;\r\n");
    const std::string cor =
        dir.Write("new.cor", kCorHead +
                                 "A 10.02 20 30 0\r\nB 10.3 20 30 0\r\nC 9.9 20 30 0\r\n"
                                 "N 1 1 1 0\r\n$\r\n");
    ShiftTable table(Import(cor, old, 0.05));
    const auto column = [&](std::size_t c) {
        std::string shown;
        for (std::size_t r = 0; r < table.Rows(); ++r)
            shown += (table.Flagged(r) ? "!" : "") + table.Cell(r, c) + ' ';
        return shown;
    };
    EXPECT_EQ(column(0), "!B !C A N Z ");
    const std::pair<std::size_t, const char*> sorts[] = {
        {4, "C -0.1000 A 0.0200 B 0.3000 N Z "},  // by dx: -0.1, 0.02, 0.3, then empty
        {4, "Z N B 0.3000 A 0.0200 C -0.1000 "},  // reversed
        {0, "A B C N Z "},
        {8, "N nieuw A ok Z ontbreekt B verschoven C verschoven "},
    };
    for (const auto& [by, expected] : sorts) {
        table.SortBy(by);
        std::string shown;
        for (std::size_t r = 0; r < table.Rows(); ++r) {
            shown += table.Cell(r, 0) + ' ';
            if (by != 0 && !table.Cell(r, by).empty()) shown += table.Cell(r, by) + ' ';
        }
        EXPECT_EQ(shown, expected) << by;
    }
    EXPECT_EQ(table.SortColumn(), 8);
    const std::string copied = table.TabText();
    EXPECT_EQ(copied.substr(0, copied.find("\r\n", copied.find("\r\n") + 2) + 2),
              "punt\tx\ty\th\tdx\tdy\tdh\tverschuiving\tstatus\r\n"
              "N\t1\t1\t1\t\t\t\t\tnieuw\r\n");
}

}  // namespace
}  // namespace talvik
