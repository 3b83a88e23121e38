#include "platform/windows/WindowsRegistry.h"

#include <windows.h>

#include <algorithm>

namespace talvik {

namespace {

// Read control plus query, set, create subkey, enumerate, notify and create link: what the
// value operations ask for, when reading as well as when writing.
constexpr REGSAM kValueAccess = 0x2003F;
HKEY ToHkey(void* handle) {
    return static_cast<HKEY>(handle);
}

}  // namespace

WindowsRegistry::~WindowsRegistry() {
    for (const auto& [key, handle] : keys_)
        ::RegCloseKey(ToHkey(handle));
}

void* WindowsRegistry::Find(RegKey key) const {
    if (key == kHkeyCurrentUser) return HKEY_CURRENT_USER;
    const auto found = keys_.find(key);
    return found == keys_.end() ? nullptr : found->second;
}

RegKey WindowsRegistry::Add(void* handle) {
    // Skip the number of the root and any number still in use after a wrap-around.
    while (next_ == 0 || next_ == kHkeyCurrentUser || keys_.count(next_) != 0)
        ++next_;
    keys_.emplace(next_, handle);
    return next_++;
}

bool WindowsRegistry::OpenKey(RegKey parent, std::string_view path, RegKey& key) {
    void* const base = Find(parent);
    if (base == nullptr) return false;
    const std::string name(path);
    HKEY opened = nullptr;
    if (::RegOpenKeyA(ToHkey(base), name.c_str(), &opened) != ERROR_SUCCESS) return false;
    key = Add(opened);
    return true;
}

bool WindowsRegistry::CreateKey(RegKey parent, std::string_view name, RegKey& key) {
    if (name.empty()) return false;
    void* const base = Find(parent);
    if (base == nullptr) return false;
    const std::string text(name);
    HKEY created = nullptr;
    if (::RegCreateKeyA(ToHkey(base), text.c_str(), &created) != ERROR_SUCCESS) return false;
    key = Add(created);
    return true;
}

bool WindowsRegistry::CloseKey(RegKey key) {
    if (key == kHkeyCurrentUser) return ::RegCloseKey(HKEY_CURRENT_USER) == ERROR_SUCCESS;
    const auto found = keys_.find(key);
    if (found == keys_.end()) return false;
    const bool closed = ::RegCloseKey(ToHkey(found->second)) == ERROR_SUCCESS;
    keys_.erase(found);
    return closed;
}

long WindowsRegistry::EnumSubkey(RegKey key, std::uint32_t index, std::string& name) {
    void* const base = Find(key);
    if (base == nullptr) return kRegInvalidHandle;
    char buffer[WindowsRegistry::kMaxSubkeyName + 1] = {};
    const LONG result = ::RegEnumKeyA(ToHkey(base), index, buffer, sizeof buffer);
    if (result == ERROR_SUCCESS) name = buffer;
    return result;
}

bool WindowsRegistry::ReadValue(RegKey root, std::string_view path, std::string_view valueName,
                                std::size_t limit, std::string& text) {
    text.clear();
    void* const base = Find(root);
    if (base == nullptr) return false;
    HKEY opened = nullptr;
    const std::string keyPath(path);
    if (::RegOpenKeyExA(ToHkey(base), keyPath.c_str(), 0, kValueAccess, &opened) != ERROR_SUCCESS)
        return false;
    const std::string name(valueName);
    DWORD type = 0;
    std::string bytes(limit, '\0');
    DWORD length = static_cast<DWORD>(bytes.size());
    LONG result = ::RegQueryValueExA(opened, name.c_str(), nullptr, &type,
                                     reinterpret_cast<BYTE*>(bytes.data()), &length);
    // Without a limit: ask again with the size the system reported, which may still grow.
    while (result == ERROR_MORE_DATA && limit == 0) {
        bytes.assign(length, '\0');
        result = ::RegQueryValueExA(opened, name.c_str(), nullptr, &type,
                                    reinterpret_cast<BYTE*>(bytes.data()), &length);
    }
    ::RegCloseKey(opened);
    if (result != ERROR_SUCCESS) return false;
    bytes.resize(std::min<std::size_t>(length, bytes.size()));
    // Values stored with and without a terminating zero read the same.
    if (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
    // A value of another type is found, but holds no text.
    if (type == REG_SZ) text = std::move(bytes);
    return true;
}

bool WindowsRegistry::GetStringValue(RegKey root, std::string_view path, std::string_view valueName,
                                     std::string& text) {
    return ReadValue(root, path, valueName, kMaxValueBytes, text);
}

bool WindowsRegistry::GetLongStringValue(RegKey root, std::string_view path,
                                         std::string_view valueName, std::string& text) {
    return ReadValue(root, path, valueName, 0, text);
}

bool WindowsRegistry::SetStringValue(RegKey root, std::string_view path, std::string_view valueName,
                                     std::string_view text) {
    void* const base = Find(root);
    if (base == nullptr) return false;
    HKEY opened = nullptr;
    const std::string keyPath(path);
    if (::RegOpenKeyExA(ToHkey(base), keyPath.c_str(), 0, kValueAccess, &opened) != ERROR_SUCCESS)
        return false;
    const std::string name(valueName);
    const LONG result = ::RegSetValueExA(opened, name.c_str(), 0, REG_SZ,
                                         reinterpret_cast<const BYTE*>(text.data()),
                                         static_cast<DWORD>(text.size()));
    ::RegCloseKey(opened);
    return result == ERROR_SUCCESS;
}

bool WindowsRegistry::DeleteValue(RegKey root, std::string_view path, std::string_view valueName) {
    void* const base = Find(root);
    if (base == nullptr) return false;
    HKEY opened = nullptr;
    const std::string keyPath(path);
    if (::RegOpenKeyExA(ToHkey(base), keyPath.c_str(), 0, kValueAccess, &opened) != ERROR_SUCCESS)
        return false;
    const std::string name(valueName);
    const LONG result = ::RegDeleteValueA(opened, name.c_str());
    ::RegCloseKey(opened);
    return result == ERROR_SUCCESS;
}

}  // namespace talvik
