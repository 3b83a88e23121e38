#pragma once
// The conversion of one field file into a package project (.PRJ, .OBS or .TOB, .TCO), as a
// pipeline of named steps (FieldFileConversion's members, in this order):
//
//   OpenFieldFile     the field file (one that can be read only once is read whole first);
//                     the quick angle-unit pass starts beside the caller, who reads the known
//                     points meanwhile
//   LockProject       one run per project; a commit an earlier run left is finished or undone
//   MayReplace        the question whether an existing project may go
//   OpenOutputs       the three files under temporary names, with their headers
//   GatherAndWrite    the field file read and gathered; the observation lines are written on
//                     the writing thread as the records become final
//   WriteCoordinates  the points in name order, the project file's tail
//   Commit            the three files in place together, or none of them
//   Summarize / ReportFailure

#include <chrono>
#include <future>
#include <optional>
#include <string>
#include <vector>

#include "fieldfile/FieldFileReader.h"
#include "fieldfile/Gathering.h"
#include "model/ConversionSummary.h"
#include "model/ConversionWatcher.h"
#include "model/ExportOptions.h"
#include "model/Tables.h"
#include "platform/FileReplace.h"
#include "platform/InputFile.h"
#include "platform/UserInterface.h"
#include "project/CoordinateFile.h"
#include "project/ObservationFile.h"
#include "project/ObservationRelay.h"
#include "project/OutputFile.h"
#include "project/ProjectCommit.h"
#include "project/ProjectValues.h"
#include "text/LineReader.h"

namespace talvik {

enum class ConversionOutcome {
    Finished,             // the whole project was written
    WriteFailed,          // a file could not be written completely (named in one message, with
                          // the reason); no file of the project was replaced
    FieldFileMissing,     // "Kavrin FIELD file niet gevonden; Afgebroken." was shown
    ProjectKept,          // the user kept an existing project
    ProjectPathTooShort,  // refused before any file was touched
    InputRefused,         // an input cannot be read as text (a message said why); nothing written
    ProjectBusy           // another run writes the same project; nothing written
};

// How long a run waits for another run on the same project to end.
inline constexpr std::chrono::milliseconds kProjectLockWait{5000};

class FieldFileConversion {
  public:
    // Opens the field file and starts the look-ahead. `points` holds the known points when Run
    // starts (the caller reads them meanwhile); the conversion extends it, marks repeated names
    // unused and writes it in name order (the entries stay in their places).
    FieldFileConversion(const ExportOptions& options, PointTable& points, UserInterface& ui);
    ~FieldFileConversion();
    FieldFileConversion(const FieldFileConversion&) = delete;
    FieldFileConversion& operator=(const FieldFileConversion&) = delete;

    // The whole run. `angleUnit` is set by the field file and stays set after the run;
    // `summary`, when given, receives what the run wrote. Running out of memory ends the run
    // like a failed file.
    ConversionOutcome Run(AngleUnitState& angleUnit, ConversionSummary* summary = nullptr);

    // `watcher` sees every record the observation file gets, on the writing thread, and then
    // the points and the angle unit of the same reading (the network check).
    void SetWatcher(ConversionWatcher* watcher) { watcher_ = watcher; }

    // Called between the steps of the commit (tests stop the process there).
    void SetCommitHook(CommitStepHook hook) { commitHook_ = std::move(hook); }

  private:
    ConversionOutcome Steps(AngleUnitState& angleUnit);
    void OpenFieldFile();
    bool LockProject();
    bool MayReplace();
    bool OpenOutputs();
    AngleUnit FinalAngleUnit(AngleUnitState& angleUnit);
    bool GatherAndWrite(AngleUnitState& angleUnit, AngleUnit unit);
    void WriteCoordinates();
    void LetGoOfTables();
    bool Commit();
    void Summarize(ConversionSummary& summary) const;
    void ReportFailure();

    const ExportOptions& options_;
    PointTable& points_;
    UserInterface& ui_;
    std::optional<ProjectValues> values_;
    std::size_t knownPoints_ = 0;
    std::size_t lastPoint_ = 0;  // the table's last entry once it has been let go
    bool watcherWaits_ = false;  // for TablesLetGo
    void TellTablesLetGo();

    // The field file, and the quick pass over it beside the caller.
    LineReader field_;
    std::string fieldPath_;
    InputOpening fieldOpening_ = InputOpening::Missing;
    std::string fieldProblem_;
    std::optional<AngleUnitLookAhead> lookAhead_;

    FileLock lock_;
    std::future<void> oldDropped_;
    OutputFile project_, observation_, coordinate_;
    std::optional<ObservationWriter> writer_;
    // The observation file's writer, with the watcher beside it when there is one: both get the
    // batches the reading hands over, on the writing thread.
    class WatchedWriter final : public BesideWriter {
      public:
        WatchedWriter(BesideWriter& writer, ConversionWatcher& watcher)
            : writer_(writer), watcher_(watcher) {}
        void Put(const ObservationRecord& record) override {
            writer_.Put(record);
            watcher_.Put(record);
        }
        void PutMany(std::span<const ObservationRecord> records) override {
            writer_.PutMany(records);
            watcher_.PutMany(records);
        }
        bool Close() override { return writer_.Close(); }

      private:
        BesideWriter& writer_;
        ConversionWatcher& watcher_;
    };
    ConversionWatcher* watcher_ = nullptr;
    bool tableLent_ = false;  // the watcher may be reading the point table
    void ReturnTable();
    std::optional<WatchedWriter> watched_;
    std::optional<ObservationRelay> relay_;  // the writing thread
    std::future<void> knownSorted_;          // the known names put in order beside the reading
    std::vector<NameKey> knownOrder_;
    GatheringCounts counts_;
    bool written_[3] = {false, false, false};  // project, observation, coordinate file
    std::string commitFailure_;                // the message line of a failed commit
    CommitStepHook commitHook_;
};

}  // namespace talvik
