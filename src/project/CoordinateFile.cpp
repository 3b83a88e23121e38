#include "project/CoordinateFile.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>

#include "project/NumberFormat.h"
#include "text/Text.h"

namespace talvik {

namespace {

// Counts over positions 0 .. size-1 with prefix sums and search by rank.
class Fenwick {
  public:
    explicit Fenwick(std::size_t size) : tree_(size + 1, 0) {}
    // Every position holds 1.
    void FillOnes() {
        for (std::size_t i = 1; i < tree_.size(); ++i)
            tree_[i] = static_cast<std::uint32_t>(i & (~i + 1));
    }
    void Add(std::size_t pos, std::int32_t delta) {
        for (std::size_t i = pos + 1; i < tree_.size(); i += i & (~i + 1))
            tree_[i] = static_cast<std::uint32_t>(static_cast<std::int64_t>(tree_[i]) + delta);
    }
    // Sum over positions 0 .. count-1.
    std::uint32_t Prefix(std::size_t count) const {
        std::uint32_t sum = 0;
        for (std::size_t i = count; i > 0; i -= i & (~i + 1))
            sum += tree_[i];
        return sum;
    }
    // The position p with Prefix(p) == k and a 1 at p (the k-th one, from 0).
    std::size_t FindKth(std::uint32_t k) const {
        std::size_t pos = 0;
        std::size_t step = 1;
        while (step * 2 < tree_.size())
            step *= 2;
        for (; step > 0; step /= 2) {
            if (pos + step < tree_.size() && tree_[pos + step] <= k) {
                pos += step;
                k -= tree_[pos];
            }
        }
        return pos;
    }

  private:
    std::vector<std::uint32_t> tree_;
};

// Counts of ranks 0 .. size-1 kept per rank, per 64 ranks and per 4096 ranks: adding is three
// increments, a prefix sum at most some 180 additions over memory that stays in the cache.
// Cheaper than a Fenwick tree here, where every entry is added and only a few ask.
class RankCounts {
  public:
    explicit RankCounts(std::size_t size)
        : one_(size, 0), block_((size >> 6) + 1, 0), super_((size >> 12) + 1, 0) {}
    void Add(std::uint32_t rank) {
        ++one_[rank];
        ++block_[rank >> 6];
        ++super_[rank >> 12];
    }
    // Sum over ranks 0 .. rank-1.
    std::uint32_t Prefix(std::uint32_t rank) const {
        std::uint32_t sum = 0;
        for (std::uint32_t s = 0; s < rank >> 12; ++s)
            sum += super_[s];
        for (std::uint32_t b = (rank >> 12) << 6; b < rank >> 6; ++b)
            sum += block_[b];
        for (std::uint32_t k = (rank >> 6) << 6; k < rank; ++k)
            sum += one_[k];
        return sum;
    }

