#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "project/CoordinateFile.h"
#include "project/LiteralOrder.h"
#include "text/Text.h"

namespace talvik {
namespace {

PointRecord Entry(const std::string& name, double x, bool known = false, bool used = true) {
    PointRecord p;
    p.Name = FitName9(name);
    p.X = x;
    p.HasCoordinates = known;
    p.IsUsed = used;
    return p;
}

TEST(PointOrder, NamesCompareAsPaddedTextsOfUnsignedBytes) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"P1", "2", "10"}, "10 2 P1 "},
        {{"P10", "p1", "P1"}, "P1 P10 p1 "},
        {{"\xE0", "\x80", "Z", "\xA0"}, "Z \x80 \xA0 \xE0 "},
        {{}, ""},
    };
    for (const auto& [names, expected] : cases) {
        PointTable t;
        for (const auto& name : names)
            t.Append(Entry(name, 0));
        SortPointsByName(t);
        std::string order;
        for (std::size_t i = 1; i <= t.Last(); ++i)
            order += std::string(TrimBlanks(t[i].Name)) + " ";
        EXPECT_EQ(order, expected);
    }
}

TEST(PointOrder, MatchesTheExchangeSortOnRandomTables) {
    std::mt19937 rng(20240611);
    for (int round = 0; round < 4000; ++round) {
        const std::size_t size = rng() % 61, alphabet = 1 + rng() % 6;
        PointTable t;
        for (std::size_t i = 0; i < size; ++i) {
            // Names from a small alphabet so that they repeat; some share a prefix.
            std::string name(1, static_cast<char>('A' + rng() % alphabet));
            if (rng() % 4 == 0) name += static_cast<char>('0' + rng() % 2);
            if (rng() % 16 == 0) name = "\x9A" + name;
            PointRecord p = Entry(name, static_cast<double>(i), rng() % 2, rng() % 3);
            p.Y = static_cast<double>(rng() % 1000) / 8;
            p.Z = -p.X;
            t.Append(p);
        }
        std::vector<PointRecord> expected = t.Entries();
        testing::LiteralExchangeSort(expected);
        SortPointsByName(t);
        ASSERT_EQ(t.Entries().size(), expected.size());
        for (std::size_t i = 1; i < expected.size(); ++i) {
            const PointRecord &a = t[i], &b = expected[i];
            ASSERT_TRUE(a.Name == b.Name && a.X == b.X && a.Y == b.Y && a.Z == b.Z &&
                        a.HasCoordinates == b.HasCoordinates && a.IsUsed == b.IsUsed)
                << "round " << round << " entry " << i;
            const std::size_t first = t.FindFirst(a.Name);
            ASSERT_TRUE(first >= 1 && first <= i && t[first].Name == a.Name);
        }
    }
}

TEST(DuplicateNames, KnownCoordinatesWinAndEachEntryLooksOnlyAtItsPredecessor) {
    struct Case {
        std::vector<PointRecord> in;
        std::string expected;  // X and IsUsed per entry afterwards
    };
    const std::vector<Case> cases = {
        {{Entry("1001", 0, false), Entry("1001", 1, true)}, "1+ 0-"},
        {{Entry("1001", 0, true), Entry("1001", 1, false)}, "0+ 1-"},
        {{Entry("1001", 0, true), Entry("1001", 1, true)}, "1+ 0-"},
        {{Entry("7", 0, true), Entry("7", 1, false), Entry("7", 2, true)}, "0+ 2+ 1-"},
        {{Entry("1", 0), Entry("2", 1)}, "0+ 1+"},
    };
    for (const auto& c : cases) {
        PointTable t;
        for (const auto& p : c.in)
            t.Append(p);
        RemoveDuplicateNames(t);
        std::string result;
        for (std::size_t i = 1; i <= t.Last(); ++i)
            result += (i > 1 ? " " : "") + IntText(static_cast<long long>(t[i].X)) +
                      (t[i].IsUsed ? "+" : "-");
        EXPECT_EQ(result, c.expected);
    }
}

}  // namespace
}  // namespace talvik
