#pragma once
// The terrestrial coordinate file (.TCO): the used points in order of name, one line per name,
// known coordinates marked with "*".

#include <cstdint>
#include <vector>

#include "model/Tables.h"
#include "platform/UserInterface.h"
#include "project/OutputFile.h"
#include "project/ProjectValues.h"

namespace talvik {

// The six header lines, written when the file is created.
void WriteCoordinateHeader(OutputFile& file, const ProjectValues& values);

// Reorders entries 1 .. last exactly as the pairwise exchange sort does ("for i < j: exchange
// when name i is greater than name j"), names compared as byte texts with unsigned bytes, in
// O(n log n). The names end up in sorted order; the order among entries of one name is the
// one the exchanges leave behind. Rebuilds the table's name index.
// `sortedFirst`, when not empty, holds the names of entries 1 .. sortedFirst.size() sorted
// ahead by SortNameKeys (while the table grew behind them), so that only the later ones are
// sorted here.
struct NameKey {
    std::uint64_t head;
    std::uint32_t last;
    std::uint32_t entry;
    bool operator<(const NameKey& o) const {
        return head != o.head ? head < o.head : last < o.last;
    }
    bool SameName(const NameKey& o) const { return head == o.head && last == o.last; }
};
void SortPointsByName(PointTable& points, const std::vector<NameKey>& sortedFirst = {});

// The names of entries from .. to (inclusive) as keys, and the keys sorted by name.
std::vector<NameKey> NameKeys(const PointTable& points, std::size_t from, std::size_t to);
void SortNameKeys(std::vector<NameKey>& keys);

// On sorted entries: of two neighbours with the same name the later one is dropped (IsUsed
// cleared), after the two have been exchanged when the later one has known coordinates.
void RemoveDuplicateNames(PointTable& points);

// SortPointsByName, then RemoveDuplicateNames: the table as the coordinate file lists it.
void OrderForCoordinateFile(PointTable& points, const std::vector<NameKey>& sortedFirst = {});

// Writes a line per used entry of an ordered table and the closing "$"; closes the file.
// Progress goes to `ui`. False when anything written to the file failed.
bool WriteCoordinateLines(OutputFile& file, const PointTable& points, UserInterface& ui);

// OrderForCoordinateFile, then WriteCoordinateLines.
bool WriteCoordinateFile(OutputFile& file, PointTable& points, UserInterface& ui);

}  // namespace talvik
