#include "project/ProjectValues.h"

#include "text/Text.h"

namespace talvik {

std::optional<ProjectValues> MakeProjectValues(const ExportOptions& options) {
    const std::string_view project = TrimBlanks(options.Projectfile);
    if (project.size() < 4) return std::nullopt;
    ProjectValues v;
    v.Version = options.Version;
    v.VersionHeader = options.Version == 1 ? "KORVU  V1.0    " : "KORVU  V3.0.0  ";
    v.DimensionSuffix = options.Version == 1 ? "" : "  3D";
    v.ProjectBasePath = std::string(project.substr(0, project.size() - 4));
    v.NetworkName = ToUpper(v.ProjectBasePath);
    v.DirectionSigmaText = " " + options.AbsHor + " " + options.RelHor + " ";
    v.DistanceSigmaText = " " + options.AbsDis + " " + options.RelDis + " ";
    v.ZenithSigmaText = " " + options.AbsVer + " " + options.RelVer + " ";
    return v;
}

std::string_view AngleUnitName(AngleUnit angleUnit) {
    switch (angleUnit) {
        case AngleUnit::DegreesMinutesSeconds:
            return "DMS";
        case AngleUnit::DecimalDegrees:
            return "DEG";
        case AngleUnit::Gon:
            return "GON";
    }
    return {};
}

}  // namespace talvik
