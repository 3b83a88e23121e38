#include "check/CheckReading.h"

#include <string>

#include "fieldfile/FieldFileReader.h"
#include "interchange/IdexReader.h"
#include "model/Beside.h"
#include "text/LineReader.h"
#include "text/Text.h"

namespace talvik {

namespace {

// The second reading shows nothing: the export's reading has shown its messages already.
struct Silent final : UserInterface {
    Answer Message(std::string_view, Buttons, Icon, std::string_view) override {
        return Answer::Ok;
    }
    void Progress(std::string_view) override {}
    void Yield() override {}
};

}  // namespace

std::optional<CheckReport> CheckFiles(const ExportOptions& options, UserInterface& ui) {
    PointTable points;
    if (options.IdexFile && !options.IdexFile->empty()) ReadIdexFile(*options.IdexFile, points, ui);
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
    points.Seal();
    return check.Run(points, known, ChoicesFrom(options, unit.value));
}

void ExportCheck::FieldFileRead(const PointTable& points, std::size_t knownPoints, AngleUnit unit) {
    const CheckChoices choices = ChoicesFrom(options_, unit);
    if (!options_.Face2to1 || unit == AngleUnit::Gon) {
        for (std::size_t i = 1; i <= points.Last(); ++i)
            points_.AppendUnindexed(points[i]);
        running_ = RunBeside(
            [this, knownPoints, choices] { return check_.Run(points_, knownPoints, choices); });
        return;
    }
    PointTable own;
    for (std::size_t i = 1; i <= knownPoints; ++i)
        own.AppendUnindexed(points[i]);
    LineReader field;
    if (!field.Open(std::string(TrimBlanks(options_.Fieldfile)))) return;
    ExportOptions reading = options_;
    reading.Face2to1 = false;
    NetworkCheck check;
    AngleUnitState state;
    Silent silent;
    ReadFieldFile(field, reading, own, check, state, silent);
    own.Seal();
    report_ = check.Run(own, knownPoints, choices);
}

const std::optional<CheckReport>& ExportCheck::Report() const {
    if (running_.valid()) report_ = running_.get();
    return report_;
}

}  // namespace talvik
