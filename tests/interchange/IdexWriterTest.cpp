#include <gtest/gtest.h>

#include "Support.h"
#include "interchange/IdexReader.h"
#include "interchange/IdexWriter.h"
#include "text/Text.h"

namespace talvik {
namespace {

using testing::Lines;
using testing::ReadBytes;
using testing::ScratchDir;

const std::string kHeaderLines =
    Lines({"HEADER", "  VERSION      1.20", "  SYSTEM       \"KAVRIN\"", "END HEADER", "", "",
           "DEFINITIONS", "  LAYERS (LayerNo,Name,Flags)", "    0,  \" Punten \",  00000001;",
           "  END LAYERS", "END DEFINITIONS", "", "", "DATABASE",
           "  POINTS (PointNo, PointID, East, North, Elevation, Code, LayerNo)"});

TEST(IdexWriter, WritesTheFileByteForByte) {
    ScratchDir dir;
    const std::string path = dir.File("out.idx");
    IdexWriter writer;
    ASSERT_TRUE(writer.Begin(path, " Punten "));
    EXPECT_EQ(dir.Listing().size(), 1u);
    EXPECT_TRUE(dir.Listing().front() != "out.idx");  // nothing at the target before End()
    EXPECT_TRUE(writer.Point(7, "K1", "155000.000", "463000.000", "0.000", "GR"));
    EXPECT_TRUE(writer.Point(0, "", "", "", "", " g r "));
    EXPECT_TRUE(writer.Point(-12, "A\tB", "-1", "+2", "3e1", "\xf6"));
    ASSERT_TRUE(writer.End());
    EXPECT_EQ(ReadBytes(path),
              kHeaderLines + Lines({
                                 "    7, \"K1\", 155000.000,  463000.000,  0.000,  \"GR\", 0;",
                                 "    0, \"\", ,  ,  ,  \" g r \", 0;",
                                 "   -12, \"A\tB\", -1,  +2,  3e1,  \"\xf6\", 0;",
                                 "  END POINTS",
                                 "END DATABASE",
                             }));
    EXPECT_EQ(dir.Listing(), std::vector<std::string>{"out.idx"});
}

TEST(IdexWriter, NeverLeavesAHalfWrittenFile) {
    ScratchDir dir;
    const std::string old = dir.Write("old.idx", "OLD");
    const struct {
        const char* label;
        std::string path;
        bool begins;
        bool ends;
    } cases[] = {
        {"replaces an existing file", old, true, true},
        {"abandoned", old, true, false},
        {"empty path", "", false, false},
        {"a directory", dir.File(""), false, false},
        {"missing folder", dir.File("no/such.idx"), false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        dir.Write("old.idx", "OLD");
        {
            IdexWriter writer;
            EXPECT_EQ(writer.Begin(c.path, "L"), c.begins);
            EXPECT_EQ(writer.Point(1, "A", "1", "2", "3", "C"), c.begins);
            if (c.ends) {
                EXPECT_TRUE(writer.End());
            }
        }
        EXPECT_EQ(dir.Listing(), std::vector<std::string>{"old.idx"});
        EXPECT_EQ(ReadBytes(old) == "OLD", !c.ends);
    }
}

TEST(IdexWriter, OwnFilesReadBackWithNumbersOnly) {
    ScratchDir dir;
    const std::string path = dir.File("round.idx");
    IdexWriter writer;
    ASSERT_TRUE(writer.Begin(path, "L"));
    writer.Point(1, "K1", "155000.000", "463000.000", "1.5", "GR");
    writer.Point(2, "K2", "1", "2", "3", "GR");
    ASSERT_TRUE(writer.End());
    PointTable points;
    testing::RecordingUi ui;
    ReadIdexFile(path, points, ui);
    EXPECT_TRUE(ui.messages.empty());
    ASSERT_EQ(points.Last(), 2u);
    EXPECT_EQ(points[1].Name, FitName9("1"));
    EXPECT_EQ(points[2].Name, FitName9("2"));
    EXPECT_EQ(points[1].X + points[1].Y + points[1].Z, 0.0);
}

}  // namespace
}  // namespace talvik
