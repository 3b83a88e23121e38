#include "project/Conversion.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "fieldfile/FieldFileReader.h"
#include "fieldfile/Gathering.h"
#include "model/Beside.h"
#include "platform/FileSync.h"
#include "project/CoordinateFile.h"
#include "project/ObservationFile.h"
#include "project/ObservationRelay.h"
#include "project/OutputFile.h"
#include "project/ProjectFile.h"
#include "project/ProjectValues.h"
#include "text/LineReader.h"
#include "text/Text.h"

namespace talvik {

namespace {

bool Replaceable(const std::string& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    return !std::filesystem::exists(status) ||
           (status.permissions() & std::filesystem::perms::owner_write) !=
               std::filesystem::perms::none;
}

// The writer's records handed to a watcher as well.
struct Tee final : ObservationSink {
    Tee(ObservationSink& first, ConversionWatcher* second) : first(first), second(second) {}
    void Put(const ObservationRecord& record) override {
        first.Put(record);
        second->Put(record);
    }
    ObservationSink& first;
    ConversionWatcher* second;
};

}  // namespace

ConversionOutcome ConvertFieldFile(const ExportOptions& options, PointTable& points,
                                   AngleUnitState& angleUnit, UserInterface& ui,
                                   ConversionSummary* summary, AngleUnitLookAhead* lookAhead,
                                   ConversionWatcher* watcher) {
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

    // The files of an older project are about to be replaced: their cached data is let go
    // beside the reading, so that the replacement does not have to free it at the end.
    const std::future<void> oldDropped = RunBeside([&values] {
        for (const std::string& path :
             {values->ProjectPath(), values->ObservationPath(), values->CoordinatePath()})
            DropCachedData(path);
    });

    // The three files are written under temporary names and put in place only when all three
    // are complete, the project file last: until then an older project stays as it was.
    OutputFile project;
    project.Open(values->ProjectPath());
    WriteProjectHeader(project, values->VersionHeader, values->ProjectBasePath);
    OutputFile observation;
    observation.Open(values->ObservationPath());
    WriteObservationHeader(observation, *values);
    OutputFile coordinate;
    coordinate.Open(values->CoordinatePath());
    WriteCoordinateHeader(coordinate, *values);

    const std::size_t knownPoints = points.Last();
    GatheringCounts counts;
    // The observation lines are written while the field file is read, so the observations are
    // never held all at once; their angles are written in the unit the file ends with, which
    // a first quick pass finds (made beside the reading of the IDEX file when it could be).
    std::optional<AngleUnit> ahead;
    if (lookAhead != nullptr) ahead = lookAhead->Final(angleUnit.value);
    if (!ahead) {
        ahead = FinalAngleUnit(field, angleUnit.value);
        field.Rewind();
    }
    const AngleUnit unit = *ahead;
    // The names of the known points are put in order beside the reading; the coordinate file
    // then only has to sort the names the field file adds.
    std::vector<NameKey> knownOrder = NameKeys(points, 1, knownPoints);
    std::future<void> knownSorted = RunBeside([&knownOrder] { SortNameKeys(knownOrder); });
    WriteProjectAngleUnit(project, unit);
    WriteObservationAngleUnit(observation, unit);
    // The lines are formatted and written on a second thread while this one reads; the points
    // are put in order meanwhile, before the final counts are shown in the order of the files.
    ObservationLines lines(observation, *values, unit, ui);
    bool observationWritten = false;
    Tee tee(lines, watcher);
    ObservationRelay relay(watcher != nullptr ? static_cast<ObservationSink&>(tee) : lines,
                           [&] { observationWritten = lines.CloseFile(); });
    ReadFieldFile(field, options, points, relay, angleUnit, ui, &counts);
    field.Close();
    const std::size_t readPoints = points.Last();
    knownSorted.get();
    const std::vector<std::uint32_t> order = OrderForCoordinateFile(points, knownOrder);
    relay.Finish();
    if (watcher != nullptr) watcher->FieldFileRead(points, knownPoints, angleUnit.value);
    lines.ShowLast();
    const bool coordinateWritten = WriteCoordinateLines(coordinate, points, order, ui);
    const bool projectWritten = WriteProjectTail(project, options);

    // In the order of the message; a file marked read-only is not replaced, as on systems
    // that refuse to.
    struct Part {
        OutputFile& file;
        bool ok;
    };
    std::array<Part, 3> parts = {
        {{project, projectWritten && Replaceable(project.Path())},
         {observation, observationWritten && Replaceable(observation.Path())},
         {coordinate, coordinateWritten && Replaceable(coordinate.Path())}}};
    bool complete = std::all_of(parts.begin(), parts.end(), [](const Part& p) { return p.ok; });
    // The project file goes last: it is what makes a folder hold a project. The old files are
    // held open meanwhile, so that the three renames follow each other closely.
    const FileHold oldProject(project.Path()), oldObservation(observation.Path()),
        oldCoordinate(coordinate.Path());
    for (const std::size_t i : {1, 2, 0}) {
        if (!complete) break;
        complete = parts[i].ok = parts[i].file.Commit();
    }

    if (summary != nullptr) {
        for (const OutputFile* file : {&project, &observation, &coordinate})
            summary->files.push_back({file->Path(), file->Size(), file->Committed()});
        summary->setUps = lines.StationRecords();
        summary->observations = lines.ObservationLineCount();
        summary->knownPoints = static_cast<long long>(knownPoints);
        summary->newPoints = static_cast<long long>(readPoints - knownPoints);
        summary->roundSets = counts.roundSets;
        summary->mismatches = counts.mismatches;
    }
    if (complete) return ConversionOutcome::Finished;

    // The files that could not be written are named in one message; the others are dropped
    // with them, unplaced (the destructors remove what is left).
    std::string failures;
    for (const Part& part : parts) {
        if (part.ok) continue;
        if (!failures.empty()) failures += "\r\n";
        failures += "Fout bij het schrijven van: " + part.file.Path();
    }
    ui.Message(failures, Buttons::Ok, Icon::Critical, kAppTitle);
    return ConversionOutcome::WriteFailed;
}

}  // namespace talvik
