#pragma once
// The per-user settings store of application "Kelvaris", section "Talvik": text values under
// keys such as "TalvikSel1". Reading a missing key gives the caller's default.

#include <string>
#include <string_view>

namespace talvik {

class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    virtual std::string Get(std::string_view key, std::string_view defaultValue) = 0;
    // False when the value could not be stored (the caller carries on).
    virtual bool Set(std::string_view key, std::string_view value) = 0;
};

}  // namespace talvik
