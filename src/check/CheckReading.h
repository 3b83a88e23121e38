#pragma once
// The check on its own reading: the IDEX file and the field file read as the export reads them,
// nothing written.

#include <future>
#include <optional>
#include <string>

#include "check/AdjustmentInput.h"
#include "check/NetworkCheck.h"
#include "model/ConversionWatcher.h"
#include "model/ExportOptions.h"
#include "platform/UserInterface.h"

namespace talvik {

// Nothing when the field file cannot be read (the export's message has been shown). The
// check's reading always keeps face-2 readings apart, whatever options.Face2to1 says: it
// reduces them itself, with the half circle of the file's unit.
std::optional<CheckReport> CheckFiles(const ExportOptions& options, UserInterface& ui);

// The check beside an export, on the export's own reading: one pass over the field file serves
// both, the check combining the records on the writing thread as they come. Only when the export
// reduces face 2 in a file whose angles are not in gon do the records go through the gon
// constants; the check then reads the field file once more on its own. The check itself runs
// beside the rest of the export (the coordinate file, putting the files in place); it takes what
// it needs from the point table while the export puts the names in order.
class ExportCheck final : public ConversionWatcher {
  public:
    explicit ExportCheck(ExportOptions options) : options_(std::move(options)) {}
    void FieldFileStarts(AngleUnit unit) override;
    // The records carry their lines, for the adjustment's rejections.
    void Put(const ObservationRecord& record) override {
        if (check_) check_->Put(record);
        if (readings_) readings_->Put(record, record.Line);
    }
    void PutMany(std::span<const ObservationRecord> records) override {
        if (check_) check_->PutMany(records);
        if (readings_)
            for (const ObservationRecord& record : records)
                readings_->Put(record, record.Line);
    }
    void FieldFileRead(const PointTable& points, std::size_t knownPoints, AngleUnit unit) override;
    void PointTableChanging() override;
    void TablesLetGo() override;
    // Nothing when the conversion stopped before reading the field file, or when the check
    // could not be made (Unchecked says why). Waits for the check when it is still running.
    const std::optional<CheckReport>& Report() const;
    // Why the field file was read but there is no report (Dutch); empty otherwise. After Report.
    const std::string& Unchecked() const { return unchecked_; }

  private:
    ExportOptions options_;
    std::optional<NetworkCheck> check_;
    std::optional<adjustment::AdjustmentReadings> readings_;  // the same records one by one
    std::shared_future<void> tableTaken_;  // the check has read what it needs from the table
    std::shared_future<void> adopted_;     // and made its points
    std::promise<void> letGo_;             // the export has let go of its tables
    std::shared_future<void> roomy_;
    mutable std::future<CheckReport> running_;
    mutable std::optional<CheckReport> report_;
    mutable std::string unchecked_;
};

}  // namespace talvik
