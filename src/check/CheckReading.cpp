#include "check/CheckReading.h"

#include <future>
#include <memory>
#include <new>
#include <string>

#include "check/AdjustmentInput.h"
#include "fieldfile/FieldFileReader.h"
#include "fieldfile/Gathering.h"
#include "interchange/IdexReader.h"
#include "model/Beside.h"
#include "platform/InputFile.h"
#include "platform/LargeMemory.h"
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

// The field file as the export opens it: a pipe or a named pipe is read whole first. False,
// with `ui` told why, when it cannot be read.
bool OpenFieldFile(const std::string& path, LineReader& field, UserInterface& ui) {
    std::string problem;
    switch (OpenInput(field, path, problem)) {
        case InputOpening::Opened:
            return true;
        case InputOpening::Missing:
            Inform(ui, "Kavrin FIELD file niet gevonden; Afgebroken.");
            return false;
        case InputOpening::Refused:
            Inform(ui, RefusedInputMessage("Kavrin FIELD file", path, problem));
            return false;
    }
    return false;
}

// The records to the check and, one by one with their lines, to the adjustment's readings.
// The order is the export's (SplitObservationStore's): a face-2 reading goes in front of the
// records of its set-up, behind a copy of the station record when it opens the face-2 block.
class BothSinks final : public ObservationStore {
  public:
    BothSinks(NetworkCheck& check, adjustment::AdjustmentReadings& readings)
        : check_(check), readings_(readings) {}
    void AtLine(std::uint64_t line) override { line_ = static_cast<std::uint32_t>(line); }
    void Append(const ObservationRecord& record) override {
        if (record.IsSetUp()) {
            Flush();
            tail_.emplace_back(record, line_);
        } else if (tail_.empty()) {
            Put(record, line_);
        } else {
            tail_.emplace_back(record, line_);
        }
    }
    bool HasStationRecord() const override { return !tail_.empty(); }
    void PlaceFace2(const ObservationRecord& record, bool blockOpen) override {
        if (!blockOpen) Put(tail_.front().first, tail_.front().second);
        Put(record, line_);
    }
    ObservationTable Take() override {
        Flush();
        return ObservationTable{ObservationPlaceholder()};
    }
    void Flush() {
        for (const auto& [record, line] : tail_)
            Put(record, line);
        tail_.clear();
    }

  private:
    void Put(const ObservationRecord& record, std::uint32_t line) {
        check_.Put(record);
        readings_.Put(record, line);
    }
    NetworkCheck& check_;
    adjustment::AdjustmentReadings& readings_;
    std::vector<std::pair<ObservationRecord, std::uint32_t>> tail_;
    std::uint32_t line_ = 0;
};

}  // namespace

std::optional<CheckReport> CheckFiles(const ExportOptions& options, UserInterface& ui) {
    // The adjustment's tables are large beside the inputs: the heap is made ready for them at
    // once (touched in 2 MB pages, not 4 KB ones).
    MakeHeapReady(RoomForCheck(InputBytes(
        {std::string(TrimBlanks(options.Fieldfile)), options.IdexFile.value_or(std::string())})));
    PointTable points;
    if (options.IdexFile && !options.IdexFile->empty()) ReadIdexFile(*options.IdexFile, points, ui);
    const std::size_t known = points.Last();
    LineReader field;
    if (!OpenFieldFile(std::string(TrimBlanks(options.Fieldfile)), field, ui)) return std::nullopt;
    AngleUnitState unit;
    // The readings are combined as they come, in the unit the file ends with.
    const CheckChoices choices = ChoicesFrom(options, FinalAngleUnit(field, unit.value));
    NetworkCheck check(choices);
    adjustment::AdjustmentReadings readings(choices.unit);
    BothSinks both(check, readings);
    field.Rewind();
    ExportOptions reading = options;
    reading.Face2to1 = false;
    ReadFieldRecords(field, reading, points, both, unit, ui);
    both.Flush();
    points.Seal();
    CheckReport report = check.Run(points, known);
    adjustment::AddAdjustment(report, readings, choices);
    return report;
}

void ExportCheck::FieldFileStarts(AngleUnit unit) {
    if (!options_.Face2to1 || unit == AngleUnit::Gon) {
        check_.emplace(ChoicesFrom(options_, unit));
        readings_.emplace(unit);
    }
}

void ExportCheck::FieldFileRead(const PointTable& points, std::size_t knownPoints, AngleUnit unit) {
    if (check_) {
        // The check takes what it needs from the table beside the set-ups it puts together.
        check_->EndOfRecords();
        // The table is given back as soon as the points have been made from it.
        auto taken = std::make_shared<std::promise<void>>();
        tableTaken_ = taken->get_future().share();
        adopted_ = RunBeside([this, &points, knownPoints, taken] {
                       try {
                           check_->Adopt(points, knownPoints);
                       } catch (...) {
                           taken->set_value();
                           throw;
                       }
                       taken->set_value();
                   }).share();
        roomy_ = letGo_.get_future().share();
        running_ = RunBeside([this] {
            CheckReport report = check_->Run([this] { adopted_.get(); }, [this] { roomy_.get(); });
            adjustment::AddAdjustment(report, *readings_, ChoicesFrom(options_, readings_->Unit()));
            readings_.reset();
            return report;
        });
        return;
    }
    PointTable own;
    for (std::size_t i = 1; i <= knownPoints; ++i)
        own.AppendUnindexed(points[i]);
    // A field file that is not a file on the disk (a pipe) was read by the export and is gone:
    // the check then says that it could not run.
    LineReader field;
    Silent silent;
    if (!OpenFieldFile(std::string(TrimBlanks(options_.Fieldfile)), field, silent)) {
        unchecked_ =
            "de controle kon het veldbestand niet opnieuw lezen; controleer het met "
            "talvik-cli check";
        return;
    }
    ExportOptions reading = options_;
    reading.Face2to1 = false;
    const CheckChoices choices = ChoicesFrom(options_, unit);
    NetworkCheck check(choices);
    adjustment::AdjustmentReadings readings(unit);
    BothSinks both(check, readings);
    AngleUnitState state;
    ReadFieldRecords(field, reading, own, both, state, silent);
    both.Flush();
    own.Seal();
    report_ = check.Run(own, knownPoints);
    adjustment::AddAdjustment(*report_, readings, choices);
}

void ExportCheck::PointTableChanging() {
    if (tableTaken_.valid()) tableTaken_.wait();
}

void ExportCheck::TablesLetGo() {
    letGo_.set_value();
}

const std::optional<CheckReport>& ExportCheck::Report() const {
    if (!running_.valid()) return report_;
    try {
        report_ = running_.get();
    } catch (const std::bad_alloc&) {
        // The export has its files; only the check could not be made.
        unchecked_ = "onvoldoende geheugen voor de controle";
    }
    return report_;
}

}  // namespace talvik
