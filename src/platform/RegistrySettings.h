#pragma once
// The settings store on top of the per-user registry tree: text values under
// HKEY_CURRENT_USER\Software\Kelvaris\Talvik.

#include <string>
#include <string_view>

#include "platform/Registry.h"
#include "platform/Settings.h"

namespace talvik {

// Key path of the settings, relative to HKEY_CURRENT_USER.
inline constexpr std::string_view kSettingsKeyPath = "Software\\Kelvaris\\Talvik";

class RegistrySettings : public SettingsStore {
  public:
    // The registry must outlive the store.
    explicit RegistrySettings(Registry& registry) : registry_(registry) {}

    // The stored text, or the default when the key path or the value is missing or unreadable.
    std::string Get(std::string_view key, std::string_view defaultValue) override;
    // Creates the key path one key at a time when it is missing, then stores the value.
    bool Set(std::string_view key, std::string_view value) override;

  private:
    Registry& registry_;
};

}  // namespace talvik
