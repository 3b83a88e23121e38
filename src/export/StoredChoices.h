#pragma once
// The export's choices as the user's store keeps them between runs: the nine selection sets of
// sixteen codes and the number of the current one, the standard deviations with the states of
// the two coupling boxes, the handling of second-face readings and the package version. The
// export dialog loads and stores them through this class, and so does the batch front.

#include <array>
#include <string>
#include <string_view>

#include "model/ExportOptions.h"
#include "platform/Settings.h"

namespace talvik {

// Setting keys and their defaults.
inline constexpr std::string_view kKeyCurrentSel = "TalvikCurrentSel";
inline constexpr std::string_view kKeySelPrefix = "TalvikSel";
inline constexpr std::string_view kDefaultSel = "999";
inline constexpr std::string_view kKeyStdDev = "TalvikStdDev";
inline constexpr std::string_view kDefaultStdDev =
    "0.003|0.0003|0.003|0.0003|0.002|2|0.003|0.003|1|1|0.003|0.005";
inline constexpr std::string_view kKeyFace2to1 = "TalvikFace2to1";
inline constexpr std::string_view kKeyVersion = "TalvikVersion";

// The coupling boxes: while one is checked, its dependent boxes equal their sources (zenith
// angles follow directions; heights follow coordinates).
struct Coupling {
    bool horVer = false;
    bool xyZ = false;
};

// Codes 1..16 of a selection set; index 0 unused.
using SelectionCodes = std::array<std::string, 17>;

class StoredChoices {
  public:
    static constexpr int kFirstSet = 1;
    static constexpr int kLastSet = 9;

    explicit StoredChoices(SettingsStore& settings) : settings_(settings) {}

    // The stored current set; a stored text that is not a whole number 1..9 (blanks around it
    // allowed) gives set 1, so that nothing is ever stored under a number the arrows cannot
    // reach.
    int CurrentSet();
    // The codes of set n, each trimmed; a set never stored has the one code "999".
    SelectionCodes SelectionSet(int n);
    // Stores the codes under "TalvikSel<n>" and n as the current set.
    void StoreSelectionSet(int n, const SelectionCodes& codes);

    // The standard deviations, the face-2 handling and the version into `options`, each text
    // trimmed; the states of the coupling boxes are returned, and a checked one has already
    // made its dependents equal to their sources. The other fields of `options` stay.
    Coupling LoadOptions(ExportOptions& options);
    // Stores the same fields of `options` with the states of the coupling boxes.
    void StoreOptions(const ExportOptions& options, Coupling coupling);

  private:
    SettingsStore& settings_;
};

}  // namespace talvik
