#include <gtest/gtest.h>

#include <sstream>

#include "Support.h"
#include "interchange/IdexReader.h"
#include "text/Text.h"

namespace talvik {
namespace {

using namespace std::string_literals;
using testing::Lines;
using testing::RecordingUi;

// "NAME x y z" per point, points separated by "|"; names shown without their padding.
std::string Render(const PointTable& points) {
    std::ostringstream out;
    for (std::size_t i = 1; i <= points.Last(); ++i) {
        const PointRecord& p = points[i];
        out << (i > 1 ? "|" : "") << TrimBlanks(p.Name) << ' ' << p.X << ' ' << p.Y << ' ' << p.Z
            << (p.HasCoordinates && !p.IsUsed && p.Name.size() == 9 ? "" : " (flags)");
    }
    return out.str();
}

const std::string kHead = Lines({"HEADER", "END HEADER", "DATABASE"});
const std::string kStd = "  POINTS (PointNo,PointID,East,North,Elevation,Code,LayerNo)\r\n";
const std::string kBadHeader = "Er is een probleem met de Kavrin tekening";

TEST(IdexReader, ReadsPointTables) {
    const struct {
        const char* label;
        std::string text, points, message = "";
    } cases[] = {
        {"quoted id", kHead + kStd + "1,\"A B\",1.5,2.5,3.5,\"GR\",0;", "A B 1.5 2.5 3.5"},
        {"quoted separator and terminator",
         Lines({"header", " Separator \"|\"", "TERMINATOR \"#\"", "END HEADER", "DATABASE",
                "POINTS (PointNo|PointID|East|North|Elevation)", "1|P1|10|20|30#"}),
         "P1 10 20 30"},
        {"unquoted separator is a blank",
         Lines({"HEADER", "SEPARATOR ,", "END HEADER", "DATABASE",
                "POINTS (POINTNO POINTID EAST NORTH ELEVATION)", "1 P1 10 20 30;"}),
         "P1 10 20 30"},
        {"blanks in the column list", kHead + "POINTS (PointNo, PointID, East)\r\n7,K1,1;",
         "7 0 0 0"},
        {"column list over two lines", kHead + "POINTS (PointNo,PointID,\r\n East)\r\n1,P1,1;",
         "P1 1 0 0"},
        {"record over two lines, not three",
         kHead + kStd + Lines({"1,P1,10,", "20,30;", "2,P2,", "10,", "20,30;"}),
         "P1 10 20 30|P2 10 0 0|30 0 0 0"},
        {"ids cut, upper-cased, or the number",
         kHead + kStd + Lines({"1,abcdefghijkl,1;", "2,p\xe9,1;", "5,,1;", "6,\"\",1;", "7,\",1;"}),
         "ABCDEFGHI 1 0 0|P\xc9 1 0 0|5 1 0 0|6 1 0 0|7 1 0 0"},
        {"extra info skipped, END ends the table",
         kHead + kStd +
             Lines({"1,A,1;", "EXTRAINFO", "9,X,9;", "END X", "2,B,2;", "endpoints", "3,C,3;"}),
         "A 1 0 0|B 2 0 0"},
        {"other tables first",
         kHead + Lines({"LINES (A,B)", "1,2;", "END LINES"}) + kStd + "1,A,1;", "A 1 0 0"},
        {"header never closed", Lines({"HEADER", "DATABASE"}) + kStd + "1,A,1;", "", kBadHeader},
        {"unterminated last record", kHead + kStd + "1,A,1", "A 1 0 0"},
        {"column list never closed", kHead + "POINTS (PointNo,PointID\r\nEast", ""},
        {"extra info at the end", kHead + kStd + "1,A,1;\r\nEXTRAINFO", "A 1 0 0"},
        {"CR and LF line ends", "HEADER\rEND HEADER\nDATABASE\r\nPOINTS (PointNo,East)\r1,5;\n2,6",
         "1 5 0 0|2 6 0 0"},
        {"NUL, junk, a huge line",
         kHead + kStd + "1,A\0B,1;\r\n\x80\xff;\r\n2,"s + std::string(1 << 20, 'x') + ",4;",
         "A\0B 1 0 0|\x80\x9f 0 0 0|XXXXXXXXX 4 0 0"s},
        {"binary junk", "\0\xff\r\r\n\x1a HEADER\0"s, "", kBadHeader},
    };
    for (const auto& c : cases) {
        PointTable points;
        points.Append(PointRecord{FitName9("OLD")});
        RecordingUi ui;
        LineReader input;
        input.OpenText(c.text);
        ReadIdexFile(input, points, ui);
        EXPECT_EQ(Render(points), c.points) << c.label;
        EXPECT_EQ(ui.messages, (c.message.empty() ? std::vector<std::string>{}
                                                  : std::vector<std::string>{c.message}))
            << c.label;
    }
}

TEST(IdexReader, UnreadableFileIsReportedByName) {
    testing::ScratchDir dir;
    for (const std::string& path : {dir.File("missing.idx"), dir.File(""), ""s}) {
        PointTable points;
        points.Append(PointRecord{FitName9("OLD")});
        RecordingUi ui;
        ReadIdexFile(path, points, ui);
        EXPECT_EQ(points.Last(), 0u);
        EXPECT_EQ(ui.messages, std::vector{"Kavrin IDEX file niet gevonden: " + path});
    }
}

TEST(IdexReader, ProgressShowsThePositionThrottled) {
    testing::ScratchDir dir;
    std::string text = kHead + kStd;
    for (int i = 0; i < 200000; ++i)
        text += "1,A,1,1,1;\r\n";
    PointTable points;
    RecordingUi ui;
    ReadIdexFile(dir.Write("big.idx", text), points, ui);
    EXPECT_EQ(points.Last(), 200000u);
    ASSERT_FALSE(ui.progress.empty());
    EXPECT_EQ(ui.progress[0], "Inlezen Co\xF6rdinaten: " + IntText((kHead + kStd).size() / 128));
    EXPECT_LT(ui.progress.size(), 1000u);
}

}  // namespace
}  // namespace talvik
