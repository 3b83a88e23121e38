#include "check/CheckReading.h"

#include <string>

#include "fieldfile/FieldFileReader.h"
#include "interchange/IdexReader.h"
#include "text/LineReader.h"
#include "text/Text.h"

namespace talvik {

std::optional<CheckReport> CheckFiles(const ExportOptions& options, UserInterface& ui) {
    PointTable points;
    if (!options.IdexFile.empty()) ReadIdexFile(options.IdexFile, points, ui);
    const std::size_t known = points.Last();
    LineReader field;
    if (!field.Open(std::string(TrimBlanks(options.Fieldfile)))) {
        Inform(ui, "Kavrin FIELD file niet gevonden; Afgebroken.");
        return std::nullopt;
    }
    ExportOptions reading = options;
    reading.Face2to1 = false;
    NetworkCheck check;
    AngleUnitState unit;
    ReadFieldFile(field, reading, points, check, unit, ui);
    return check.Run(points, known, ChoicesFrom(options, unit.value));
}

}  // namespace talvik
