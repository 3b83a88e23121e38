#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "FieldFileTestSupport.h"

namespace talvik::test {
namespace {

TEST(FieldFileReader, CoordinateFrame) {
    const struct {
        const char* lines;
        std::size_t point;
        double x, y, z;
    } cases[] = {
        {"62 A 10 20|22 0.5|61 B 10 20 4", 2, 5, 10, 2},   // scale applies to later points
        {"62 A 10 20|22 0.5|61 B 10 20 4", 1, 10, 20, 0},  // earlier points keep theirs
        {"21 YX|23 100 200 5|62 P1 10 20", 1, 220, 110, 0},
        {"21 aYXb|62 P 1 2", 1, 2, 1, 0},
        {"21 YX|21 XY|62 P 1 2", 1, 1, 2, 0},
        {"23 100 200 5|21 YX|61 P 1 2 3", 1, 102, 201, 8},  // offsets keep their reading
        {"23 1 2 3|23 10 20|61 P 0 0 0", 1, 10, 20, 3},     // missing offset stays
        {"22 2|23 0 0 1|62 P 1 1|63 P 5", 1, 2, 2, 11},
        {"23 1 2 3|61 P 5", 1, 6, 0, 0},  // missing coordinate stays 0
    };
    for (const auto& c : cases) {
        const Outcome run = Read(c.lines);
        ASSERT_LE(c.point, run.points.Last()) << c.lines;
        const PointRecord& p = run.points[c.point];
        EXPECT_EQ(p.X, c.x) << c.lines;
        EXPECT_EQ(p.Y, c.y) << c.lines;
        EXPECT_EQ(p.Z, c.z) << c.lines;
        EXPECT_TRUE(p.HasCoordinates && p.IsUsed) << c.lines;
    }
}

TEST(FieldFileReader, AngleUnitAndDistanceUnit) {
    const struct {
        const char* line;
        int before, after;
    } units[] = {{"51 DM", 2, 0}, {"51 DD", 0, 1}, {"51 gr", 0, 2}, {"51 R", 0, 2},
                 {"51 XX", 2, 0}, {"51", 1, 1},    {"105 1", 2, 2}};
    for (const auto& c : units) {
        Outcome start;
        start.unit.value = c.before;
        EXPECT_EQ(ReadRaw(Lines(c.line), Options(false), std::move(start)).unit.value, c.after)
            << c.line;
    }

    const std::string prefix = "Eenheid voor afstanden staat ingesteld op: ";
    const struct {
        const char* line;
        std::vector<std::string> messages;
    } distances[] = {{"53 F", {prefix + "US Voeten"}},
                     {"53 l", {prefix + "Schakels"}},
                     {"53 FT", {prefix + "Schakels"}},
                     {"53 m", {}},
                     {"53", {}}};
    for (const auto& c : distances) {
        const Outcome run = Read(std::string(c.line) + "|62 P 1 2");
        EXPECT_EQ(run.ui.messages, c.messages) << c.line;
        EXPECT_TRUE(run.ui.plainBoxes);
        EXPECT_EQ(run.points.Last(), 1u) << "reading goes on after " << c.line;
    }
}

TEST(FieldFileReader, InputOfAllKinds) {
    using namespace std::string_literals;
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary += static_cast<char>(i * 7 % 256);
    const struct {
        std::string text;
        std::string sequence;  // "?": only survival counts
    } cases[] = {
        {"x 111.0 A 1 100 1\nx 1.11E2 B 2 100 1\n", ">A:1/100 >B:2/100"},
        {"x 111.5 A 1 100 1\nx -111 A\nx -0 A\nthis is a comment\nx 1e999 A\n", ""},
        {"x 111 A 1 100 1\nx\n\n   \nlonely\n", ">A:1/100"},  // one word: no record
        {"x 111 A 1 100 1\rx 111 B 2 100 1\r\nx 111 C 3 100 1", ">A:1/100 >B:2/100 >C:3/100"},
        {"", ""},
        {binary, "?"},
        {"x 101 A\0B 0 0\nx 112 C\0 1 2"s, "A\0B>C\0:1/0"s},
        {"x 111 " + std::string(1 << 20, 'w') + "Z 1 100 1", ">WWWWWWWWW:1/100"},
        {"x 22 1e308\nx 61 P 1e308 -1e308 1\nx 160 1e308 1e308\nx 111 A -0 1e308 1e-320\n",
         ">A:-0/1e+308"},
    };
    for (const auto& c : cases) {
        Outcome dirty;
        dirty.obs.resize(5);
        const Outcome run = ReadRaw(c.text, Options(false), std::move(dirty));
        ASSERT_FALSE(run.obs.empty());
        EXPECT_EQ(run.obs[0].Station, std::string(9, '\0'));
        if (c.sequence != "?") {
            EXPECT_EQ(Sequence(run.obs), c.sequence) << c.text.substr(0, 80);
        }
    }
    const Outcome huge = ReadRaw("x 22 1e308\nx 61 P 1e308 -1e308 1\n");
    EXPECT_TRUE(std::isinf(huge.points[1].X) && std::isinf(huge.points[1].Y));
}

TEST(FieldFileReader, ProgressIsThrottledAndCountsFromTheLineStart) {
    // Every line is 128 bytes, so the progress number is the index of the line.
    const std::size_t count = 20000;
    const Outcome run = Read(std::to_string(count) + "*112 A 0 1 0 K1" + std::string(110, ' '));
    EXPECT_EQ(run.obs.size(), count + 1);
    ASSERT_FALSE(run.ui.progress.empty());
    EXPECT_LE(run.ui.progress.size(), count / 64 + 1);
    EXPECT_EQ(run.ui.progress[0], "Inlezen Werkbestand: 0");
    for (const auto& p : run.ui.progress) {
        ASSERT_EQ(p.rfind("Inlezen Werkbestand: ", 0), 0u);
        EXPECT_LT(NumericValue(p.substr(21)), static_cast<double>(count));
    }
}

}  // namespace
}  // namespace talvik::test
