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

// Shows the refusal messages for an empty (blanks only) layer and/or code; true when both hold
// text.
bool CheckImportInput(std::string_view layer, std::string_view code, UserInterface& ui);

// Converts without checking layer and code. Layer and code are written exactly as given.
// `pointsWritten`, when given, receives the number of point lines written.
ImportOutcome ConvertCoordinateFile(std::string_view layer, std::string_view code,
                                    const std::string& corPath, const std::string& idexPath,
                                    UserInterface& ui, int* pointsWritten = nullptr);

// CheckImportInput, then ConvertCoordinateFile.
ImportOutcome RunImport(std::string_view layer, std::string_view code, const std::string& corPath,
                        const std::string& idexPath, UserInterface& ui);

}  // namespace talvik
