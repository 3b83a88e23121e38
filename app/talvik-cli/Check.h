#pragma once
// talvik-cli check, and the findings and sketch of `talvik-cli export --check / --sketch`.

#include <string>
#include <vector>

#include "CliUserInterface.h"
#include "check/NetworkCheck.h"

namespace talvik::cli {

// Exit status of the check: 0 no finding is an error (warnings allowed), 1 errors or a file
// that could not be read or written, 2 usage error.
int CheckCommand(const std::vector<std::string>& words, CliUserInterface& ui);

// The findings one per line on `out` ("fout: ..." / "waarschuwing: ..."), the scales of the
// free set-ups, and a count line.
void PrintFindings(const CheckReport& report, std::FILE* out);

// Writes the sketch as SVG; false (with a note) when the file could not be written.
// `fieldFile` gives the sketch its title.
bool WriteSketch(const CheckReport& report, const std::string& path, CliUserInterface& ui,
                 std::string_view fieldFile = {});

}  // namespace talvik::cli
