#pragma once
// The per-user registry tree (HKEY_CURRENT_USER) with the six operations the host integration
// needs. Key paths use backslashes; all texts are Windows-1252 bytes; string values only.
// No operation shows a message or throws: outcomes travel as return values.

#include <cstdint>
#include <string>
#include <string_view>

namespace talvik {

using RegKey = std::uint32_t;
inline constexpr RegKey kHkeyCurrentUser = 0x80000001u;

// Result codes of EnumSubkey, as the platform reports them.
inline constexpr long kRegSuccess = 0;
inline constexpr long kRegNoMoreItems = 259;
inline constexpr long kRegMoreData = 234;
inline constexpr long kRegInvalidHandle = 6;

class Registry {
  public:
    virtual ~Registry() = default;
    // Opens an existing key below the parent. Fails when it does not exist.
    virtual bool OpenKey(RegKey parent, std::string_view path, RegKey& key) = 0;
    // Creates the key below the parent, or opens it when it exists. An empty name fails.
    virtual bool CreateKey(RegKey parent, std::string_view name, RegKey& key) = 0;
    virtual bool CloseKey(RegKey key) = 0;
    // Name of the subkey at index (from 0); 0 on success, another code at the end or on error.
    // Names longer than 300 characters cannot be read.
    virtual long EnumSubkey(RegKey key, std::uint32_t index, std::string& name) = 0;
    // Reads a string value; false with empty text when the key or value is missing or the
    // value is longer than 1024 bytes. A terminating zero byte is dropped.
    virtual bool GetStringValue(RegKey root, std::string_view path, std::string_view valueName,
                                std::string& text) = 0;
    // Reads a string value like GetStringValue but of any length. The settings store uses it,
    // since a user's texts are not bound to the host's buffer size. A registry without such a
    // read keeps the limit.
    virtual bool GetLongStringValue(RegKey root, std::string_view path, std::string_view valueName,
                                    std::string& text) {
        return GetStringValue(root, path, valueName, text);
    }
    // Writes a string value into an existing key; the key is never created here.
    virtual bool SetStringValue(RegKey root, std::string_view path, std::string_view valueName,
                                std::string_view text) = 0;
    // Brackets the changes of one command. A store kept in a file takes them in one write:
    // `hold` keeps other processes from changing it from here on, so that what the changes
    // read is what they change; without it the changes are made again on the file as it is at
    // the end. Nothing to do in a registry of the system's own. False (`problem` says why, as
    // a sentence for the user) when the store cannot be read or changed.
    virtual bool BeginChanges(bool hold, std::string& problem) {
        (void)hold;
        problem.clear();
        return true;
    }
    // Writes what changed since BeginChanges. False (`problem` says why) when it could not.
    virtual bool EndChanges(std::string& problem) {
        problem.clear();
        return true;
    }
    // Removes a value of the key. False when the key or the value is missing or the store
    // cannot be changed; a registry without removal always fails.
    virtual bool DeleteValue(RegKey root, std::string_view path, std::string_view valueName) {
        (void)root;
        (void)path;
        (void)valueName;
        return false;
    }
};

// The changes made while it lives reach the store in one write (BeginChanges .. EndChanges). A
// store that cannot be read takes them one by one instead, each failing on its own, as without.
class OneWrite {
  public:
    explicit OneWrite(Registry& registry) : registry_(registry) {
        std::string problem;
        registry_.BeginChanges(false, problem);
    }
    ~OneWrite() {
        std::string problem;
        registry_.EndChanges(problem);
    }
    OneWrite(const OneWrite&) = delete;
    OneWrite& operator=(const OneWrite&) = delete;

  private:
    Registry& registry_;
};

}  // namespace talvik
