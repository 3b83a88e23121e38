#pragma once
// A settings store kept in memory for tests and fuzz harnesses. Keys compare case-insensitively
// (Windows-1252 rule), as in the registry.

#include <cstddef>
#include <map>
#include <string>
#include <string_view>

#include "platform/Settings.h"
#include "text/Text.h"

namespace talvik {

class MemorySettings : public SettingsStore {
  public:
    std::string Get(std::string_view key, std::string_view defaultValue) override {
        const auto found = values_.find(ToUpper(key));
        return found == values_.end() ? std::string(defaultValue) : found->second;
    }

    bool Set(std::string_view key, std::string_view value) override {
        ++setCalls_;
        values_[ToUpper(key)] = std::string(value);
        return true;
    }

    bool Has(std::string_view key) const { return values_.count(ToUpper(key)) != 0; }
    std::size_t SetCalls() const { return setCalls_; }

  private:
    std::map<std::string, std::string> values_;  // keyed by the upper-case key
    std::size_t setCalls_ = 0;
};

}  // namespace talvik
