#pragma once
// For the field-file and project tests and the export benchmark: the reader run over text.

#include <algorithm>
#include <charconv>
#include <string>
#include <string_view>
#include <vector>

#include "fieldfile/FieldFileReader.h"
#include "support/RecordingUi.h"
#include "text/Text.h"

namespace talvik::testing {

struct Outcome {
    PointTable points;
    ObservationTable obs;
    AngleUnitState unit;
    RecordingUi ui;
};

inline ExportOptions Options(bool face2to1, std::vector<std::string> codes = {"K1"}) {
    ExportOptions options;
    options.Face2to1 = face2to1;
    options.SelCode.fill("");
    std::copy(codes.begin(), codes.end(), options.SelCode.begin() + 1);
    return options;
}

inline Outcome ReadRaw(std::string_view text, const ExportOptions& options = Options(false),
                       Outcome run = {}) {
    LineReader reader;
    reader.OpenText(text);
    ReadFieldFile(reader, options, run.points, run.obs, run.unit, run.ui);
    return run;
}

// Lines separated by "|", each with `prefix` (word 0 of a field file) in front and CR LF behind;
// "8*line" stands for eight such lines.
inline std::string Lines(std::string_view lines, std::string_view prefix = "7 ") {
    std::string text;
    for (std::size_t start = 0, end = 0; start <= lines.size(); start = end + 1) {
        end = std::min(lines.find('|', start), lines.size());
        std::string_view line = lines.substr(start, end - start);
        const std::size_t star = line.find('*');
        int times = 1;
        if (star != line.npos && star > 0 && line.find_first_not_of("0123456789") == star) {
            times = static_cast<int>(NumericValue(line.substr(0, star)));
            line.remove_prefix(star + 1);
        }
        while (times-- > 0)
            text.append(prefix).append(line).append("\r\n");
    }
    return text;
}

inline Outcome Read(std::string_view lines, const ExportOptions& options = Options(false)) {
    return ReadRaw(Lines(lines), options);
}

inline std::string Num(double value) {
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

// "NAME x y z" for each point after the placeholder, "*" for known coordinates, "-" if unused.
inline std::string Points(const std::vector<PointRecord>& entries) {
    std::string out;
    for (std::size_t i = 1; i < entries.size(); ++i) {
        const PointRecord& p = entries[i];
        out += std::string(i > 1 ? "; " : "") + std::string(TrimBlanks(p.Name)) + " " + Num(p.X) +
               " " + Num(p.Y) + " " + Num(p.Z) + (p.HasCoordinates ? "*" : "") +
               (p.IsUsed ? "" : "-");
    }
    return out;
}

// "STATION>TARGET:direction/zenith" for each record after the placeholder; with `targetsOnly`
// just the targets, "_" for a blank one.
inline std::string Sequence(const ObservationTable& obs, bool targetsOnly = false) {
    std::string out;
    for (std::size_t i = 1; i < obs.size(); ++i) {
        const std::string target(TrimBlanks(obs[i].Target)), station(TrimBlanks(obs[i].Station));
        out += (i > 1 ? " " : "") + (targetsOnly
                                         ? target.empty() ? "_" : target
                                         : station + ">" + target + ":" + Num(obs[i].Direction) +
                                               "/" + Num(obs[i].Zenith));
    }
    return out;
}

}  // namespace talvik::testing
