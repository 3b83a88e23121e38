#include <gtest/gtest.h>

#include "FieldFileTestSupport.h"
#include "fieldfile/Gathering.h"

namespace talvik::test {
namespace {

// Targets of all records after the placeholder, "_" for a blank name.
std::string Targets(const ObservationTable& obs) {
    std::string out;
    for (std::size_t i = 1; i < obs.size(); ++i) {
        const std::string t = Trimmed(obs[i].Target);
        out += (out.empty() ? "" : " ") + (t.empty() ? std::string("_") : t);
    }
    return out;
}

std::vector<std::string> Repeat(const std::string& line, int times) {
    return std::vector<std::string>(static_cast<std::size_t>(times), line);
}

std::vector<std::string> Concat(std::vector<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

const std::vector<std::string> kWorkedExample = {"101 ST1 1.50 1.30",  "102 ST1 1.50 1.30 P1 0",
                                                 "111 P1 0 100 50 K1", "111 P2 100 99.5 60 K1",
                                                 "105 1.60",           "111 P1 200 300 50 K1"};

TEST(Gathering, WorkedExampleReducesOrSeparatesFace2) {
    const Outcome reduced = Read(kWorkedExample, Options(true));
    EXPECT_EQ(Sequence(reduced.obs), "ST1>P1:0/-1 ST1>P1:0/100 ST1>P2:100/99.5 ST1>P1:0/100");
    EXPECT_EQ(reduced.obs[1].InstrumentHeight, 1.5);
    EXPECT_EQ(reduced.obs[1].TargetHeight, 1.3);
    EXPECT_EQ(reduced.obs[4].TargetHeight, 1.6);
    EXPECT_EQ(reduced.obs[4].Distance, 50);

    const Outcome separated = Read(kWorkedExample, Options(false));
    EXPECT_EQ(Sequence(separated.obs),
              "ST1>P1:0/-1 ST1>P1:200/300 ST1>P1:0/-1 ST1>P1:0/100 ST1>P2:100/99.5");
    EXPECT_EQ(separated.obs[2].TargetHeight, 1.6);

    ASSERT_EQ(separated.points.Last(), 3u);
    for (std::size_t i = 1; i <= 3; ++i) {
        EXPECT_TRUE(separated.points[i].IsUsed);
        EXPECT_FALSE(separated.points[i].HasCoordinates);
    }
    EXPECT_EQ(separated.points[1].Name, "ST1      ");
}

TEST(Gathering, Face2Handling) {
    struct Case {
        const char* name;
        bool face2to1;
        std::vector<std::string> lines;
        const char* sequence;
    };
    const std::vector<Case> cases = {
        {"reduce below 200", true, {"102 S 0 0 R 0", "111 A 50 250 1 K1"}, "S>R:0/-1 S>A:250/150"},
        {"reduce above 200", true, {"102 S 0 0 R 0", "111 A 300 250 1 K1"}, "S>R:0/-1 S>A:100/150"},
        {"zenith 200 is face 1",
         false,
         {"102 S 0 0 R 0", "111 A 5 200 1 K1"},
         "S>R:0/-1 S>A:5/200"},
        {"separate into a block",
         false,
         {"102 S 0 0 R 0", "111 A 0 100 1 K1", "111 B 0 100 1 K1", "111 X 0 300 1 K1",
          "111 Y 0 300 1 K1", "111 C 0 100 1 K1"},
         "S>R:0/-1 S>X:0/300 S>Y:0/300 S>R:0/-1 S>A:0/100 S>B:0/100 S>C:0/100"},
        {"no station record yet: kept as read",
         false,
         {"101 S 0 0", "111 X 1 300 1 K1"},
         "S>X:1/300"},
        {"record 101 leaves the block open",
         false,
         {"102 S 0 0 R 0", "111 A 0 100 1 K1", "111 X 0 300 1 K1", "101 T 0 0", "111 Y 0 300 1 K1"},
         "S>R:0/-1 S>X:0/300 T>Y:0/300 S>R:0/-1 S>A:0/100"},
        {"zenith -1 read from the file counts as a station record",
         false,
         {"102 S 0 0 R 0", "111 A 0 100 1 K1", "111 M 0 -1 1 K1", "111 X 0 300 1 K1"},
         "S>R:0/-1 S>A:0/100 S>M:0/-1 S>X:0/300 S>M:0/-1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Sequence(Read(c.lines, Options(c.face2to1)).obs), c.sequence) << c.name;
}

TEST(Gathering, CodeSelection) {
    struct Case {
        const char* code;
        std::vector<std::string> entries;
        bool selected;
    };
    std::vector<std::string> sixteenth(16, "");
    sixteenth[15] = "Q";
    const std::vector<Case> cases = {
        {"-K12", {"K1"}, true},  {"K12", {"k1"}, false},  {"K1", {" K1 "}, true},
        {"K1", {}, false},       {"--K1", {"K1"}, false}, {"K", {"K1"}, false},
        {"QZ", sixteenth, true}, {"-K1", {"-K"}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsCodeSelected(c.code, Options(false, c.entries).SelCode), c.selected) << c.code;

    // Nothing selected: set-up records still reach the table, unselected targets stay unknown.
    const Outcome run = Read({"102 S 0 0 R 0", "103 S 0 0 Z 7 8", "107 S 0 0 R 1",
                              "108 S 0 0 Z 9 1", "111 A 0 100 1 K1", "112 B 0 5 0 K1"},
                             Options(false, {}));
    EXPECT_EQ(Targets(run.obs), "R Z R Z");
    EXPECT_EQ(run.obs[2].Azimuth, 7);
    EXPECT_EQ(run.obs[2].Direction, 8);
    EXPECT_EQ(run.points.FindFirst("A        "), 0u);
}

TEST(Gathering, RoundSets) {
    const std::string obs = "111 Z 0 100 1 K1";
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        const char* targets;
        int messages;
    };
    const std::vector<Case> cases = {
        {"three rounds of four",
         Concat({{"160 3 3", "111 A 0 100 1 K1", "111 B 0 100 1 K1", "111 C 0 100 1 K1",
                  "111 A 0 100 1 K1"},
                 Repeat(obs, 8),
                 {"161"}}),
         "A B C A 0 A C B A A B C A", 0},
        {"every backwards round opens a set",
         Concat({{"160 1 4", "112 A 0 1", "112 B 0 1"}, Repeat(obs, 6), {"161"}}),
         "A B 0 B A A B 0 B A", 0},
        {"round of one never reads outside the list",
         {"160 0 3", "111 P 0 100 1 K1", "111 Q 0 100 1 K1", "111 R 0 100 1 K1", "161"},
         "P P R",
         0},
        {"seven of eight", Concat({{"160 3 2"}, Repeat(obs, 7), {"161"}}), nullptr, 1},
        {"eight of eight", Concat({{"160 3 2"}, Repeat(obs, 8), {"161"}}), nullptr, 0},
        {"end without start", {"111 A 0 100 1 K1", "161"}, "A", 0},
        {"a second end checks again", Concat({{"160 0 1"}, Repeat(obs, 1), {"161", "161"}}), "Z",
         1},
        {"absurd list size keeps the list",
         Concat({{"160 1 2"}, Repeat(obs, 4), {"161", "160 1E6 1", "112 C 0 1", "112 D", "161"}}),
         "Z Z 0 Z Z C D", 0},
        {"negative size makes no list", {"160 -5 2", "111 A 0 100 1 K1", "161"}, "A", 0},
        {"empty list never matches", {"160 -2 2", "111 A 0 100 1 K1", "161"}, "0 A", 1},
        {"missing name is not replaced",
         {"160 1 2", "112 A 0 1", "112 B 0 1", "112", "112 X 0 1"},
         "A B 0 _ A",
         0},
        {"big list costs nothing until used", {"160 30000 1", "111 A 0 100 1 K1", "161"}, "A", 1},
    };
    for (const auto& c : cases) {
        const Outcome run = Read(Concat({{"101 ST1 0 0"}, c.lines}), Options(false));
        if (c.targets != nullptr) {
            EXPECT_EQ(Targets(run.obs), c.targets) << c.name;
        }
        EXPECT_EQ(run.ui.messages.size(), static_cast<std::size_t>(c.messages)) << c.name;
    }
}

TEST(Gathering, RoundMismatchNamesTheStationAsNineCharacters) {
    const Outcome run = Read({"101 ST1 0 0", "160 1 1", "111 A 0 100 1 K1", "161"});
    ASSERT_EQ(run.ui.messages.size(), 1u);
    EXPECT_EQ(run.ui.messages[0], "Mismatch in aantallen waarnemingen voor standplaats: ST1      ");
    EXPECT_TRUE(run.ui.plainBoxes);
}

TEST(Gathering, ObservedCountStopsAt32767) {
    // Wrapping would turn 40000 observations into a mismatch; 32767 rounds of one match.
    const Outcome run =
        Read(Concat({{"101 S 0 0", "160 0 32767"}, Repeat("112 A 0 1", 40000), {"161"}}));
    EXPECT_TRUE(run.ui.messages.empty());
}

TEST(Gathering, PointsAndMissingFields) {
    Outcome known;
    PointRecord p1;
    p1.Name = "P1       ";
    p1.HasCoordinates = true;
    known.points.Append(p1);
    const Outcome run = ReadRaw(Lines({"62 Q 1 2", "62 Q 3 4", "63 Q 9", "63 NOPE 5", "101 P1 0 0",
                                       "101 NEW 0 0", "61", "111 A 10 100 5", "111 B 20"}),
                                Options(false), std::move(known));
    const PointTable& pts = run.points;
    ASSERT_EQ(pts.Last(), 7u);  // P1, Q, Q, NEW, blank, A, B
    EXPECT_TRUE(pts[1].IsUsed);
    EXPECT_EQ(pts[2].Z, 9);
    EXPECT_EQ(pts[3].Z, 0);
    EXPECT_EQ(pts[3].X, 3);
    EXPECT_TRUE(pts[4].IsUsed);
    EXPECT_FALSE(pts[4].HasCoordinates);
    EXPECT_EQ(pts[5].Name, "         ");
    EXPECT_TRUE(pts[5].HasCoordinates);
    // Without a code the observation is taken; without a zenith it keeps the previous one.
    EXPECT_EQ(Sequence(run.obs), "NEW>A:10/100 NEW>B:20/100");
    EXPECT_EQ(run.obs[2].Distance, 5);
}

}  // namespace
}  // namespace talvik::test
