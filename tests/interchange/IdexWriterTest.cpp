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

TEST(IdexWriter, WritesTheFileByteForByte) {
    ScratchDir dir;
    const std::string path = dir.File("out.idx");
    IdexWriter writer;
    ASSERT_TRUE(writer.Begin(path, " Punten "));
    EXPECT_TRUE(writer.Point(7, "K1", "155000.000", "463000.000", "0.000", "GR"));
    EXPECT_TRUE(writer.Point(0, "", "", "", "", " g r "));
    EXPECT_TRUE(writer.Point(-12, "A\tB", "-1", "+2", "3e1", "\xf6"));
    EXPECT_NE(dir.Listing(), std::vector<std::string>{"out.idx"});  // not in place before End
    ASSERT_TRUE(writer.End());
    EXPECT_EQ(ReadBytes(path),
              Lines({"HEADER",
                     "  VERSION      1.20",
                     "  SYSTEM       \"KAVRIN\"",
                     "END HEADER",
                     "",
                     "",
                     "DEFINITIONS",
                     "  LAYERS (LayerNo,Name,Flags)",
                     "    0,  \" Punten \",  00000001;",
                     "  END LAYERS",
                     "END DEFINITIONS",
                     "",
                     "",
                     "DATABASE",
                     "  POINTS (PointNo, PointID, East, North, Elevation, Code, LayerNo)",
                     "    7, \"K1\", 155000.000,  463000.000,  0.000,  \"GR\", 0;",
                     "    0, \"\", ,  ,  ,  \" g r \", 0;",
                     "   -12, \"A\tB\", -1,  +2,  3e1,  \"\xf6\", 0;",
                     "  END POINTS",
                     "END DATABASE"}));
    EXPECT_EQ(dir.Listing(), std::vector<std::string>{"out.idx"});

    // The column list has blanks after its commas: the reader finds only the number.
    PointTable points;
    testing::RecordingUi ui;
    ReadIdexFile(path, points, ui);
    EXPECT_TRUE(ui.messages.empty());
    ASSERT_EQ(points.Last(), 3u);
    EXPECT_EQ(points[1].Name + points[3].Name, FitName9("7") + FitName9("-12"));
    EXPECT_EQ(points[1].X + points[1].Y + points[1].Z + points[3].X, 0.0);
}

TEST(IdexWriter, AnAbandonedWriteLeavesTheOldFile) {
    ScratchDir dir;
    const std::string old = dir.Write("old.idx", "OLD");
    {
        IdexWriter writer;
        ASSERT_TRUE(writer.Begin(old, "L"));
        EXPECT_TRUE(writer.Point(1, "A", "1", "2", "3", "C"));
    }
    EXPECT_EQ(dir.Listing(), std::vector<std::string>{"old.idx"});
    EXPECT_EQ(ReadBytes(old), "OLD");
}

}  // namespace
}  // namespace talvik
