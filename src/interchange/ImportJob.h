#pragma once
// The import's choices as the user's store keeps them between runs (nine sets of a layer and a
// control-point code, and the number of the current set), and the import job that the import
// dialog and the batch front both run.

#include <string>
#include <string_view>

#include "interchange/CoordinateImport.h"
#include "platform/Settings.h"
#include "platform/UserInterface.h"

namespace talvik {

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

  private:
    SettingsStore& settings_;
};

// One import: refuses an empty layer or code (with the messages of CheckImportInput), stores
// the layer and code under set n, then writes the IDEX file from the coordinate file.
// `pointsWritten`, when given, receives the number of point lines written.
ImportOutcome RunImportJob(StoredImportChoices& stored, int set, const ImportChoices& choices,
                           const std::string& corFile, const std::string& idexFile,
                           UserInterface& ui, int* pointsWritten = nullptr);

}  // namespace talvik
