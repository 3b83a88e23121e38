#include "project/ProjectFile.h"

#include <array>
#include <string>

#include "project/ProjectValues.h"
#include "text/Text.h"

namespace talvik {

void WriteProjectHeader(OutputFile& file, std::string_view versionHeader,
                        std::string_view projectBasePath) {
    file.Line(std::string(versionHeader) + "PRJ FILE");
    file.Line("$ NETWORK NAME");
    file.Line(ToUpper(projectBasePath));
    file.Line("$ INCLUDED FILE TYPES");
    file.Line("TERCOORD       YES");
    file.Line("GPSCOORD       NO");
    file.Line("TEROBSERV      YES");
    file.Line("GPSOBSERV      NO");
    file.Line("$ GEOMETRY PARAMETERS");
    file.Line("DIMENSION      2");
    file.Line("PROJECTION     RD");
    file.Line("ELLIPSOID      BESSEL_1841");
    file.Line("PROJSCALEFAC   0.99990790");
    file.Line("FALSEEASTING   155000.000");
    file.Line("FALSENORTHING  463000.000");
    file.Line("$ ADJUSTMENT PARAMETERS");
    file.Line("ADJDESIGN      ADJUST");
    file.Line("PHASE          2");
}

void WriteProjectAngleUnit(OutputFile& file, AngleUnit angleUnit) {
    file.Line(std::string("ANGLEUNIT      ") + std::string(AngleUnitName(angleUnit)));
}

bool WriteProjectTail(OutputFile& file, const ExportOptions& options) {
    struct Sigma {
        std::string_view keyword;  // 19 characters
        const std::string& text;
    };
    const std::array<Sigma, 10> sigmas = {{
        {"SigmaAbsR          ", options.AbsHor},
        {"SigmaRelR          ", options.RelHor},
        {"SigmaAbsS          ", options.AbsDis},
        {"SigmaRelS          ", options.RelDis},
        {"SigmaAbsZ          ", options.AbsVer},
        {"SigmaRelZ          ", options.RelVer},
        {"SigmaLatLon        ", options.SDXY},
        {"SigmaHgt           ", options.SDZ},
        {"SigmaCentr         ", options.SigmaCent},
        {"SigmaInstr         ", options.SigmaInst},
    }};
    file.Line("$ PRECISION AND TESTING PARAMETERS");
    file.Line("$ DEFAULT STANDARD DEVIATIONS");
    // The texts go out exactly as entered (leading blanks kept); blank ones give no line.
    for (const auto& sigma : sigmas)
        if (!TrimBlanks(sigma.text).empty()) file.Line(std::string(sigma.keyword) + sigma.text);
    file.Line("$ ADDITIONAL PARAMETERS");
    file.Line("$ PRINT OUTPUT SWITCHES");
    file.Line("$");
    return file.Close();
}

}  // namespace talvik
