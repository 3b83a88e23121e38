#pragma once
// The import run: converts the adjusted coordinates of a package coordinate file (".cor") into
// an IDEX file that the host loads, every point on one layer with one control-point code.

#include <string>
#include <string_view>

#include "platform/UserInterface.h"

namespace talvik {

enum class ImportOutcome {
    Refused,  // layer or code empty: messages shown, nothing written
    Written,  // the IDEX file is in place
    Failed,   // a file could not be read or written: message shown, no IDEX file changed
};

// One point line as the conversion wrote it: the identifier and the coordinate texts exactly as
// written, and whether the coordinate file marked east and north, and the height, with "*" (the
// mark the export's coordinate file gives known points, which the package carries back).
struct ConvertedPoint {
    std::string_view id;
    std::string_view east;
    std::string_view north;
    std::string_view elevation;
    bool markedXY = false;
    bool markedH = false;
};

// Sees every point line the conversion writes, in order (the shift report listens here).
class ConvertedPoints {
  public:
    virtual ~ConvertedPoints() = default;
    virtual void Add(const ConvertedPoint& point) = 0;
};

// Shows the refusal messages for an empty (blanks only) layer and/or code; true when both hold
// text.
bool CheckImportInput(std::string_view layer, std::string_view code, UserInterface& ui);

// Converts without checking layer and code. Layer and code are written exactly as given.
// `pointsWritten`, when given, receives the number of point lines written; `seen`, when given,
// every point line written.
ImportOutcome ConvertCoordinateFile(std::string_view layer, std::string_view code,
                                    const std::string& corPath, const std::string& idexPath,
                                    UserInterface& ui, int* pointsWritten = nullptr,
                                    ConvertedPoints* seen = nullptr);

// CheckImportInput, then ConvertCoordinateFile.
ImportOutcome RunImport(std::string_view layer, std::string_view code, const std::string& corPath,
                        const std::string& idexPath, UserInterface& ui);

}  // namespace talvik
