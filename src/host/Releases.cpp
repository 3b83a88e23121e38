#include "host/Releases.h"

#include "text/Text.h"

namespace talvik {

void GetReleases(Registry& registry, KavrinReleases& releases) {
    releases.names.assign(1, std::string());
    releases.filled = true;
    RegKey key = 0;
    if (!registry.OpenKey(kHkeyCurrentUser, kKavrinKeyPath, key)) return;
    std::string name;
    for (std::uint32_t index = 0; registry.EnumSubkey(key, index, name) == kRegSuccess; ++index) {
        releases.names.push_back(name);
    }
    registry.CloseKey(key);

    // The highest numbered release is preferred, and a release named "RELEASE" above all;
    // a numbered one enumerated after it with a value above 0 still takes its place.
    std::string& preferred = releases.names[0];
    for (std::size_t j = 1; j < releases.names.size(); ++j) {
        const std::string& candidate = releases.names[j];
        if (NumericValue(preferred) < NumericValue(candidate)) preferred = candidate;
        if (ToUpper(candidate) == "RELEASE") preferred = candidate;
    }
}

std::string ZevPath(std::string_view release) {
    return std::string(kKavrinKeyPath) + "\\" + std::string(release) + "\\ZEV";
}

std::string GetDataPath(Registry& registry, const std::string& release) {
    std::string path;
    if (!registry.GetStringValue(kHkeyCurrentUser, ZevPath(release), "DataPath", path))
        return std::string();
    if (path.empty() || path.back() != '\\') path += '\\';
    return path;
}

}  // namespace talvik
