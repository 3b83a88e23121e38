#pragma once
// Values fixed at the start of a conversion and shared by the three project writers.

#include <optional>
#include <string>
#include <string_view>

#include "model/ExportOptions.h"
#include "model/Tables.h"

namespace talvik {

struct ProjectValues {
    int Version = 3;                 // 1 writes .TOB files, anything else .OBS files
    std::string VersionHeader;       // 15 characters
    std::string DimensionSuffix;     // "" or "  3D"
    std::string ProjectBasePath;     // the project file without its last four characters
    std::string NetworkName;         // ProjectBasePath in upper case
    std::string DirectionSigmaText;  // appended to direction and azimuth items (version 3)
    std::string DistanceSigmaText;   // appended to distance items (version 3)
    std::string ZenithSigmaText;     // appended to zenith items (version 3)

    std::string ProjectPath() const { return ProjectBasePath + ".PRJ"; }
    std::string ObservationPath() const {
        return ProjectBasePath + (Version == 1 ? ".TOB" : ".OBS");
    }
    std::string CoordinatePath() const { return ProjectBasePath + ".TCO"; }
};

// Empty when the project file name (without its surrounding blanks) is shorter than the four
// characters of an extension.
std::optional<ProjectValues> MakeProjectValues(const ExportOptions& options);

// "DMS", "DEG" or "GON".
std::string_view AngleUnitName(AngleUnit angleUnit);

}  // namespace talvik
