#pragma once
// The per-user registry tree of Windows (HKEY_CURRENT_USER) behind the Registry interface.
//
// A key handle of Windows is a pointer-sized value and does not fit the 32-bit RegKey, so the
// open keys live in a table: RegKey numbers count up from 1 and stand for the HKEY in the
// table; kHkeyCurrentUser stands for the predefined root. A RegKey that is not in the table is
// an invalid handle.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "platform/Registry.h"

namespace talvik {

class WindowsRegistry : public Registry {
  public:
    WindowsRegistry() = default;
    WindowsRegistry(const WindowsRegistry&) = delete;
    WindowsRegistry& operator=(const WindowsRegistry&) = delete;
    // Closes the keys the caller left open.
    ~WindowsRegistry() override;

    bool OpenKey(RegKey parent, std::string_view path, RegKey& key) override;
    bool CreateKey(RegKey parent, std::string_view name, RegKey& key) override;
    bool CloseKey(RegKey key) override;
    long EnumSubkey(RegKey key, std::uint32_t index, std::string& name) override;
    bool GetStringValue(RegKey root, std::string_view path, std::string_view valueName,
                        std::string& text) override;
    bool GetLongStringValue(RegKey root, std::string_view path, std::string_view valueName,
                            std::string& text) override;
    bool SetStringValue(RegKey root, std::string_view path, std::string_view valueName,
                        std::string_view text) override;
    bool DeleteValue(RegKey root, std::string_view path, std::string_view valueName) override;

    // Longest subkey name EnumSubkey returns and longest value GetStringValue reads, in bytes.
    static constexpr std::size_t kMaxSubkeyName = 300;
    static constexpr std::size_t kMaxValueBytes = 1024;

    // Number of keys opened through this object and not closed yet.
    std::size_t OpenKeys() const { return keys_.size(); }

  private:
    // The system's handle for a RegKey (void* is what HKEY points to); null when unknown.
    void* Find(RegKey key) const;
    RegKey Add(void* handle);
    bool ReadValue(RegKey root, std::string_view path, std::string_view valueName,
                   std::size_t limit, std::string& text);

    std::map<RegKey, void*> keys_;
    RegKey next_ = 1;
};

}  // namespace talvik
