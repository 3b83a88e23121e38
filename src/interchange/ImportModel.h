#pragma once
// The import dialog without its window: the texts of the layer, code, set number and coordinate
// file boxes, the nine stored layer/code sets and the start of the import. A window only shows
// these texts, passes edits back through the setters and calls the operations on its events.
//
// Events of the window:
//   opened         -> Load(packageFile) after the start-up window has gone
//   browse button  -> SetCoordFile(LocateFile(kCoordFilter, kCoordPattern)) (empty on cancel)
//   arrow up/down  -> StepUp() / StepDown(); refresh all boxes when they return true
//   start button   -> Start(idexFile, ui) (RunImportJob of ImportJob.h); on Written end the
//                     process without Close(),
//                     otherwise the dialog stays open
//   close request  -> Close(), then end the process
//
// The set number is always 1 to 9: the box beside the arrows is read-only, and a stored current
// set that is not a whole number 1 to 9 opens set 1.

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "interchange/CoordinateImport.h"
#include "interchange/ImportJob.h"
#include "platform/Settings.h"
#include "platform/UserInterface.h"

namespace talvik {

class ImportModel {
  public:
    static constexpr std::string_view kCoordFilter = "KORVU Co\xF6rdinaten Files|*.cor|";
    static constexpr std::string_view kCoordPattern = "*.cor";

    explicit ImportModel(SettingsStore& settings) : stored_(settings) {}

    const std::string& Layer() const { return choices_.layer; }
    const std::string& Code() const { return choices_.code; }
    const std::string& CoordFile() const { return coordFile_; }
    void SetLayer(std::string text) { choices_.layer = std::move(text); }
    void SetCode(std::string text) { choices_.code = std::move(text); }
    void SetCoordFile(std::string text) { coordFile_ = std::move(text); }
    // The shift report's tolerance in metres, as typed.
    const std::string& ToleranceText() const { return tolerance_; }
    void SetToleranceText(std::string text) { tolerance_ = std::move(text); }
    // The tolerance, or empty when the text is not one.
    std::optional<double> Tolerance() const { return ReadTolerance(tolerance_); }

    static constexpr int kFirstSet = StoredImportChoices::kFirstSet;
    static constexpr int kLastSet = StoredImportChoices::kLastSet;

    // The current layer/code set, always kFirstSet..kLastSet.
    int SelectionSetNumber() const { return selNr_; }
    // Makes n (clamped to the range) the current set without loading or storing anything.
    void SetSelectionSetNumber(int n);

    void Load(const std::string& packageFile);
    void LoadImportSet(int n);
    void SaveImportSet(int n);
    // False (nothing changed, nothing stored) at the end of the range.
    bool StepUp();
    bool StepDown();
    void Close();
    // A tolerance that is not one is refused first (with kBadTolerance), then the layer and
    // code as RunImportJob does; the tolerance is stored with them. `seen` as for
    // RunImportJob.
    ImportOutcome Start(const std::string& idexFile, UserInterface& ui,
                        ConvertedPoints* seen = nullptr);
    static constexpr std::string_view kBadTolerance =
        "Helaas, gaat niet. De tolerantie is geen getal van 0 tot 1000 (meter, met een punt)";
    // Point lines written by the last Start that wrote the file.
    int PointsWritten() const { return pointsWritten_; }

  private:
    bool Step(int delta);

    StoredImportChoices stored_;
    ImportChoices choices_;
    int selNr_ = kFirstSet;
    std::string coordFile_;
    std::string tolerance_{kDefaultToleranceText};
    int pointsWritten_ = 0;
};

}  // namespace talvik
