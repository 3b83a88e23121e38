#include <gtest/gtest.h>

#include "FieldFileTestSupport.h"
#include "fieldfile/Gathering.h"

namespace talvik::test {
namespace {

// Targets of all records after the placeholder, "_" for a blank name.
std::string Targets(const ObservationTable& obs) {
    std::string out;
    for (std::size_t i = 1; i < obs.size(); ++i) {
        const std::string_view t = TrimBlanks(obs[i].Target);
        out.append(i > 1 ? " " : "").append(t.empty() ? "_" : t);
    }
    return out;
}

TEST(Gathering, WorkedExampleReducesOrSeparatesFace2) {
    const char* file =
        "101 ST1 1.50 1.30|102 ST1 1.50 1.30 P1 0|111 P1 0 100 50 K1|111 P2 100 99.5 60 K1|"
        "105 1.60|111 P1 200 300 50 K1";
    const Outcome reduced = Read(file, Options(true));
    EXPECT_EQ(Sequence(reduced.obs), "ST1>P1:0/-1 ST1>P1:0/100 ST1>P2:100/99.5 ST1>P1:0/100");
    EXPECT_EQ(reduced.obs[1].InstrumentHeight, 1.5);
    EXPECT_EQ(reduced.obs[1].TargetHeight, 1.3);
    EXPECT_EQ(reduced.obs[4].TargetHeight, 1.6);
    EXPECT_EQ(reduced.obs[4].Distance, 50);

    const Outcome separated = Read(file, Options(false));
    EXPECT_EQ(Sequence(separated.obs),
              "ST1>P1:0/-1 ST1>P1:200/300 ST1>P1:0/-1 ST1>P1:0/100 ST1>P2:100/99.5");
    EXPECT_EQ(separated.obs[2].TargetHeight, 1.6);
    ASSERT_EQ(separated.points.Last(), 3u);
    EXPECT_EQ(separated.points[1].Name, "ST1      ");
    for (std::size_t i = 1; i <= 3; ++i)
        EXPECT_TRUE(separated.points[i].IsUsed && !separated.points[i].HasCoordinates);
}

TEST(Gathering, Face2Handling) {
    const struct {
        bool face2to1;
        const char* lines;
        const char* sequence;
    } cases[] = {
        {true, "102 S 0 0 R 0|111 A 50 250 1 K1", "S>R:0/-1 S>A:250/150"},
        {true, "102 S 0 0 R 0|111 A 300 250 1 K1", "S>R:0/-1 S>A:100/150"},
        {false, "102 S 0 0 R 0|111 A 5 200 1 K1", "S>R:0/-1 S>A:5/200"},  // 200 is face 1
        {false, "102 S 0 0 R 0|111 A 0 100 1|111 B 0 100 1|111 X 0 300 1|111 Y 0 300 1|111 C 0 100",
         "S>R:0/-1 S>X:0/300 S>Y:0/300 S>R:0/-1 S>A:0/100 S>B:0/100 S>C:0/100"},
        // No station record to stand behind: kept where it was read.
        {false, "101 S 0 0|111 X 1 300 1", "S>X:1/300"},
        // Record 101 leaves the block of the earlier set-up open.
        {false, "102 S 0 0 R 0|111 A 0 100 1|111 X 0 300 1|101 T 0 0|111 Y 0 300 1",
         "S>R:0/-1 S>X:0/300 T>Y:0/300 S>R:0/-1 S>A:0/100"},
        // A zenith of exactly -1 read from the file counts as a station record.
        {false, "102 S 0 0 R 0|111 A 0 100 1|111 M 0 -1 1|111 X 0 300 1",
         "S>R:0/-1 S>A:0/100 S>M:0/-1 S>X:0/300 S>M:0/-1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Sequence(Read(c.lines, Options(c.face2to1)).obs), c.sequence) << c.lines;
}

TEST(Gathering, CodeSelection) {
    std::vector<std::string> sixteenth(16, "");
    sixteenth[15] = "Q";
    const struct {
        const char* code;
        std::vector<std::string> entries;
        bool selected;
    } cases[] = {
        {"-K12", {"K1"}, true},  {"K12", {"k1"}, false},  {"K1", {" K1 "}, true},
        {"K1", {}, false},       {"--K1", {"K1"}, false}, {"K", {"K1"}, false},
        {"QZ", sixteenth, true}, {"-K1", {"-K"}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsCodeSelected(c.code, Options(false, c.entries).SelCode), c.selected) << c.code;

    // Nothing selected: set-up records still arrive, unselected targets stay unknown.
    const Outcome run = Read(
        "102 S 0 0 R 0|103 S 0 0 Z 7 8|107 S 0 0 R 1|108 S 0 0 Z 9 1|111 A 0 100 1 K1|"
        "112 B 0 5 0 K1",
        Options(false, {}));
    EXPECT_EQ(Targets(run.obs), "R Z R Z");
    EXPECT_EQ(run.obs[2].Azimuth, 7);
    EXPECT_EQ(run.obs[2].Direction, 8);
    EXPECT_EQ(run.points.FindFirst("A        "), 0u);
}

TEST(Gathering, RoundSets) {
    const std::string mismatch = "Mismatch in aantallen waarnemingen voor standplaats: ST1      ";
    const struct {
        const char* lines;
        const char* targets;  // null: not checked
        bool message;
    } cases[] = {
        {"160 3 3|111 A|111 B|111 C|111 A|8*111 Z|161", "A B C A 0 A C B A A B C A", false},
        {"160 1 4|112 A|112 B|6*112 Z|161", "A B 0 B A A B 0 B A", false},
        // A round of one name walks off the list and keeps the names of the file.
        {"160 0 3|111 P|111 Q|111 R|161", "P P R", false},
        {"160 3 2|7*111 Z|161", nullptr, true},
        {"160 3 2|8*111 Z|161", nullptr, false},
        {"111 A|161", "A", false},             // end without a start
        {"160 0 1|111 Z|161|161", "Z", true},  // a second end checks again
        {"160 1 2|4*111 Z|161|160 1E6 1|112 C|112 D|161", "Z Z 0 Z Z C D", false},
        {"160 -5 2|111 A|161", "A", false},                     // no list: only counted
        {"160 -2 2|111 A|161", "0 A", true},                    // empty list never matches
        {"160 1 2|112 A|112 B|112|112 X", "A B 0 _ A", false},  // a missing name stays missing
        {"160 30000 1|111 A|161", "A", true},
    };
    for (const auto& c : cases) {
        const Outcome run = Read(std::string("101 ST1 0 0|") + c.lines);
        if (c.targets != nullptr) {
            EXPECT_EQ(Targets(run.obs), c.targets) << c.lines;
        }
        EXPECT_EQ(run.ui.messages, std::vector<std::string>(c.message ? 1 : 0, mismatch))
            << c.lines;
        EXPECT_TRUE(run.ui.plainBoxes);
    }
    // Wrapping would make 40000 observations a mismatch; 32767 rounds of one match.
    EXPECT_TRUE(Read("101 S 0 0|160 0 32767|40000*112 A|161").ui.messages.empty());
}

TEST(Gathering, PointsAndMissingFields) {
    Outcome known;
    PointRecord p1{"P1       "};
    p1.HasCoordinates = true;
    known.points.Append(p1);
    const Outcome run = ReadRaw(
        Lines(
            "62 Q 1 2|62 Q 3 4|63 Q 9|63 NOPE 5|101 P1 0 0|101 NEW 0 0|61|111 A 10 100 5|111 B 20"),
        Options(false), std::move(known));
    const PointTable& pts = run.points;
    ASSERT_EQ(pts.Last(), 7u);  // P1, Q, Q, NEW, blank, A, B
    EXPECT_TRUE(pts[1].IsUsed);
    EXPECT_EQ(pts[2].Z, 9);
    EXPECT_EQ(pts[3].Z, 0);
    EXPECT_EQ(pts[3].X, 3);
    EXPECT_TRUE(pts[4].IsUsed && !pts[4].HasCoordinates);
    EXPECT_EQ(pts[5].Name, "         ");
    EXPECT_TRUE(pts[5].HasCoordinates);
    // Without a code the observation is taken; without a zenith it keeps the previous one.
    EXPECT_EQ(Sequence(run.obs), "NEW>A:10/100 NEW>B:20/100");
    EXPECT_EQ(run.obs[2].Distance, 5);
}

}  // namespace
}  // namespace talvik::test
