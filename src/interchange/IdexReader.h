#pragma once
// Reads the POINTS table of an IDEX file into the point table (emptied first).

#include <string>

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

}  // namespace talvik
