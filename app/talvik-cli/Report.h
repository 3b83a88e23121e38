#pragma once
// Texts of talvik-cli's own lines: the summary after a finished export and the progress line
// on a terminal.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/ConversionSummary.h"

namespace talvik::cli {

// The notes after a finished export: one per file with its size, then one with the counts;
// none when the summary names no file.
std::vector<std::string> SummaryNotes(const ConversionSummary& summary);

// The note after a written import.
std::string ImportNote(std::string_view idexPath, std::uint64_t bytes, long long points);

// The terminal progress line: the text, then a bar and the percentage of done/total when the
// total is known. The text is already converted for the terminal.
std::string ProgressLine(std::string_view text, std::uint64_t done, std::uint64_t total);

// Whole percent of done/total, 0 to 100; -1 when the total is unknown (0).
int Percent(std::uint64_t done, std::uint64_t total);

}  // namespace talvik::cli
