#include "platform/RegistrySettings.h"

#include <vector>

namespace talvik {

std::string RegistrySettings::Get(std::string_view key, std::string_view defaultValue) {
    std::string text;
    if (!registry_.GetLongStringValue(kHkeyCurrentUser, kSettingsKeyPath, key, text)) {
        return std::string(defaultValue);
    }
    return text;
}

bool RegistrySettings::Set(std::string_view key, std::string_view value) {
    if (registry_.SetStringValue(kHkeyCurrentUser, kSettingsKeyPath, key, value)) return true;
    // The key path is missing (first run): create it one key at a time, then store again.
    RegKey parent = kHkeyCurrentUser;
    std::vector<RegKey> opened;
    bool created = true;
    std::string_view rest = kSettingsKeyPath;
    while (created && !rest.empty()) {
        const std::size_t cut = rest.find('\\');
        const std::string_view name = rest.substr(0, cut);
        rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
        RegKey child = 0;
        created = registry_.CreateKey(parent, name, child);
        if (created) {
            opened.push_back(child);
            parent = child;
        }
    }
    for (const RegKey key : opened)
        registry_.CloseKey(key);
    return created && registry_.SetStringValue(kHkeyCurrentUser, kSettingsKeyPath, key, value);
}

}  // namespace talvik
