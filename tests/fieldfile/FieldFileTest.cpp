#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "FieldFileTestSupport.h"
#include "fieldfile/Gathering.h"

namespace talvik::testing {
namespace {

TEST(FieldFileReader, PointRecordsAndCoordinateFrame) {
    const std::pair<const char*, const char*> cases[] = {
        {"62 A 10 20|22 0.5|61 B 10 20 4", "A 10 20 0*; B 5 10 2*"},  // on later points only
        {"21 aYXb|62 P 1 2", "P 2 1 0*"},
        {"21 YX|21 XY|62 P 1 2", "P 1 2 0*"},
        {"23 100 200 5|21 YX|61 P 1 2 3", "P 102 201 8*"},  // offsets keep their reading
        {"23 1 2 3|23 10 20|61 P 0 0 0", "P 10 20 3*"},     // a missing offset stays
        // Scaled, then shifted; both orders of frame records and coordinates; every point record.
        {"22 2|23 10 20 30|61 A 1 2 3|62 B 1 2|117 C 1 2|63 B 4|118 C 5",
         "A 12 24 36*; B 12 24 38*; C 12 24 40*"},
        {"21 YX|23 10 20 30|22 3|61 A 1 2 3|62 B 1 2|117 C 1 2|63 B 4|118 C 5",
         "A 26 13 39*; B 26 13 42*; C 26 13 45*"},
        {"23 1 2 3|61 P 5", "P 6 0 0*"},  // a missing coordinate stays 0
        {"22 1e308|61 P 1e308 -1e308 1", "P inf -inf 1e+308*"},
        // A height goes to the first point of its name; fields that are missing are skipped.
        {"62 Q 1 2|62 Q 3 4|63 Q 9|63 NOPE 5|101 NEW|61|62 R 7",
         "Q 1 2 9*; Q 3 4 0*; NEW 0 0 0;  0 0 0*; R 7 0 0*"},
    };
    for (const auto& [lines, points] : cases)
        EXPECT_EQ(Points(Read(lines).points.Entries()), points) << lines;
}

TEST(FieldFileReader, UnitRecords) {
    // The line, the angle unit before and after it, the distance unit reported.
    constexpr AngleUnit kDms = AngleUnit::DegreesMinutesSeconds, kDeg = AngleUnit::DecimalDegrees,
                        kGon = AngleUnit::Gon;
    const std::tuple<const char*, AngleUnit, AngleUnit, std::string> cases[] = {
        {"51 DM", kGon, kDms, ""},         {"51 DD", kDms, kDeg, ""},
        {"51 gr", kDms, kGon, ""},         {"51 R", kDms, kGon, ""},
        {"51 XX", kGon, kDms, ""},         {"51", kDeg, kDeg, ""},
        {"53 m", kDeg, kDeg, ""},          {"53", kDeg, kDeg, ""},
        {"53 F", kDeg, kDeg, "US Voeten"}, {"53 FT", kDeg, kDeg, "Schakels"}};
    for (const auto& [line, before, after, unit] : cases) {
        const Outcome run = ReadRaw(Lines(line + std::string("|62 P 1 2")), Options(false),
                                    Outcome{{}, {}, {before}, {}});
        EXPECT_EQ(run.unit.value, after) << line;
        EXPECT_EQ(run.ui.messages,
                  std::vector<std::string>(!unit.empty(),
                                           "Eenheid voor afstanden staat ingesteld op: " + unit));
        EXPECT_EQ(run.points.Last(), 1u) << "reading goes on after " << line;
    }
}

TEST(FieldFileReader, InputOfAllKinds) {
    using namespace std::string_literals;
    const std::pair<std::string, std::string> cases[] = {
        {"x 111.0 A 1 100 1\nx 1.11E2 B 2 100 1\n", ">A:1/100 >B:2/100"},
        {"x 111.5 A 1 100 1\nx -111 A\nx -0 A\nthis is a comment\nx 1e999 A\n", ""},
        {"x 111 A 1 100 1\nx\n\n   \nlonely\n", ">A:1/100"},  // one word: no record
        {"x 111 A 1 100 1\rx 111 B 2 100 1\r\nx 111 C 3 100 1", ">A:1/100 >B:2/100 >C:3/100"},
        {"", ""},
        {"x 101 A\0B 0 0\nx 112 C\0 1 2"s, "A\0B>C\0:1/0"s},
        {"x 111 " + std::string((1 << 20) - 64, 'w') + "Z 1 100 1", ">WWWWWWWWW:1/100"},
        {"x 22 1e308\nx 61 P 1e308 -1e308 1\nx 160 1e308 1e308\nx 111 A -0 1e308 1e-320\n",
         ">A:-0/1e+308"},
    };
    for (const auto& [text, sequence] : cases) {
        // The observations are emptied to their placeholder first.
        const Outcome run = ReadRaw(text, Options(false), Outcome{{}, ObservationTable(5), {}, {}});
        ASSERT_FALSE(run.obs.empty());
        EXPECT_EQ(run.obs[0].Station, std::string(9, '\0'));
        EXPECT_EQ(Sequence(run.obs), sequence) << text.substr(0, 80);
    }
}

// A set-up with a reference, two face-1 readings, a new target height, a face-2 reading of P1.
const std::string kWorkedExample =
    "101 ST1 1.50 1.30|102 ST1 1.50 1.30 P1 0|111 P1 0 100 50 K1|111 P2 100 99.5 60 K1|"
    "105 1.60|111 P1 200 300 50 K1";

TEST(Gathering, ObservationsWithFace2ReducedOrSeparated) {
    const std::tuple<ExportOptions, std::string, const char*> cases[] = {
        {Options(true), kWorkedExample, "ST1>P1:0/-1 ST1>P1:0/100 ST1>P2:100/99.5 ST1>P1:0/100"},
        {Options(false), kWorkedExample,
         "ST1>P1:0/-1 ST1>P1:200/300 ST1>P1:0/-1 ST1>P1:0/100 ST1>P2:100/99.5"},
        {Options(true), "102 S 0 0 R 0|111 A 50 250 1 K1", "S>R:0/-1 S>A:250/150"},
        {Options(true), "102 S 0 0 R 0|111 A 300 250 1 K1", "S>R:0/-1 S>A:100/150"},
        {Options(false), "102 S 0 0 R 0|111 A 5 200 1 K1", "S>R:0/-1 S>A:5/200"},  // 200 is face 1
        {Options(false),
         "102 S 0 0 R 0|111 A 0 100 1|111 B 0 100 1|111 X 0 300 1|111 Y 0 300 1|111 C 0 100",
         "S>R:0/-1 S>X:0/300 S>Y:0/300 S>R:0/-1 S>A:0/100 S>B:0/100 S>C:0/100"},
        // No station record to stand behind: kept where it was read.
        {Options(false), "101 S 0 0|111 X 1 300 1", "S>X:1/300"},
        // Record 101 leaves the block of the earlier set-up open.
        {Options(false), "102 S 0 0 R 0|111 A 0 100 1|111 X 0 300 1|101 T 0 0|111 Y 0 300 1",
         "S>R:0/-1 S>X:0/300 T>Y:0/300 S>R:0/-1 S>A:0/100"},
        // Without a code the observation is taken; without a zenith it keeps the previous one.
        {Options(false), "101 S|111 A 10 100 5|111 B 20", "S>A:10/100 S>B:20/100"},
        // Nothing selected: set-up records still arrive.
        {Options(false, {}),
         "102 S 0 0 R 0|103 S 0 0 Z 7 8|107 S 0 0 R 1|108 S 0 0 Z 9 1|111 A 0 100 1 K1",
         "S>R:0/-1 S>Z:8/0 S>R:1/-1 S>Z:1/0"},
        // A zenith of exactly -1 read from the file counts as a station record.
        {Options(false), "102 S 0 0 R 0|111 A 0 100 1|111 M 0 -1 1|111 X 0 300 1",
         "S>R:0/-1 S>A:0/100 S>M:0/-1 S>X:0/300 S>M:0/-1"},
    };
    for (const auto& [options, lines, sequence] : cases)
        EXPECT_EQ(Sequence(Read(lines, options).obs), sequence) << lines;
    // Heights as they stood when each reading was read.
    const Outcome run = Read(kWorkedExample, Options(false));
    EXPECT_EQ(Num(run.obs[1].InstrumentHeight) + " " + Num(run.obs[1].TargetHeight), "1.5 1.3");
    EXPECT_EQ(Num(run.obs[2].TargetHeight) + " " + Num(run.obs[2].Distance), "1.6 50");
}

TEST(Gathering, CodeSelection) {
    std::vector<std::string> sixteenth(16, "");
    sixteenth[15] = "Q";
    const std::tuple<const char*, std::vector<std::string>, bool> cases[] = {
        {"-K12", {"K1"}, true},  {"K12", {"k1"}, false}, {"K1", {" K1 "}, true},
        {"--K1", {"K1"}, false}, {"K", {"K1"}, false},   {"QZ", sixteenth, true},
        {"-K1", {"-K"}, false}};
    for (const auto& [code, entries, selected] : cases)
        EXPECT_EQ(IsCodeSelected(code, Options(false, entries).SelCode), selected) << code;
}

TEST(Gathering, RoundSets) {
    const std::string mismatch = "Mismatch in aantallen waarnemingen voor standplaats: ST1      ";
    const std::tuple<const char*, const char*, bool> cases[] = {
        // Later rounds run back and forth over the first's names; a backwards one opens set "0".
        {"160 3 3|111 A|111 B|111 C|111 A|8*111 Z|161", "A B C A 0 A C B A A B C A", false},
        {"160 1 4|112 A|112 B|6*112 Z|161", "A B 0 B A A B 0 B A", false},
        // A list of positions 0 and 1 only: later names are never read outside it.
        {"160 0 3|111 P|111 Q|111 R|161", "P P R", false},
        {"160 3 2|7*111 Z|161", "Z Z Z Z 0 Z Z Z", true},
        {"160 3 2|8*111 Z|161", "Z Z Z Z 0 Z Z Z Z", false},
        {"111 A|161", "A", false},             // end without a start
        {"160 0 1|111 Z|161|161", "Z", true},  // a second end checks again
        {"160 1 2|4*111 Z|161|160 1E6 1|112 C|112 D|161", "Z Z 0 Z Z C D", false},
        {"160 -5 2|111 A|161", "A", false},                     // no list: only counted
        {"160 -2 2|111 A|161", "0 A", true},                    // empty list never matches
        {"160 1 2|112 A|112 B|112|112 X", "A B 0 _ A", false},  // a missing name stays missing
        {"160 30000 1|111 A|161", "A", true},
    };
    for (const auto& [lines, targets, message] : cases) {
        const Outcome run = Read(std::string("101 ST1 0 0|") + lines);
        EXPECT_EQ(Sequence(run.obs, true), targets) << lines;
        EXPECT_EQ(run.ui.messages, std::vector<std::string>(message, mismatch)) << lines;
    }
    // Wrapping would make 40000 observations a mismatch; 32767 rounds of one match. Lines of 128
    // bytes: the progress number is the index of the line, shown not more than every 64 lines.
    const Outcome run = Read("101 S 0 0|160 0 32767|40000*112 A" + std::string(119, ' ') + "|161");
    EXPECT_TRUE(run.ui.messages.empty());
    EXPECT_LE(run.ui.progress.size(), 40002 / 64 + 1);
    EXPECT_EQ(run.ui.progress.at(0), "Inlezen Werkbestand: 0");
    EXPECT_EQ(run.ui.progress.back(), "Inlezen Werkbestand: 40000") << "the end is always shown";
    EXPECT_EQ(run.ui.amounts.back().first, run.ui.amounts.back().second);
}

// The plain way: the table itself, shifted entry by entry behind the last station record.
class LiteralStore : public ObservationStore {
  public:
    void Append(const ObservationRecord& record) override { table_.push_back(record); }
    bool HasStationRecord() const override {
        return std::any_of(table_.begin() + 1, table_.end(),
                           [](auto& r) { return r.Zenith == -1; });
    }
    void PlaceFace2(const ObservationRecord& record, bool blockOpen) override {
        std::size_t from = table_.size() - 1, to = from + (blockOpen ? 1 : 2);
        table_.resize(to + 1);
        for (;; --from) {
            table_[to--] = table_[from];
            if (table_[from].Zenith == -1) break;
        }
        table_[to] = record;
    }
    ObservationTable Take() override { return std::move(table_); }

