#include "project/CoordinateFile.h"

#include <algorithm>
#include <cstdint>
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

}  // namespace

void WriteCoordinateHeader(OutputFile& file, const ProjectValues& values) {
    file.Line(values.VersionHeader + "TCO file");
    file.Line("$ NETWORK NAME");
    file.Line(values.NetworkName);
    file.Line("$");
    file.Line("PROJECTION     RD");
    file.Line("$");
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

void SortPointsByName(PointTable& points, const std::vector<NameKey>& sortedFirst) {
    std::vector<PointRecord>& entries = points.Entries();
    const std::size_t n = entries.size() - 1;
    if (n < 2) return;

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
    std::vector<std::size_t> groupStart;  // first slot of each rank in `members`
    for (std::size_t k = 0; k < n; ++k) {
        if (k == 0 || !byName[k - 1].SameName(byName[k])) groupStart.push_back(k);
        rank[byName[k].entry] = static_cast<std::uint32_t>(groupStart.size() - 1);
    }
    byName = {};
    const std::size_t distinct = groupStart.size();
    groupStart.push_back(n);

    // Members of each rank in original order, and for every entry the number of entries with a
    // smaller name before it. Entries of smaller names in total: groupStart of the rank.
    std::vector<std::uint32_t> members(n);
    std::vector<std::size_t> fill(groupStart.begin(), groupStart.end() - 1);
    std::vector<std::uint32_t> smallerBefore(n + 1, 0);
    Fenwick seen(distinct);
    for (std::uint32_t i = 1; i <= n; ++i) {
        members[fill[rank[i]]++] = i;
        smallerBefore[i] = seen.Prefix(rank[i]);
        seen.Add(rank[i], 1);
    }

    std::vector<PointRecord> sorted;
    sorted.reserve(n + 1);
    sorted.push_back(std::move(entries[0]));
    std::vector<std::size_t> insertAt;
    std::vector<std::uint32_t> slots;
    for (std::size_t r = 0; r < distinct; ++r) {
        const std::uint32_t* member = members.data() + groupStart[r];
        const std::size_t m = groupStart[r + 1] - groupStart[r];
        if (m == 1) {
            sorted.push_back(std::move(entries[member[0]]));
            continue;
        }
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
            sorted.push_back(std::move(entries[slots[(head + k) % m]]));
    }
    entries = std::move(sorted);
    points.Reindex();
}

void RemoveDuplicateNames(PointTable& points) {
    std::vector<PointRecord>& e = points.Entries();
    for (std::size_t i = 2; i < e.size(); ++i) {
        if (e[i].Name != e[i - 1].Name) continue;
        if (e[i].HasCoordinates) std::swap(e[i - 1], e[i]);
        e[i].IsUsed = false;
    }
}

void OrderForCoordinateFile(PointTable& points, const std::vector<NameKey>& sortedFirst) {
    SortPointsByName(points, sortedFirst);
    // Exchanges of equal names keep the first index of every name, so the index stays valid.
    RemoveDuplicateNames(points);
}

bool WriteCoordinateFile(OutputFile& file, PointTable& points, UserInterface& ui) {
    OrderForCoordinateFile(points);
    return WriteCoordinateLines(file, points, ui);
}

bool WriteCoordinateLines(OutputFile& file, const PointTable& points, UserInterface& ui) {
    BodyLines body(file, ui, "Opslaan Co\xF6rdinaten: ", points.Last());
    for (std::size_t i = 1; i <= points.Last(); ++i) {
        const PointRecord& p = points[i];
        if (!p.IsUsed) continue;
        const std::string_view format = p.HasCoordinates ? kKnownNumberFormat : kNumberFormat;
        std::string& out = file.Buffer();
        out.append("  ");
        out.append(p.Name.data(), Name9::kSize);
        out.append("  ");
        AppendValue(out, p.X, format);
        out.append("  ");
        AppendValue(out, p.Y, format);
        out.append("  ");
        AppendValue(out, p.Z, format);
        body.EndLine(i);
    }
    return body.Finish();
}

}  // namespace talvik
