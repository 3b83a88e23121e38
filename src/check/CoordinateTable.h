#pragma once
// The check's coordinates as a table: every known and placed point, the adjusted values where
// the adjustment ran, with their standard deviations.

#include <string>

#include "check/NetworkCheck.h"

namespace talvik {

// "punt,x,y,h,sx,sy,sh" and a line per point (metres, decimal point, names in Windows-1252 as
// the files have them, quoted when they hold a comma or a quote), lines ended CR LF. A height
// or a standard deviation that is not known is left empty.
std::string CoordinateTable(const CheckReport& report);
// The same table with tabs between the cells, for a spreadsheet through the clipboard (a tab,
// CR or LF in a name becomes a blank; no quotes).
std::string CoordinateTabText(const CheckReport& report);

// Writes the table through a replacing file: the target is the old file or the whole new one.
// False with `problem` (Dutch) when it could not be written.
bool WriteCoordinateTable(const CheckReport& report, const std::string& path, std::string& problem);

}  // namespace talvik