  private:
    ObservationTable table_{ObservationPlaceholder()};
};

TEST(ObservationStore, SplitStoreMatchesTheShiftingTable) {
    std::mt19937 random(20240611);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const char* zeniths[] = {"100", "300", "-1", "-5", "200", "250", "401"};
    const char* codes[] = {" K1", " X", ""};
    const auto tie = [](const ObservationRecord& r) {
        return std::tie(r.Station, r.Target, r.InstrumentHeight, r.TargetHeight, r.Azimuth,
                        r.Direction, r.Zenith, r.Distance, r.Distance2);
    };
    for (int trial = 0; trial < 300; ++trial) {
        std::string lines;
        for (int i = 1 + pick(120); i > 0; --i) {
            const std::string k = std::to_string(pick(4)), dir = ' ' + std::to_string(pick(400));
            const std::string reading =
                "111 T" + k + dir + ' ' + zeniths[pick(7)] + " 7" + codes[pick(3)];
            // clang-format off
            const std::string choices[] = {"101 S" + k + " 1 2", "102 S" + k + " 1 2 T" + k + dir,
                "103 S" + k + " 1 2 T" + k + " 5" + dir, "105 " + k, "112 T" + k + dir + " 5 0 K1",
                "161", reading, reading, "160 " + k + ' ' + std::to_string(pick(4))};
            // clang-format on
            lines += choices[pick(9)] + '|';
        }
        const std::string text = Lines(lines);
        const ExportOptions options = Options(pick(2) == 0);
        const auto read = [&](ObservationStore&& store) {
            Outcome run;
            LineReader reader;
            reader.OpenText(text);
            ReadFieldRecords(reader, options, run.points, store, run.unit, run.ui);
            return store.Take();
        };
        const ObservationTable fast = read(SplitObservationStore()), plain = read(LiteralStore());
        ASSERT_EQ(fast.size(), plain.size()) << text;
        for (std::size_t i = 0; i < fast.size(); ++i)
            ASSERT_TRUE(tie(fast[i]) == tie(plain[i])) << "entry " << i << " of\n" << text;
    }
}

// The first entry of each name against a plain search, while the table grows and after reordering.
TEST(PointTable, FindsTheFirstEntryOfEveryName) {
    std::mt19937 rng(7);
    PointTable points;
    const auto literal = [&](const std::string& name) {
        for (std::size_t i = 1; i <= points.Last(); ++i)
            if (points[i].Name == name) return i;
        return std::size_t{0};
    };
    for (int i = 0; i < 3000; ++i) {
        const std::string name = FitName9("N" + std::to_string(rng() % 700));
        if (rng() % 3 == 0) points.Append(PointRecord{name});
        ASSERT_EQ(points.FindFirst(name), literal(name)) << i;
        if (i % 1000 == 999) {
            std::shuffle(points.Entries().begin() + 1, points.Entries().end(), rng);
            points.Reindex();
        }
    }
}

}  // namespace
}  // namespace talvik::testing
