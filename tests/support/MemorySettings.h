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
        if (refuseSets_) return false;
        values_[ToUpper(key)] = std::string(value);
        return true;
    }

    bool Has(std::string_view key) const { return values_.count(ToUpper(key)) != 0; }
    std::size_t Size() const { return values_.size(); }
    void Clear() { values_.clear(); }
    // Number of Set calls so far, refused ones included.
    std::size_t SetCalls() const { return setCalls_; }
    // When true every Set fails and stores nothing (a full disk, a damaged store).
    void RefuseSets(bool refuse) { refuseSets_ = refuse; }

  private:
    std::map<std::string, std::string> values_;  // keyed by the upper-case key
    std::size_t setCalls_ = 0;
    bool refuseSets_ = false;
};

}  // namespace talvik
