#pragma once
// The export dialog without its window: the values of all its controls, the nine stored
// selection sets, the stored standard deviations and options, and the coupling between the
// standard-deviation boxes. A window only shows these values, passes the user's edits back and
// calls the operations on its events.
//
// Boxes without rules of their own are plain fields. The boxes that take part in a coupling
// (Hz/V, X-Y/Z), the two coupling check boxes and the set number sit behind setters, so that a
// checked coupling box always leaves its dependent boxes disabled and equal to their sources.
//
// Events of the window:
//   opened            -> Open(packageFile) after the start-up window has gone (when the command
//                        line was empty, AskForIdexFile of ExportRun.h comes first)
//   edit of a box     -> the field, or the setter of a coupled box; then refresh the dependents
//   coupling clicked  -> SetCoupleHorVer / SetCoupleXyZ; refresh the dependents and their enabled
//   state arrow up/down     -> StepUp() / StepDown(); refresh the set number and the 16 code boxes
//                        when they return true
//   browse buttons    -> the field := LocateFile(kFieldFilter, kFieldPattern) (or the project
//                        pair); a cancelled prompt empties the box
//   start buttons     -> Start(idexFile), RunExportJob (ExportRun.h) on the options it gives,
//                        then end the process
//   close request     -> Close(), then end the process

#include <optional>
#include <string>
#include <string_view>

#include "export/StoredChoices.h"
#include "model/ExportOptions.h"
#include "platform/Settings.h"

namespace talvik {

// The path with its last three characters replaced by `extension` (a path shorter than three
// characters is replaced as a whole).
std::string ReplaceLastThree(std::string_view path, std::string_view extension);

class ExportDialogModel {
  public:
    static constexpr int kFirstSet = StoredChoices::kFirstSet;
    static constexpr int kLastSet = StoredChoices::kLastSet;
    static constexpr std::string_view kFieldFilter = "Kavrin Field Files|*.fld|";
    static constexpr std::string_view kFieldPattern = "*.fld";
    static constexpr std::string_view kProjectFilter = "KORVU Project Files|*.prj|";
    static constexpr std::string_view kProjectPattern = "*.prj";
    static constexpr std::string_view kIdexFilter = "Kavrin IDEX Files|*.idx|";
    static constexpr std::string_view kIdexPattern = "*.idx";

    explicit ExportDialogModel(SettingsStore& settings) : stored_(settings) {}

    // Plain boxes, texts as typed.
    std::string fieldFile;
    std::string projectFile;
    bool version3 = true;   // false: optV1
    bool face2to1 = false;  // false: optFace2Series
    std::string absDis;
    std::string relDis;
    std::string sigmaCent;
    std::string sigmaInst;
    SelectionCodes selectionCodes;  // code boxes 1..16; index 0 unused

    // Coupled boxes.
    const std::string& AbsHor() const { return absHor_; }
    const std::string& RelHor() const { return relHor_; }
    const std::string& AbsVer() const { return absVer_; }
    const std::string& RelVer() const { return relVer_; }
    const std::string& SdXY() const { return sdXY_; }
    const std::string& SdZ() const { return sdZ_; }
    bool CoupleHorVer() const { return chkHVD_; }
    bool CoupleXyZ() const { return chkXYZ_; }
    // A source box copies itself into its dependent while the coupling box is checked.
    void SetAbsHor(std::string text);
    void SetRelHor(std::string text);
    void SetSdXY(std::string text);
    // A dependent box takes an edit only while it is enabled.
    void SetAbsVer(std::string text);
    void SetRelVer(std::string text);
    void SetSdZ(std::string text);
    // Checking disables the dependents and copies the sources into them; unchecking enables
    // them again and leaves their texts.
    void SetCoupleHorVer(bool checked);
    void SetCoupleXyZ(bool checked);
    bool AbsVerEnabled() const { return !chkHVD_; }
    bool RelVerEnabled() const { return !chkHVD_; }
    bool SdZEnabled() const { return !chkXYZ_; }

    // The current selection set, always 1..9 (the read-only box beside the arrows).
    int SelectionSetNumber() const { return selNr_; }

    // Opening steps after the optional IDEX prompt: the current set from the settings (a stored
    // number that is not a whole number 1..9 gives set 1), its codes, the stored settings, the
    // project box := packageFile, the field box := packageFile ending in "fld".
    void Open(std::string_view packageFile);

    void LoadSelectionSet(int n);
    // Stores the 16 codes under "TalvikSel<n>" and n as the current set.
    void SaveSelectionSet(int n);
    void LoadSettings();
    void SaveSettings();

    // Arrow presses: store the codes on screen under the set being left, then load the new
    // set. At the end of the range nothing changes, nothing is stored, and false is returned.
    bool StepUp();
    bool StepDown();

    // The record of one export; idexFile comes from the start-up arguments.
    ExportOptions FillExportOptions(std::optional<std::string> idexFile) const;

    // A start button: stores the current selection set and the settings, and gives the record
    // of the export to run.
    ExportOptions Start(std::optional<std::string> idexFile);

    // Stores the current selection set and the settings (closing the dialog).
    void Close();

  private:
    bool Step(int delta);

    StoredChoices stored_;
    std::string absHor_;
    std::string relHor_;
    std::string absVer_;
    std::string relVer_;
    std::string sdXY_;
    std::string sdZ_;
    bool chkHVD_ = false;
    bool chkXYZ_ = false;
    int selNr_ = kFirstSet;
};

}  // namespace talvik
