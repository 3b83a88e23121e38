#include <gtest/gtest.h>

#include "Support.h"
#include "interchange/IdexReader.h"
#include "text/Text.h"

namespace talvik {
namespace {

using namespace std::string_literals;
using testing::Lines;
using testing::RecordingUi;

struct Pt {
    std::string name;
    double x, y, z;
};

const std::string kHead = Lines({"HEADER", "END HEADER", "DATABASE"});
const std::string kStd = "  POINTS (PointNo,PointID,East,North,Elevation,Code,LayerNo)\r\n";
const std::string kBadHeader = "Er is een probleem met de Kavrin tekening";

struct ReadCase {
    const char* label;
    std::string text;
    std::vector<Pt> points;
    std::vector<std::string> messages = {};
};

std::vector<ReadCase> ReadCases() {
    const std::string huge(1 << 20, 'x');
    return {
        {"quoted id with blank",
         kHead + kStd + "1,\"A B\",1.5,2.5,3.5,\"GR\",0;\r\n",
         {{"A B", 1.5, 2.5, 3.5}}},
        {"separator and terminator in quotes",
         Lines({"header", "  Separator \"|\"", "  TERMINATOR \"#\"", "END HEADER", "DATABASE",
                "POINTS (PointNo|PointID|East|North|Elevation)", "1|P1|10|20|30#"}),
         {{"P1", 10, 20, 30}}},
        {"unquoted separator gives a blank",
         Lines({"HEADER", "SEPARATOR ,", "END HEADER", "DATABASE",
                "POINTS (POINTNO POINTID EAST NORTH ELEVATION)", "1 P1 10 20 30;"}),
         {{"P1", 10, 20, 30}}},
        {"blanks in the column list find only the number",
         kHead + "POINTS (PointNo, PointID, East, North, Elevation)\r\n7,\"K1\",1,2,3;\r\n",
         {{"7", 0, 0, 0}}},
        {"column list over two lines",
         kHead + "POINTS (PointNo,PointID,\r\n  East,North,Elevation)\r\n1,P1,1,2,3;\r\n",
         {{"P1", 1, 2, 3}}},
        {"record over two lines, not three",
         kHead + kStd + Lines({"1,P1,10,", "20,30;", "2,P2,", "10,", "20,30;"}),
         {{"P1", 10, 20, 30}, {"P2", 10, 0, 0}, {"30", 0, 0, 0}}},
        {"identifiers cut, upper-cased, falling back to the number",
         kHead + kStd +
             Lines({"1,abcdefghijkl,1,2,3;", "2,p\xe9,1,2,3;", "5,,1,2,3;", "6,\"\",1,2,3;",
                    "7,\",1,2,3;"}),
         {{"ABCDEFGHI", 1, 2, 3},
          {"P\xc9", 1, 2, 3},
          {"5", 1, 2, 3},
          {"6", 1, 2, 3},
          {"7", 1, 2, 3}}},
        {"extra info skipped, END ends the table",
         kHead + kStd +
             Lines({"1,A,1,1,1;", "EXTRAINFO", "9,X,9,9,9;", "END EXTRAINFO", "2,B,2,2,2;",
                    "endpoints", "3,C,3,3,3;"}),
         {{"A", 1, 1, 1}, {"B", 2, 2, 2}}},
        {"other tables before the points",
         kHead + Lines({"LINES (LineNo,StartPt,EndPt)", "1,2,3;", "END LINES"}) + kStd +
             "1,A,1,1,1;\r\n",
         {{"A", 1, 1, 1}}},
        {"header never closed",
         Lines({"HEADER", "DATABASE"}) + kStd + "1,A,1,1,1;",
         {},
         {kBadHeader}},
        {"no database", Lines({"HEADER", "END HEADER"}) + kStd + "1,A,1,1,1;", {}},
        {"unterminated last record is kept", kHead + kStd + "1,A,1,1,1", {{"A", 1, 1, 1}}},
        {"column list never closed", kHead + "POINTS (PointNo,PointID\r\nEast", {}},
        {"extra info at the end", kHead + kStd + "1,A,1,1,1;\r\nEXTRAINFO", {{"A", 1, 1, 1}}},
        {"lone CR and LF line ends",
         "HEADER\rEND HEADER\nDATABASE\r\nPOINTS (PointNo,PointID,East)\r1,A,5;\n2,B,6;",
         {{"A", 5, 0, 0}, {"B", 6, 0, 0}}},
        {"NUL, junk and a huge line",
         kHead + kStd + "1,A\0B,1,2,3;\r\n"s + "\x80\xff\x01;\r\n" + "2," + huge + ",4;\r\n",
         {{"A\0B"s, 1, 2, 3}, {"\x80\x9f\x01", 0, 0, 0}, {"XXXXXXXXX", 4, 0, 0}}},
        {"binary junk", "\0\xff\r\r\n\x1a HEADER\0"s, {}, {kBadHeader}},
    };
}

TEST(IdexReader, ReadsPointTables) {
    for (const ReadCase& c : ReadCases()) {
        SCOPED_TRACE(c.label);
        PointTable points;
        points.Append(PointRecord{FitName9("OLD")});
        RecordingUi ui;
        LineReader input;
        input.OpenText(c.text);
        ReadIdexFile(input, points, ui);
        EXPECT_EQ(ui.messages, c.messages);
        ASSERT_EQ(points.Last(), c.points.size());
        EXPECT_EQ(points[0].Name, std::string(9, '\0'));
        for (std::size_t i = 0; i < c.points.size(); ++i) {
            const PointRecord& p = points[i + 1];
            EXPECT_EQ(p.Name, FitName9(c.points[i].name)) << i;
            EXPECT_EQ(p.X, c.points[i].x) << i;
            EXPECT_EQ(p.Y, c.points[i].y) << i;
            EXPECT_EQ(p.Z, c.points[i].z) << i;
            EXPECT_TRUE(p.HasCoordinates);
            EXPECT_FALSE(p.IsUsed);
        }
    }
}

TEST(IdexReader, UnreadableFileIsReportedByNameAndEmptiesTheTable) {
    testing::ScratchDir dir;
    for (const std::string& path : {dir.File("missing.idx"), dir.File(""), std::string()}) {
        SCOPED_TRACE(path);
        PointTable points;
        points.Append(PointRecord{FitName9("OLD")});
        RecordingUi ui;
        ReadIdexFile(path, points, ui);
        EXPECT_EQ(points.Last(), 0u);
        EXPECT_EQ(ui.messages, std::vector<std::string>{"Kavrin IDEX file niet gevonden: " + path});
    }
}

TEST(IdexReader, ProgressNamesThePositionAndIsThrottled) {
    testing::ScratchDir dir;
    std::string text = kHead + kStd;
    for (int i = 0; i < 200000; ++i)
        text += "1,A,1,1,1;\r\n";
    const std::string path = dir.Write("big.idx", text);
    PointTable points;
    RecordingUi ui;
    ReadIdexFile(path, points, ui);
    EXPECT_EQ(points.Last(), 200000u);
    ASSERT_FALSE(ui.progress.empty());
    EXPECT_EQ(ui.progress.front(),
              "Inlezen Co\xF6rdinaten: " + IntText((kHead + kStd).size() / 128));
    EXPECT_LT(ui.progress.size(), 1000u);
    EXPECT_LT(ui.yields, 5000);
}

}  // namespace
}  // namespace talvik
