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
    AngleUnitState unit;
    // The readings are combined as they come, in the unit the file ends with.
    NetworkCheck check(ChoicesFrom(options, FinalAngleUnit(field, unit.value)));
    field.Rewind();
    ExportOptions reading = options;
    reading.Face2to1 = false;
    ReadFieldFile(field, reading, points, check, unit, ui);
    points.Seal();
    return check.Run(points, known);
}

void ExportCheck::FieldFileStarts(AngleUnit unit) {
    if (!options_.Face2to1 || unit == AngleUnit::Gon) check_.emplace(ChoicesFrom(options_, unit));
}

void ExportCheck::FieldFileRead(const PointTable& points, std::size_t knownPoints, AngleUnit unit) {
    if (check_) {
        check_->Adopt(points, knownPoints);
        running_ = RunBeside([this] { return check_->Run(); });
        return;
    }
    PointTable own;
    for (std::size_t i = 1; i <= knownPoints; ++i)
        own.AppendUnindexed(points[i]);
    LineReader field;
    if (!field.Open(std::string(TrimBlanks(options_.Fieldfile)))) return;
    ExportOptions reading = options_;
    reading.Face2to1 = false;
    NetworkCheck check(ChoicesFrom(options_, unit));
    AngleUnitState state;
    Silent silent;
    ReadFieldFile(field, reading, own, check, state, silent);
    own.Seal();
    report_ = check.Run(own, knownPoints);
}

const std::optional<CheckReport>& ExportCheck::Report() const {
    if (running_.valid()) report_ = running_.get();
    return report_;
}

}  // namespace talvik
