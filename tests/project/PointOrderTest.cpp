#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "fieldfile/Tables.h"
#include "project/CoordinateFile.h"
#include "project/LiteralOrder.h"
#include "text/Text.h"

namespace talvik {
namespace {

using testing::LiteralExchangeSort;

bool SameEntries(const std::vector<PointRecord>& a, const std::vector<PointRecord>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].Name != b[i].Name || a[i].X != b[i].X || a[i].Y != b[i].Y || a[i].Z != b[i].Z ||
            a[i].HasCoordinates != b[i].HasCoordinates || a[i].IsUsed != b[i].IsUsed)
            return false;
    return true;
}

PointTable TableOf(const std::vector<std::string>& names) {
    PointTable t;
    for (std::size_t i = 0; i < names.size(); ++i) {
        PointRecord p;
        p.Name = FitName9(names[i]);
        p.X = static_cast<double>(i);
        t.Append(p);
    }
    return t;
}

std::vector<std::string> NamesOf(const PointTable& t) {
    std::vector<std::string> names;
    for (std::size_t i = 1; i <= t.Last(); ++i)
        names.emplace_back(TrimBlanks(t[i].Name));
    return names;
}

TEST(PointOrder, NamesCompareAsPaddedByteTexts) {
    struct Case {
        std::vector<std::string> in, out;
    };
    const std::vector<Case> cases = {
        {{"P1", "2", "10"}, {"10", "2", "P1"}},
        {{"P10", "p1", "P1"}, {"P1", "P10", "p1"}},
        // Bytes are unsigned: 0x80-0x9F sort below 0xA0-0xFF, and all of them after ASCII.
        {{"\xE0", "\x80", "Z", "\xA0"}, {"Z", "\x80", "\xA0", "\xE0"}},
        {{}, {}},
        {{"ONE"}, {"ONE"}},
    };
    for (const auto& c : cases) {
        PointTable t = TableOf(c.in);
        SortPointsByName(t);
        EXPECT_EQ(NamesOf(t), c.out);
    }
}

TEST(PointOrder, EqualNamesEndUpWhereTheExchangesLeaveThem) {
    // B1 B2 A: comparing B1 with A exchanges them (A B2 B1), so the equal names swap places.
    PointTable t = TableOf({"B", "B", "A"});
    SortPointsByName(t);
    EXPECT_EQ(NamesOf(t), (std::vector<std::string>{"A", "B", "B"}));
    EXPECT_EQ(t[2].X, 1.0);
    EXPECT_EQ(t[3].X, 0.0);
    EXPECT_EQ(t.FindFirst(FitName9("B")), 2u);
}

TEST(PointOrder, MatchesTheExchangeSortOnRandomTables) {
    std::mt19937 rng(20240611);
    for (int round = 0; round < 4000; ++round) {
        const std::size_t size = rng() % 61;
        const std::size_t alphabet = 1 + rng() % 6;
        PointTable t;
        for (std::size_t i = 0; i < size; ++i) {
            PointRecord p;
            // Short names from a small alphabet so that they repeat; some share a prefix.
            std::string name(1, static_cast<char>('A' + rng() % alphabet));
            if (rng() % 4 == 0) name += static_cast<char>('0' + rng() % 2);
            if (rng() % 16 == 0) name = "\x9A" + name;
            p.Name = FitName9(name);
            p.X = static_cast<double>(i);
            p.Y = static_cast<double>(rng() % 1000) / 8;
            p.Z = -static_cast<double>(i);
            p.HasCoordinates = rng() % 2 == 0;
            p.IsUsed = rng() % 3 != 0;
            t.Append(p);
        }
        std::vector<PointRecord> expected = t.Entries();
        LiteralExchangeSort(expected);
        SortPointsByName(t);
        ASSERT_TRUE(SameEntries(t.Entries(), expected)) << "round " << round << " size " << size;
        for (std::size_t i = 1; i <= t.Last(); ++i)
            ASSERT_LE(t.FindFirst(t[i].Name), i);
    }
}

TEST(PointOrder, ManyEqualNamesInALargeTable) {
    // Long blocks of one name with many rotations between them.
    std::mt19937 rng(7);
    PointTable t;
    for (int i = 0; i < 2000; ++i) {
        PointRecord p;
        p.Name =
            FitName9(rng() % 3 == 0 ? "K" : std::string(1, static_cast<char>('A' + rng() % 12)));
        p.X = i;
        t.Append(p);
    }
    std::vector<PointRecord> expected = t.Entries();
    LiteralExchangeSort(expected);
    SortPointsByName(t);
    EXPECT_TRUE(SameEntries(t.Entries(), expected));
}

TEST(DuplicateNames, KnownCoordinatesWinAndEachEntryLooksOnlyAtItsPredecessor) {
    struct Entry {
        std::string name;
        bool known;
    };
    struct Case {
        std::string what;
        std::vector<Entry> in;
        // Expected after removal: (X of the entry, IsUsed) per position.
        std::vector<std::pair<double, bool>> out;
    };
    const std::vector<Case> cases = {
        {"unknown first, known second", {{"1001", false}, {"1001", true}}, {{1, true}, {0, false}}},
        {"known first, unknown second", {{"1001", true}, {"1001", false}}, {{0, true}, {1, false}}},
        {"both known: the later one is kept",
         {{"1001", true}, {"1001", true}},
         {{1, true}, {0, false}}},
        {"three: the middle one without coordinates is dropped",
         {{"7", true}, {"7", false}, {"7", true}},
         {{0, true}, {2, true}, {1, false}}},
        {"different names stay", {{"1", false}, {"2", false}}, {{0, true}, {1, true}}},
    };
    for (const auto& c : cases) {
        PointTable t;
        for (std::size_t i = 0; i < c.in.size(); ++i) {
            PointRecord p;
            p.Name = FitName9(c.in[i].name);
            p.X = static_cast<double>(i);
            p.HasCoordinates = c.in[i].known;
            p.IsUsed = true;
            t.Append(p);
        }
        RemoveDuplicateNames(t);
        ASSERT_EQ(t.Last(), c.out.size()) << c.what;
        for (std::size_t i = 0; i < c.out.size(); ++i) {
            EXPECT_EQ(t[i + 1].X, c.out[i].first) << c.what << " at " << i + 1;
            EXPECT_EQ(t[i + 1].IsUsed, c.out[i].second) << c.what << " at " << i + 1;
        }
    }
}

}  // namespace
}  // namespace talvik
