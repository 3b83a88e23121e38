#include "host/MenuRegistration.h"

#include "host/Strings.h"
#include "text/Text.h"

namespace talvik {

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
    const std::string key = ZevPath(release) + (kind == kImportMenu ? "\\Data Conversions\\Import"
                                                                    : "\\Data Conversions\\Export");
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
                             std::string_view programPath) {
    std::string report =
        RegisterInReleases(registry, 1, kImportPattern, kImportCaption, programPath, releases);
    RegisterInReleases(registry, 2, kExportPattern, kExportCaption, programPath, releases);
    const std::size_t cut = report.find(", %3");
    if (cut != std::string::npos) report.erase(cut);
    report = ReplaceAll(report, "%1", "Aanmelding bij Kavrin:\r\nGeslaagd voor versies:");
    report = ReplaceAll(report, ", %2", "\r\nMislukt voor versies:");
    ui.Message(report, Buttons::Ok, Icon::Information, kInterfaceTitle);
    return report;
}

std::string RegisterWithHost(Registry& registry, UserInterface& ui, std::string_view programPath) {
    KavrinReleases releases;
    return RegisterWithHost(registry, releases, ui, programPath);
}

}  // namespace talvik
