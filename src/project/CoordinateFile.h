#pragma once
// The terrestrial coordinate file (.TCO): the used points in order of name, one line per name,
// known coordinates marked with "*".

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
void SortPointsByName(PointTable& points);

// On sorted entries: of two neighbours with the same name the later one is dropped (IsUsed
// cleared), after the two have been exchanged when the later one has known coordinates.
void RemoveDuplicateNames(PointTable& points);

// Sorts, drops duplicates, writes a line per used entry and the closing "$"; closes the file.
// Progress goes to `ui`. False when anything written to the file failed.
bool WriteCoordinateFile(OutputFile& file, PointTable& points, UserInterface& ui);

}  // namespace talvik