  private:
    std::vector<std::uint32_t> one_;
    std::vector<std::uint32_t> block_;
    std::vector<std::uint32_t> super_;
};

}  // namespace

void WriteCoordinateHeader(OutputFile& file, const ProjectValues& values) {
    file.Line(values.VersionHeader + "TCO file");
    file.Line("$ NETWORK NAME");
    file.Line(values.NetworkName);
    file.Line("$");
    file.Line("PROJECTION     RD");
    file.Line("$");
}

std::vector<NameKey> NameKeys(const PointTable& points, std::size_t from, std::size_t to) {
    std::vector<NameKey> keys;
    keys.reserve(to >= from ? to - from + 1 : 0);
    for (std::size_t i = from; i <= to; ++i)
        keys.push_back(
            NameKey{points[i].Name.Head(), points[i].Name.Last(), static_cast<std::uint32_t>(i)});
    return keys;
}

void SortNameKeys(std::vector<NameKey>& keys) {
    // Entries of one name may end up in any order among themselves: only their ranks count.
    std::sort(keys.begin(), keys.end());
}

// How the exchange sort treats the entries of one name K: walking the table in its original
// order, the K entries form a block; a K entry joins the block at its back, and every entry
// with a smaller name met while the block is not empty moves the block's front entry to its
// back. The block at the end is the final order of the K entries.
//
// Here the block is kept as an array P with a head index h (the block reads P[h..] + P[..h]):
// joining inserts at index h, a rotation advances h. The rotations between two K entries are
// counted at once from prefix counts of smaller names, and the inserts are replayed backwards
// over a count of free slots to find where each entry ends up.
std::vector<std::uint32_t> OrderByName(const PointTable& points,
                                       const std::vector<NameKey>& sortedFirst,
                                       std::vector<NameRun>* runs) {
    const std::size_t n = points.Last();
    std::vector<std::uint32_t> order(n);
    std::iota(order.begin(), order.end(), std::uint32_t{1});
    if (n < 2) return order;

    // Rank of every entry among the distinct names, the names sorted as numbers beside the
    // entry numbers.
    using Key = NameKey;
    std::vector<Key> byName;
    if (!sortedFirst.empty() && sortedFirst.size() <= n) {
        std::vector<Key> later = NameKeys(points, sortedFirst.size() + 1, n);
        SortNameKeys(later);
        byName.resize(n);
        std::merge(sortedFirst.begin(), sortedFirst.end(), later.begin(), later.end(),
                   byName.begin());
    } else {
        byName = NameKeys(points, 1, n);
        SortNameKeys(byName);
    }
    std::vector<std::uint32_t> rank(n + 1, 0);
    std::vector<std::uint32_t> groupStart;  // first slot of each rank in `members`
    groupStart.reserve(n + 1);
    for (std::uint32_t k = 0; k < n; ++k) {
        if (k == 0 || !byName[k - 1].SameName(byName[k])) groupStart.push_back(k);
        rank[byName[k].entry] = static_cast<std::uint32_t>(groupStart.size() - 1);
    }
    byName = {};
    const std::size_t distinct = groupStart.size();
    groupStart.push_back(static_cast<std::uint32_t>(n));
    std::vector<std::uint8_t> repeated(distinct);
    for (std::size_t r = 0; r < distinct; ++r)
        repeated[r] = groupStart[r + 1] - groupStart[r] > 1;

    // Members of each rank in original order, and for every entry of a repeated name the
    // number of entries with a smaller name before it. Entries of smaller names in total:
    // groupStart of the rank.
    std::vector<std::uint32_t> members(n);
    std::vector<std::uint32_t> fill(groupStart.begin(), groupStart.end() - 1);
    std::vector<std::uint32_t> smallerBefore(n + 1, 0);
    RankCounts seen(distinct);
    for (std::uint32_t i = 1; i <= n; ++i) {
        const std::uint32_t r = rank[i];
        members[fill[r]++] = i;
        if (repeated[r] != 0) smallerBefore[i] = seen.Prefix(r);
        seen.Add(r);
    }

    std::size_t placed = 0;
    std::vector<std::size_t> insertAt;
    std::vector<std::uint32_t> slots;
    for (std::size_t r = 0; r < distinct; ++r) {
        const std::uint32_t* member = members.data() + groupStart[r];
        const std::size_t m = groupStart[r + 1] - groupStart[r];
        if (m == 1) {
            order[placed++] = member[0];
            continue;
        }
        if (runs != nullptr)
            runs->push_back(
                {static_cast<std::uint32_t>(placed), static_cast<std::uint32_t>(placed + m)});
        const auto smallerTotal = static_cast<std::uint32_t>(groupStart[r]);
        insertAt.assign(m, 0);
        std::size_t size = 0;
        std::size_t head = 0;
        for (std::size_t t = 0; t < m; ++t) {
            insertAt[t] = head;
            ++size;
            head = (head + 1) % size;
            const std::uint32_t next = t + 1 < m ? smallerBefore[member[t + 1]] : smallerTotal;
            const std::uint32_t rotations = next - smallerBefore[member[t]];
            head = (head + rotations % size) % size;
        }
        // Replay the inserts from the last: each takes the free slot at its insert index.
        slots.assign(m, 0);
        Fenwick free(m);
        free.FillOnes();
        for (std::size_t t = m; t-- > 0;) {
            const std::size_t slot = free.FindKth(static_cast<std::uint32_t>(insertAt[t]));
            slots[slot] = member[t];
            free.Add(slot, -1);
        }
        for (std::size_t k = 0; k < m; ++k)
            order[placed++] = slots[(head + k) % m];
    }
    return order;
}

void RemoveDuplicateNames(PointTable& points, std::vector<std::uint32_t>& order,
                          const std::vector<NameRun>& runs) {
    for (const NameRun& run : runs) {
        for (std::size_t k = run.begin + 1; k < run.end; ++k) {
            if (points[order[k]].HasCoordinates) std::swap(order[k - 1], order[k]);
            points[order[k]].IsUsed = false;
        }
    }
}

std::vector<std::uint32_t> OrderForCoordinateFile(PointTable& points,
                                                  const std::vector<NameKey>& sortedFirst,
                                                  const std::function<void()>& beforeChange) {
    points.Seal();
    std::vector<NameRun> runs;
    std::vector<std::uint32_t> order = OrderByName(points, sortedFirst, &runs);
    if (beforeChange) beforeChange();
    RemoveDuplicateNames(points, order, runs);
    return order;
}

bool WriteCoordinateLines(OutputFile& file, const PointTable& points,
                          const std::vector<std::uint32_t>& order, UserInterface& ui) {
    BodyLines body(file, ui, "Opslaan Co\xF6rdinaten: ", order.size());
    std::string line(64 + 3 * kMaxNumberText, ' ');
    for (std::size_t k = 0; k < order.size(); ++k) {
        // The entries are visited in name order, all over the table: the one some places
        // ahead is fetched meanwhile.
        constexpr std::size_t kAhead = 8;
        if (k + kAhead < order.size()) {
            const PointRecord* ahead = &points[order[k + kAhead]];
#if defined(__GNUC__)
            __builtin_prefetch(ahead);
#else
            (void)ahead;
#endif
        }
        const PointRecord& p = points[order[k]];
        if (!p.IsUsed) continue;
        // Known coordinates carry the mark of kKnownNumberFormat.
        const std::string_view mark = p.HasCoordinates ? "*" : "";
        char* at = line.data();
        const auto put = [&at](std::string_view text) {
            std::memcpy(at, text.data(), text.size());
            at += text.size();
        };
        put("  ");
        put(p.Name.View());
        for (const double value : {p.X, p.Y, p.Z}) {
            put("  ");
            at = WriteValue(at, value);
            put(mark);
        }
        file.Buffer().append(line.data(), static_cast<std::size_t>(at - line.data()));
        body.EndLine(k + 1);
    }
    return body.Finish();
}

}  // namespace talvik
