#pragma once
// The host releases installed for the user and their data folders, from the registry.

#include <string>
#include <string_view>
#include <vector>

#include "platform/Registry.h"

namespace talvik {

// The key under HKEY_CURRENT_USER whose subkeys are the installed host releases.
inline constexpr std::string_view kKavrinKeyPath = "SOFTWARE\\ORNWALD\\KAVRIN";

// Element 0 is the preferred release (empty when none); elements 1..n the release keys in
// the order the registry enumerates them. n = size() - 1.
struct KavrinReleases {
    std::vector<std::string> names{std::string()};
    bool filled = false;  // GetReleases has run at least once
    std::size_t Count() const { return names.empty() ? 0 : names.size() - 1; }
};

// The key of one release's settings ("ZEV") under HKEY_CURRENT_USER.
std::string ZevPath(std::string_view release);

void GetReleases(Registry& registry, KavrinReleases& releases);
// The release's "DataPath" ending with a backslash, or empty text.
std::string GetDataPath(Registry& registry, const std::string& release);

}  // namespace talvik
