#include "project/Conversion.h"

#include <string>
#include <vector>

#include "fieldfile/FieldFileReader.h"
#include "project/CoordinateFile.h"
#include "project/ObservationFile.h"
#include "project/OutputFile.h"
#include "project/ProjectFile.h"
#include "project/ProjectValues.h"
#include "text/LineReader.h"
#include "text/Text.h"

namespace talvik {

ConversionOutcome ConvertFieldFile(const ExportOptions& options, PointTable& points,
                                   AngleUnitState& angleUnit, UserInterface& ui,
                                   ConversionSummary* summary) {
    (void)summary;  // filled by a later change
    const std::optional<ProjectValues> values = MakeProjectValues(options);
    if (!values) {
        Inform(ui, "Ongeldige naam voor het KORVU Project: " +
                       std::string(TrimBlanks(options.Projectfile)));
        return ConversionOutcome::ProjectPathTooShort;
    }

    LineReader field;
    if (!field.Open(std::string(TrimBlanks(options.Fieldfile)))) {
        Inform(ui, "Kavrin FIELD file niet gevonden; Afgebroken.");
        return ConversionOutcome::FieldFileMissing;
    }

    // Only the project file itself decides whether a project exists.
    if (FileIsReadable(values->ProjectPath()) &&
        ui.Message("KORVU Project bestaat reeds! Oude project verwijderen?", Buttons::OkCancel,
                   Icon::None, kAppTitle) == Answer::Cancel)
        return ConversionOutcome::ProjectKept;

    OutputFile project;
    project.Open(values->ProjectPath());
    WriteProjectHeader(project, values->VersionHeader, values->ProjectBasePath);
    OutputFile observation;
    observation.Open(values->ObservationPath());
    WriteObservationHeader(observation, *values);
    OutputFile coordinate;
    coordinate.Open(values->CoordinatePath());
    WriteCoordinateHeader(coordinate, *values);

    // The observation lines are written while the field file is read, so the observations are
    // never held all at once; their angles are written in the unit the file ends with, which
    // a first quick pass finds.
    const AngleUnit unit = FinalAngleUnit(field, angleUnit.value);
    field.Rewind();
    WriteProjectAngleUnit(project, unit);
    WriteObservationAngleUnit(observation, unit);
    ObservationLines lines(observation, *values, unit, ui);
    ReadFieldFile(field, options, points, lines, angleUnit, ui);
    field.Close();
    const bool observationOk = lines.Finish();
    const bool coordinateOk = WriteCoordinateFile(coordinate, points, ui);
    const bool projectOk = WriteProjectTail(project, options);

    // A failed write does not stop the run; the files that could not be written are named
    // once at its end.
    std::string failures;
    const auto report = [&failures](bool ok, const std::string& path) {
        if (ok) return;
        if (!failures.empty()) failures += "\r\n";
        failures += "Fout bij het schrijven van: " + path;
    };
    report(projectOk, project.Path());
    report(observationOk, observation.Path());
    report(coordinateOk, coordinate.Path());
    if (!failures.empty()) ui.Message(failures, Buttons::Ok, Icon::Critical, kAppTitle);
    return ConversionOutcome::Finished;
}

}  // namespace talvik
