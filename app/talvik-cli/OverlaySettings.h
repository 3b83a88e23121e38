#pragma once
// A settings store in front of the user's store: the values set in this run are read first,
// and with saving off nothing reaches the user's store.

#include <map>
#include <string>

#include "platform/Settings.h"

namespace talvik::cli {

class OverlaySettings : public SettingsStore {
  public:
    OverlaySettings(SettingsStore& base, bool save) : base_(base), save_(save) {}

    std::string Get(std::string_view key, std::string_view defaultValue) override {
        const auto it = values_.find(std::string(key));
        return it != values_.end() ? it->second : base_.Get(key, defaultValue);
    }

    bool Set(std::string_view key, std::string_view value) override {
        values_[std::string(key)] = std::string(value);
        if (!save_) return true;
        const bool stored = base_.Set(key, value);
        failed_ = failed_ || !stored;
        return stored;
    }

    // Some value could not be stored in the user's store.
    bool StoreFailed() const { return failed_; }

  private:
    SettingsStore& base_;
    bool save_;
    bool failed_ = false;
    std::map<std::string, std::string> values_;
};

}  // namespace talvik::cli
