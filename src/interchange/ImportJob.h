#pragma once
// The import's choices as the user's store keeps them between runs (nine sets of a layer and a
// control-point code, and the number of the current set), and the import job that the import
// dialog and the batch front both run.

#include <optional>
#include <string>
#include <string_view>

#include "interchange/CoordinateImport.h"
#include "platform/Settings.h"
#include "platform/UserInterface.h"

namespace talvik {

// The shift report's tolerance when none is stored, in metres.
inline constexpr std::string_view kDefaultToleranceText = "0.05";

// A tolerance in metres as typed: a decimal number with "." as decimal point, 0 to 1000, blanks
// around it allowed. Empty when the text is not one.
std::optional<double> ReadTolerance(std::string_view text);

struct ImportChoices {
    std::string layer;
    std::string code;
};

class StoredImportChoices {
  public:
    static constexpr int kFirstSet = 1;
    static constexpr int kLastSet = 9;

    explicit StoredImportChoices(SettingsStore& settings) : settings_(settings) {}

    // The stored current set (shared with the export's selection sets): a whole number 1..9
    // with blanks around it allowed, otherwise set 1.
    int CurrentSet();
    void StoreCurrentSet(int n);
    // The layer (trimmed) and the code (as stored) of set n; both empty when never stored.
    ImportChoices Load(int n);
    void Store(int n, const ImportChoices& choices);
    // The tolerance of the shift report in metres, as text (one for all sets): the stored one
    // when it reads as a tolerance, otherwise kDefaultToleranceText.
    std::string ToleranceText();
    // Stores the tolerance (trimmed) when it differs from ToleranceText().
    void StoreTolerance(std::string_view text);

  private:
    SettingsStore& settings_;
};

// One import: refuses an empty layer or code (with the messages of CheckImportInput), stores
// the layer and code under set n, then writes the IDEX file from the coordinate file.
// `pointsWritten`, when given, receives the number of point lines written; `seen`, when given,
// every point line written.
ImportOutcome RunImportJob(StoredImportChoices& stored, int set, const ImportChoices& choices,
                           const std::string& corFile, const std::string& idexFile,
                           UserInterface& ui, int* pointsWritten = nullptr,
                           ConvertedPoints* seen = nullptr);

}  // namespace talvik
