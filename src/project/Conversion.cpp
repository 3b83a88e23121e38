#include "project/Conversion.h"

#include <algorithm>
#include <new>

#include "model/Beside.h"
#include "platform/FileSync.h"
#include "project/ProjectFile.h"
#include "text/Text.h"

namespace talvik {

namespace {

constexpr std::string_view kWriteFailed = "Fout bij het schrijven van: ";

}  // namespace

FieldFileConversion::FieldFileConversion(const ExportOptions& options, PointTable& points,
                                         UserInterface& ui)
    : options_(options), points_(points), ui_(ui), values_(MakeProjectValues(options)) {
    if (values_) OpenFieldFile();
}

FieldFileConversion::~FieldFileConversion() {
    ReturnTable();
    TellTablesLetGo();
    // The threads end before the files they write to.
    relay_.reset();
    if (knownSorted_.valid()) knownSorted_.wait();
    if (oldDropped_.valid()) oldDropped_.wait();
}

void FieldFileConversion::OpenFieldFile() {
    fieldPath_ = std::string(TrimBlanks(options_.Fieldfile));
    try {
        fieldOpening_ = OpenInput(field_, fieldPath_, fieldProblem_);
    } catch (const std::bad_alloc&) {
        field_.Close();
        fieldOpening_ = InputOpening::Refused;
        fieldProblem_ = "onvoldoende geheugen";
    }
    // A file on the disk gets its quick pass beside the caller, over a reader of its own; one
    // read into memory has it when it is needed.
    if (fieldOpening_ == InputOpening::Opened && KindOf(fieldPath_) == EntryKind::File)
        lookAhead_.emplace(fieldPath_);
}

ConversionOutcome FieldFileConversion::Run(AngleUnitState& angleUnit, ConversionSummary* summary) {
    ConversionOutcome outcome;
    try {
        outcome = Steps(angleUnit);
    } catch (const std::bad_alloc&) {
        relay_.reset();
        for (OutputFile* file : {&project_, &observation_, &coordinate_})
            file->Discard();
        written_[0] = written_[1] = written_[2] = false;
        ui_.Message("Onvoldoende geheugen voor deze conversie; Afgebroken.", Buttons::Ok,
                    Icon::Critical, kAppTitle);
        outcome = ConversionOutcome::WriteFailed;
    }
    // A run stopped by its checks before writing leaves the summary empty.
    const bool wrote =
        outcome == ConversionOutcome::Finished || outcome == ConversionOutcome::WriteFailed;
    if (summary != nullptr && wrote) Summarize(*summary);
    return outcome;
}

ConversionOutcome FieldFileConversion::Steps(AngleUnitState& angleUnit) {
    if (!values_) {
        Inform(ui_, "Ongeldige naam voor het KORVU Project: " +
                        std::string(TrimBlanks(options_.Projectfile)));
        return ConversionOutcome::ProjectPathTooShort;
    }
    // A control character (a line break, a tab) in the project's path could break the lines
    // of the commit's journal; Windows refuses them in names anyway.
    if (std::ranges::any_of(values_->ProjectBasePath, [](char c) {
            return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
        })) {
        Inform(ui_, "Ongeldige naam voor het KORVU Project (stuurteken in de naam); Afgebroken.");
        return ConversionOutcome::ProjectPathTooShort;
    }
    if (fieldOpening_ == InputOpening::Missing) {
        Inform(ui_, "Kavrin FIELD file niet gevonden; Afgebroken.");
        return ConversionOutcome::FieldFileMissing;
    }
    if (fieldOpening_ == InputOpening::Refused) {
        Inform(ui_, RefusedInputMessage("Kavrin FIELD file", fieldPath_, fieldProblem_));
        return ConversionOutcome::InputRefused;
    }
    if (!LockProject()) {
        if (lock_.Busy()) return ConversionOutcome::ProjectBusy;
        ReportFailure();
        return ConversionOutcome::WriteFailed;
    }
    if (!MayReplace()) return ConversionOutcome::ProjectKept;
    if (!OpenOutputs()) {
        ReportFailure();
        return ConversionOutcome::WriteFailed;
    }
    knownPoints_ = points_.Last();
    const AngleUnit unit = FinalAngleUnit(angleUnit);
    if (!GatherAndWrite(angleUnit, unit)) return ConversionOutcome::InputRefused;
    WriteCoordinates();
    LetGoOfTables();
    if (!Commit()) {
        ReportFailure();
        return ConversionOutcome::WriteFailed;
    }
    return ConversionOutcome::Finished;
}

// One run at a time per project; a commit that an earlier run could not end is ended first,
// so that everything after this sees the project as a whole.
bool FieldFileConversion::LockProject() {
    if (!lock_.Acquire(LockPath(values_->ProjectBasePath), kProjectLockWait)) {
        if (lock_.Busy()) {
            Inform(ui_, "Het KORVU Project " + values_->ProjectPath() +
                            " wordt nu door een andere conversie geschreven; Afgebroken.");
        } else {
            commitFailure_ = std::string(kWriteFailed) + LockPath(values_->ProjectBasePath) + " (" +
                             lock_.Problem() + ")";
        }
        return false;
    }
    std::string problem;
    if (!RecoverProject(JournalPath(values_->ProjectBasePath), problem)) {
        commitFailure_ = std::string(kWriteFailed) + problem;
        return false;
    }
    return true;
}

// Only the project file itself decides whether a project exists.
bool FieldFileConversion::MayReplace() {
    return !(FileIsReadable(values_->ProjectPath()) &&
             ui_.Message("KORVU Project bestaat reeds! Oude project verwijderen?",
                         Buttons::OkCancel, Icon::None, kAppTitle) == Answer::Cancel);
}

bool FieldFileConversion::OpenOutputs() {
    // The files of an older project are about to be replaced: their cached data is let go
    // beside the reading, so that the replacement does not have to free it at the end.
    oldDropped_ = RunBeside([this] {
        for (const std::string& path :
             {values_->ProjectPath(), values_->ObservationPath(), values_->CoordinatePath()})
            DropCachedData(path);
    });
    project_.Open(values_->ProjectPath());
    observation_.Open(values_->ObservationPath());
    coordinate_.Open(values_->CoordinatePath());
    if (project_.Failed() || observation_.Failed() || coordinate_.Failed()) return false;
    WriteProjectHeader(project_, values_->VersionHeader, values_->ProjectBasePath);
    WriteObservationHeader(observation_, *values_);
    WriteCoordinateHeader(coordinate_, *values_);
    return true;
}

// The observation lines are written while the field file is read, so their angles are written
// in the unit the file ends with, which the quick pass finds.
AngleUnit FieldFileConversion::FinalAngleUnit(AngleUnitState& angleUnit) {
    std::optional<AngleUnit> ahead;
    if (lookAhead_) ahead = lookAhead_->Final(angleUnit.value);
    lookAhead_.reset();
    if (!ahead) {
        ahead = talvik::FinalAngleUnit(field_, angleUnit.value);
        field_.Rewind();
    }
    return *ahead;
}

// The observations go to the writing thread as they become final, so they are never held all
// at once; meanwhile the known names are put in order beside the reading, so that the
// coordinate file only has to sort the names the field file adds.
bool FieldFileConversion::GatherAndWrite(AngleUnitState& angleUnit, AngleUnit unit) {
    knownOrder_ = NameKeys(points_, 1, knownPoints_);
    knownSorted_ = RunBeside([this] { SortNameKeys(knownOrder_); });
    WriteProjectAngleUnit(project_, unit);
    WriteObservationAngleUnit(observation_, unit);
    writer_.emplace(observation_, *values_, unit);
    if (watcher_ != nullptr) {
        watcher_->FieldFileStarts(unit);
        watched_.emplace(*writer_, *watcher_);
        relay_.emplace(*watched_);
    } else {
        relay_.emplace(*writer_);
    }
    ReadFieldFile(field_, options_, points_, *relay_, angleUnit, ui_, &counts_);
    const bool tooLong = field_.LineTooLong();
    if (tooLong) Inform(ui_, LongLineMessage(fieldPath_, field_));
    field_.Close();
    knownSorted_.get();
    written_[1] = relay_->Finish();
    if (watcher_ != nullptr && !tooLong) {
        points_.Seal();
        watcher_->FieldFileRead(points_, knownPoints_, angleUnit.value);
        tableLent_ = true;
        watcherWaits_ = true;
    }
    return !tooLong;
}

// The watcher may read the point table until it changes.
void FieldFileConversion::ReturnTable() {
    if (!tableLent_) return;
    tableLent_ = false;
    watcher_->PointTableChanging();
}

void FieldFileConversion::WriteCoordinates() {
    const std::vector<std::uint32_t> order =
        OrderForCoordinateFile(points_, knownOrder_, [this] { ReturnTable(); });
    const long long lines = writer_->ObservationLineCount();
    if (lines > 0) {
        ProgressThrottle(ui_).Show(ObservationProgressText(lines),
                                   static_cast<std::uint64_t>(lines),
                                   static_cast<std::uint64_t>(lines));
    }
    written_[2] = WriteCoordinateLines(coordinate_, points_, order, ui_);
    written_[0] = WriteProjectTail(project_, options_);
}

// The files have been written from the tables: their memory is let go before the commit, which
// waits for the disk (a check running beside has it sooner).
void FieldFileConversion::LetGoOfTables() {
    lastPoint_ = points_.Last();
    points_ = PointTable();
    std::vector<NameKey>().swap(knownOrder_);
    TellTablesLetGo();
}

void FieldFileConversion::TellTablesLetGo() {
    if (!watcherWaits_) return;
    watcherWaits_ = false;
    watcher_->TablesLetGo();
}

// The project file goes last: it is what makes a folder hold a project. The old files are held
// open meanwhile, so that the renames do not wait for their data to be freed.
bool FieldFileConversion::Commit() {
    if (!written_[0] || !written_[1] || !written_[2]) return false;
    const FileHold oldProject(values_->ProjectPath()), oldObservation(values_->ObservationPath()),
        oldCoordinate(values_->CoordinatePath());
    const std::vector<CommitPart> parts = {{observation_.Path(), observation_.TemporaryPath()},
                                           {coordinate_.Path(), coordinate_.TemporaryPath()},
                                           {project_.Path(), project_.TemporaryPath()}};
    const CommitResult result =
        CommitProject(JournalPath(values_->ProjectBasePath), parts, commitHook_);
    for (OutputFile* file : {&observation_, &coordinate_, &project_})
        file->HandOver(result.done);
    if (!result.done)
        commitFailure_ =
            std::string(kWriteFailed) + result.failedTarget + " (" + result.problem + ")";
    return result.done;
}

void FieldFileConversion::Summarize(ConversionSummary& summary) const {
    for (const OutputFile* file : {&project_, &observation_, &coordinate_}) {
        summary.files.push_back({file->Path(), file->Size(), file->Committed()});
    }
    summary.setUps = writer_ ? writer_->StationRecords() : 0;
    summary.observations = writer_ ? writer_->ObservationLineCount() : 0;
    summary.knownPoints = static_cast<long long>(knownPoints_);
    summary.newPoints = static_cast<long long>(std::max(points_.Last(), lastPoint_) - knownPoints_);
    summary.roundSets = counts_.roundSets;
    summary.mismatches = counts_.mismatches;
}

// The files that could not be written are named in one message, each with the reason; the
// others are dropped with them, unplaced.
void FieldFileConversion::ReportFailure() {
    std::string failures = commitFailure_;
    if (failures.empty()) {
        for (const OutputFile* file : {&project_, &observation_, &coordinate_}) {
            if (!file->Failed()) continue;
            if (!failures.empty()) failures += "\r\n";
            failures += std::string(kWriteFailed) + file->Path() + " (" + file->Problem() + ")";
        }
    }
    for (OutputFile* file : {&project_, &observation_, &coordinate_})
        file->Discard();
    ui_.Message(failures, Buttons::Ok, Icon::Critical, kAppTitle);
}

}  // namespace talvik
