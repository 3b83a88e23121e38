#include "Report.h"

namespace talvik::cli {

namespace {

constexpr int kBarCells = 20;

// "1 set-up", "3 set-ups".
std::string Count(long long n, std::string_view one, std::string_view many) {
    return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

}  // namespace

std::vector<std::string> SummaryNotes(const ConversionSummary& summary) {
    std::vector<std::string> notes;
    if (summary.files.empty()) return notes;  // the run wrote nothing to report on
    for (const WrittenFile& file : summary.files) {
        notes.push_back((file.complete ? "wrote " : "incomplete: ") + file.path + " (" +
                        Count(static_cast<long long>(file.bytes), "byte", "bytes") + ")");
    }
    notes.push_back(Count(summary.setUps, "set-up", "set-ups") + ", " +
                    Count(summary.observations, "observation", "observations") + ", " +
                    Count(summary.knownPoints + summary.newPoints, "point", "points") + " (" +
                    std::to_string(summary.knownPoints) + " known from the IDEX file, " +
                    std::to_string(summary.newPoints) + " new), " +
                    Count(summary.roundSets, "round set", "round sets") + ", " +
                    Count(summary.mismatches, "mismatch", "mismatches"));
    return notes;
}

std::string ImportNote(std::string_view idexPath, std::uint64_t bytes, long long points) {
    return "wrote " + std::string(idexPath) + " (" +
           Count(static_cast<long long>(bytes), "byte", "bytes") + ", " +
           Count(points, "point", "points") + ")";
}

int Percent(std::uint64_t done, std::uint64_t total) {
    if (total == 0) return -1;
    if (done >= total) return 100;
    // done < total, so done * 100 / total fits as long as done is below 2^57; above that the
    // quotient is taken first.
    if (done < (std::uint64_t{1} << 57)) return static_cast<int>(done * 100 / total);
    return static_cast<int>(done / (total / 100 + 1));
}

std::string ProgressLine(std::string_view text, std::uint64_t done, std::uint64_t total) {
    std::string line(text);
    const int percent = Percent(done, total);
    if (percent < 0) return line;
    const int filled = percent * kBarCells / 100;
    line += "  [";
    line.append(static_cast<std::size_t>(filled), '#');
    line.append(static_cast<std::size_t>(kBarCells - filled), ' ');
    line += "] ";
    const std::string number = std::to_string(percent);
    line.append(3 - number.size(), ' ');
    line += number;
    line += '%';
    return line;
}

}  // namespace talvik::cli
