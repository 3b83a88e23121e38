#include "host/MenuRegistration.h"

#include <optional>

#include "host/Strings.h"
#include "text/Text.h"

namespace talvik {
namespace {

std::string MenuKeyPath(std::string_view release, int kind) {
    return ZevPath(release) +
           (kind == kImportMenu ? "\\Data Conversions\\Import" : "\\Data Conversions\\Export");
}

// The text after the third bar of an entry, or nothing when it has fewer fields.
std::optional<std::string_view> ProgramField(std::string_view entry) {
    for (int bars = 0; bars < 3; ++bars) {
        const std::size_t bar = entry.find('|');
        if (bar == std::string_view::npos) return std::nullopt;
        entry.remove_prefix(bar + 1);
    }
    return entry;
}

// The third field of an entry: its menu caption.
std::string_view CaptionField(std::string_view entry) {
    for (int bars = 0; bars < 2; ++bars) {
        const std::size_t bar = entry.find('|');
        if (bar == std::string_view::npos) return {};
        entry.remove_prefix(bar + 1);
    }
    return entry.substr(0, entry.find('|'));
}

// Removes this program's entries from one menu; false when a change failed.
bool RemoveFromMenu(Registry& registry, std::string_view release, int kind,
                    std::string_view programPath, std::vector<RemovedMenuItem>& removed) {
    const std::string key = MenuKeyPath(release, kind);
    std::vector<std::string> entries;
    for (int i = 0; i <= kLastMenuItem; ++i) {
        std::string entry;
        if (!registry.GetStringValue(kHkeyCurrentUser, key, "MenuItem" + IntText(i), entry)) break;
        entries.push_back(std::move(entry));
    }
    std::vector<std::string> kept;
    std::vector<RemovedMenuItem> ours;
    for (const std::string& entry : entries) {
        if (ProgramField(entry) == programPath)
            ours.push_back({std::string(release), kind, entry});
        else
            kept.push_back(entry);
    }
    if (ours.empty()) return true;
    bool ok = true;
    std::size_t i = 0;
    // Entries before the first removed one keep their numbers and are not written again.
    while (i < kept.size() && kept[i] == entries[i])
        ++i;
    for (; i < kept.size(); ++i) {
        if (!registry.SetStringValue(kHkeyCurrentUser, key, "MenuItem" + IntText(int(i)), kept[i]))
            ok = false;
    }
    for (i = kept.size(); i < entries.size(); ++i) {
        if (!registry.DeleteValue(kHkeyCurrentUser, key, "MenuItem" + IntText(int(i)))) ok = false;
    }
    if (ok) removed.insert(removed.end(), ours.begin(), ours.end());
    return ok;
}

}  // namespace

bool EnsureConversionKeys(Registry& registry, std::string_view release) {
    RegKey zev = 0;
    if (!registry.OpenKey(kHkeyCurrentUser, ZevPath(release), zev)) return false;
    RegKey conversions = 0;
    bool ok = registry.CreateKey(zev, "Data Conversions", conversions);
    if (ok) {
        RegKey import = 0;
        RegKey exportKey = 0;
        ok = registry.CreateKey(conversions, "Import", import);
        if (ok) {
            registry.CloseKey(import);
            ok = registry.CreateKey(conversions, "Export", exportKey);
            if (ok) registry.CloseKey(exportKey);
        }
        registry.CloseKey(conversions);
    }
    registry.CloseKey(zev);
    return ok;
}

bool RegisterMenuItem(Registry& registry, std::string_view release, int kind,
                      std::string_view pattern, std::string_view caption,
                      std::string_view programPath) {
    if (!EnsureConversionKeys(registry, release)) return false;
    const std::string key = MenuKeyPath(release, kind);
    const std::string upperCaption = ToUpper(caption);
    std::string valueName;
    for (int i = 0;; ++i) {
        if (i > kLastMenuItem) return false;
        valueName = "MenuItem" + IntText(i);
        std::string entry;
        if (!registry.GetStringValue(kHkeyCurrentUser, key, valueName, entry)) break;
        if (ToUpper(entry).find(upperCaption) != std::string::npos) break;
    }
    std::string entry = "2|";
    entry += pattern;
    entry += '|';
    entry += caption;
    entry += '|';
    entry += programPath;
    return registry.SetStringValue(kHkeyCurrentUser, key, valueName, entry);
}

std::string RegisterInReleases(Registry& registry, std::int16_t choice, std::string_view pattern,
                               std::string_view caption, std::string_view programPath,
                               KavrinReleases& releases) {
    if (!releases.filled || releases.Count() == 0) GetReleases(registry, releases);
    const bool import = choice == 0 || choice == 1 || choice == 3;
    const bool exportMenu = choice == 0 || choice == 2 || choice == 3;
    std::string importOk, importFailed, exportOk, exportFailed;
    for (std::size_t j = 1; j < releases.names.size(); ++j) {
        const std::string& release = releases.names[j];
        if (import) {
            const bool ok =
                RegisterMenuItem(registry, release, kImportMenu, pattern, caption, programPath);
            (ok ? importOk : importFailed) += release + ", ";
        }
        if (exportMenu) {
            const bool ok =
                RegisterMenuItem(registry, release, kExportMenu, pattern, caption, programPath);
            (ok ? exportOk : exportFailed) += release + ", ";
        }
    }
    for (std::string* list : {&importOk, &importFailed, &exportOk, &exportFailed}) {
        if (list->empty()) *list = "geen, ";
    }
    return "%1 " + importOk + "%2 " + importFailed + "%3 " + exportOk + "%4 " + exportFailed + "%5";
}

std::string RegisterWithHost(Registry& registry, KavrinReleases& releases, UserInterface& ui,
                             std::string_view programPath, ReleaseCounts* counts) {
    std::string report =
        RegisterInReleases(registry, 1, kImportPattern, kImportCaption, programPath, releases);
    const std::string exportReport =
        RegisterInReleases(registry, 2, kExportPattern, kExportCaption, programPath, releases);
    if (counts != nullptr) {
        // A release counts as changed when neither menu failed in it.
        *counts = ReleaseCounts();
        const auto failedList = [](const std::string& text, std::string_view from,
                                   std::string_view to) {
            const std::size_t start = text.find(from) + from.size();
            return text.substr(start, text.find(to, start) - start);
        };
        const std::string failed =
            failedList(report, "%2 ", "%3") + failedList(exportReport, "%4 ", "%5");
        for (std::size_t j = 1; j < releases.names.size(); ++j) {
            const bool bad = failed.find(releases.names[j] + ", ") != std::string::npos;
            ++(bad ? counts->failed : counts->changed);
        }
    }
    const std::size_t cut = report.find(", %3");
    if (cut != std::string::npos) report.erase(cut);
    report = ReplaceAll(report, "%1", "Aanmelding bij Kavrin:\r\nGeslaagd voor versies:");
    report = ReplaceAll(report, ", %2", "\r\nMislukt voor versies:");
    ui.Message(report, Buttons::Ok, Icon::Information, kInterfaceTitle);
    return report;
}

std::string RegisterWithHost(Registry& registry, UserInterface& ui, std::string_view programPath,
                             ReleaseCounts* counts) {
    KavrinReleases releases;
    return RegisterWithHost(registry, releases, ui, programPath, counts);
}

MenuRemoval RemoveMenuItems(Registry& registry, KavrinReleases& releases,
                            std::string_view programPath) {
    GetReleases(registry, releases);
    MenuRemoval removal;
    for (std::size_t j = 1; j < releases.names.size(); ++j) {
        const std::string& release = releases.names[j];
        bool ok = RemoveFromMenu(registry, release, kImportMenu, programPath, removal.removed);
        ok = RemoveFromMenu(registry, release, kExportMenu, programPath, removal.removed) && ok;
        if (!ok) removal.failedReleases.push_back(release);
    }
    return removal;
}

std::string UnregisterFromHost(Registry& registry, UserInterface& ui, std::string_view programPath,
                               ReleaseCounts* counts) {
    KavrinReleases releases;
    const MenuRemoval removal = RemoveMenuItems(registry, releases, programPath);
    if (counts != nullptr) {
        counts->failed = static_cast<int>(removal.failedReleases.size());
        counts->changed = static_cast<int>(releases.names.size()) - 1 - counts->failed;
    }
    std::string report = "Afmelding bij Kavrin:";
    std::string_view release;
    for (const RemovedMenuItem& item : removal.removed) {
        report +=
            item.release == release ? ", " : "\r\nVerwijderd uit versie " + item.release + ": ";
        release = item.release;
        report += item.kind == kImportMenu ? "Import \"" : "Export \"";
        report += CaptionField(item.entry);
        report += '"';
    }
    if (removal.removed.empty()) report += "\r\nVerwijderd: geen";
    if (!removal.failedReleases.empty()) {
        report += "\r\nMislukt voor versies: ";
        for (std::size_t i = 0; i < removal.failedReleases.size(); ++i)
            report += (i > 0 ? ", " : "") + removal.failedReleases[i];
    }
    ui.Message(report, Buttons::Ok, Icon::Information, kInterfaceTitle);
    return report;
}

}  // namespace talvik
