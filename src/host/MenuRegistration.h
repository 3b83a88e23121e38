#pragma once
// Enters this program as a converter in the "Data Conversions" menus of the installed host
// releases and reports for which releases it worked.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/Releases.h"
#include "platform/Registry.h"
#include "platform/UserInterface.h"

namespace talvik {

// Menu kinds of RegisterMenuItem.
inline constexpr int kImportMenu = 1;
inline constexpr int kExportMenu = 2;

// The two entries this program makes (pattern and caption, Windows-1252).
inline constexpr std::string_view kImportPattern = "*.cor";
inline constexpr std::string_view kImportCaption = "Korvu Co\xF6rdinaten";
inline constexpr std::string_view kExportPattern = "*.prj";
inline constexpr std::string_view kExportCaption = "Korvu Project";

// Highest menu entry number looked at; the numbers are 16-bit in the host.
inline constexpr int kLastMenuItem = 32767;

// True when the release's "ZEV" key exists and its "Data Conversions", "Import" and "Export"
// keys exist afterwards. Nothing is created for a release without "ZEV".
bool EnsureConversionKeys(Registry& registry, std::string_view release);

// Stores "2|pattern|caption|programPath" as the release's menu entry: in place of the first
// entry that carries the caption (any case), or under the first missing number. The search
// stops at the first missing number; when every number up to kLastMenuItem is taken by other
// entries nothing is stored. Kind kImportMenu is the Import menu, any other the Export menu.
bool RegisterMenuItem(Registry& registry, std::string_view release, int kind,
                      std::string_view pattern, std::string_view caption,
                      std::string_view programPath);

// Registers in every release of the list (filled first when it has no release yet): choice 1
// the Import menus, 2 the Export menus, 0 and 3 both (Import first), anything else neither.
// Returns "%1 " import successes "%2 " import failures "%3 " export successes "%4 " export
// failures "%5", each list being the release names each followed by ", ", or "geen, ".
std::string RegisterInReleases(Registry& registry, std::int16_t choice, std::string_view pattern,
                               std::string_view caption, std::string_view programPath,
                               KavrinReleases& releases);

// How many releases a registration or removal changed, and in how many it failed.
struct ReleaseCounts {
    int changed = 0;
    int failed = 0;
};

// The whole registration: both menus in every release, then a message (information icon, OK,
// title kInterfaceTitle) telling for which releases the Import entry succeeded. The program
// path is the one the host starts the program with. Returns the text shown; `counts`, when
// given, receives per release whether both entries were made.
std::string RegisterWithHost(Registry& registry, KavrinReleases& releases, UserInterface& ui,
                             std::string_view programPath, ReleaseCounts* counts = nullptr);
// The same with a release list of its own.
std::string RegisterWithHost(Registry& registry, UserInterface& ui, std::string_view programPath,
                             ReleaseCounts* counts = nullptr);

// One menu entry taken out by RemoveMenuItems.
struct RemovedMenuItem {
    std::string release;
    int kind = kImportMenu;  // kImportMenu or kExportMenu
    std::string entry;       // the entry as it was stored
};

struct MenuRemoval {
    std::vector<RemovedMenuItem> removed;
    std::vector<std::string> failedReleases;  // a read, write or removal went wrong
};

// Takes out of the Import and Export menus of every installed release the entries whose
// program field (the text after the third "|") is programPath. The host reads a menu up to the
// first missing number, so the entries that stay move up to close the gap, in their order and
// with their texts; entries behind a gap are not looked at. Nothing is created.
MenuRemoval RemoveMenuItems(Registry& registry, KavrinReleases& releases,
                            std::string_view programPath);

// The whole removal with its message (information icon, OK, title kInterfaceTitle) listing
// per release the captions taken out, and the releases where it failed. Returns the text shown;
// `counts`, when given, receives the releases looked at and those where it failed.
std::string UnregisterFromHost(Registry& registry, UserInterface& ui, std::string_view programPath,
                               ReleaseCounts* counts = nullptr);

}  // namespace talvik
