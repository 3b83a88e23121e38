#pragma once
// Reads the POINTS table of an IDEX file into the point table (emptied first).

#include <string>
#include <vector>

#include "model/Tables.h"
#include "platform/UserInterface.h"
#include "text/LineReader.h"

namespace talvik {

// A file that cannot be opened is reported by name and leaves the table empty. False (with a
// message, the table empty) when the input cannot be read as text: a pipe without end, a line
// longer than a reader takes; a missing file is not such a failure.
bool ReadIdexFile(const std::string& path, PointTable& points, UserInterface& ui);

// The same over an already opened input (a file or a text in memory).
bool ReadIdexFile(LineReader& input, PointTable& points, UserInterface& ui);

// One point of an IDEX file as a comparison reads it: the identifier trimmed and upper-cased
// but whole (not cut to nine characters), the coordinate fields as texts (empty when the file
// has no such column).
struct IdexPoint {
    std::string name;
    std::string east;
    std::string north;
    std::string elevation;
};

enum class IdexPointsReading { Read, Missing, Unreadable };

// Reads the POINTS table as ReadIdexFile does, with two differences: the names of the column
// list may have blanks around them (as in the files the import writes), and identifiers stay
// whole. Quiet: shows no message (only the progress of the reading); `problem` says why a file
// was Unreadable, or names a header without its end (the points are read all the same).
IdexPointsReading ReadIdexPoints(const std::string& path, std::vector<IdexPoint>& points,
                                 UserInterface& ui, std::string& problem);
IdexPointsReading ReadIdexPoints(LineReader& input, std::vector<IdexPoint>& points,
                                 UserInterface& ui, std::string& problem);

}  // namespace talvik
