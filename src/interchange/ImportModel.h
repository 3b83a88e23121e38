#pragma once
// The import dialog without its window: the texts of the layer, code, set number and coordinate
// file boxes, the nine stored layer/code sets and the start of the import. A window only shows
// these texts, passes edits back through the setters and calls the operations on its events.
//
// Events of the window:
//   opened         -> Load(packageFile) after the start-up window has gone
//   browse button  -> SetCoordFile(LocateFile(kCoordFilter, kCoordPattern)) (empty on cancel)
//   arrow up/down  -> StepUp() / StepDown(); refresh all boxes when they return true
//   start button   -> Start(idexFile, ui); on Written end the process without Close(),
//                     otherwise the dialog stays open
//   close request  -> Close(), then end the process
//
// The set number box may hold any text. Only a whole number 1 to 9 (blanks around it allowed)
// counts as a set; with any other text nothing is stored under a set number, the arrows move
// from set 1, and closing stores "1" as the current set.

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "interchange/CoordinateImport.h"
#include "platform/Settings.h"
#include "platform/UserInterface.h"

namespace talvik {

class ImportModel {
  public:
    static constexpr std::string_view kCoordFilter = "KORVU Co\xF6rdinaten Files|*.cor|";
    static constexpr std::string_view kCoordPattern = "*.cor";

    explicit ImportModel(SettingsStore& settings) : settings_(settings) {}

    const std::string& Layer() const { return layer_; }
    const std::string& Code() const { return code_; }
    const std::string& SelNr() const { return selNr_; }
    const std::string& CoordFile() const { return coordFile_; }
    void SetLayer(std::string text) { layer_ = std::move(text); }
    void SetCode(std::string text) { code_ = std::move(text); }
    void SetSelNr(std::string text) { selNr_ = std::move(text); }
    void SetCoordFile(std::string text) { coordFile_ = std::move(text); }

    // The set the number box names; empty when its text is not a whole number 1 to 9.
    std::optional<int> SetNumber() const;

    void Load(const std::string& packageFile);
    void LoadImportSet(int n);
    void SaveImportSet(int n);
    // False (nothing changed, nothing stored) at the end of the range.
    bool StepUp();
    bool StepDown();
    void Close();
    ImportOutcome Start(const std::string& idexFile, UserInterface& ui);

  private:
    SettingsStore& settings_;
    std::string layer_;
    std::string code_;
    std::string selNr_ = "1";
    std::string coordFile_;
};

}  // namespace talvik
