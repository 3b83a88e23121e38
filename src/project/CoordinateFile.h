#pragma once
// The terrestrial coordinate file (.TCO): the used points in order of name, one line per name,
// known coordinates marked with "*".

#include <cstdint>
#include <functional>
#include <vector>

#include "model/Tables.h"
#include "platform/UserInterface.h"
#include "project/OutputFile.h"
#include "project/ProjectValues.h"

namespace talvik {

// The six header lines, written when the file is created.
void WriteCoordinateHeader(OutputFile& file, const ProjectValues& values);

struct NameKey {
    std::uint64_t head;
    std::uint32_t last;
    std::uint32_t entry;
    bool operator<(const NameKey& o) const {
        return head != o.head ? head < o.head : last < o.last;
    }
    bool SameName(const NameKey& o) const { return head == o.head && last == o.last; }
};
// The places of a run of one name (two entries or more) in an order.
struct NameRun {
    std::uint32_t begin;
    std::uint32_t end;  // one past the last place
};

// The order in which the pairwise exchange sort ("for i < j: exchange when name i is greater
// than name j", names compared as byte texts with unsigned bytes) leaves entries 1 .. last, found
// in O(n log n): order[k] is the entry that ends up at place k + 1. The names end up in sorted
// order; the order among entries of one name is the one the exchanges leave behind.
// `sortedFirst`, when not empty, holds the names of entries 1 .. sortedFirst.size() sorted ahead
// by SortNameKeys (while the table grew behind them), so that only the later ones are sorted here.
// `runs`, when given, receives the runs of one name.
std::vector<std::uint32_t> OrderByName(const PointTable& points,
                                       const std::vector<NameKey>& sortedFirst = {},
                                       std::vector<NameRun>* runs = nullptr);

// The names of entries from .. to (inclusive) as keys, and the keys sorted by name.
std::vector<NameKey> NameKeys(const PointTable& points, std::size_t from, std::size_t to);
void SortNameKeys(std::vector<NameKey>& keys);

// Of two neighbours in a run of one name in `order` the later one is dropped (IsUsed cleared),
// after the two have been exchanged when the later one has known coordinates.
void RemoveDuplicateNames(PointTable& points, std::vector<std::uint32_t>& order,
                          const std::vector<NameRun>& runs);
// Seals the table, then OrderByName and RemoveDuplicateNames: the order in which the coordinate
// file lists the table; the entries stay where they are. `beforeChange` is called between the
// two, before anything in the table changes.
std::vector<std::uint32_t> OrderForCoordinateFile(PointTable& points,
                                                  const std::vector<NameKey>& sortedFirst = {},
                                                  const std::function<void()>& beforeChange = {});

// Writes a line per used entry in `order` and the closing "$"; closes the file. Progress goes
// to `ui`. False when anything written to the file failed.
bool WriteCoordinateLines(OutputFile& file, const PointTable& points,
                          const std::vector<std::uint32_t>& order, UserInterface& ui);

}  // namespace talvik
