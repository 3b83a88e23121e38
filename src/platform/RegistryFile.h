#pragma once
// The per-user registry tree kept in one text file in the REGEDIT4 format (RegistryDocument.h),
// for platforms without a registry of their own. The file is read again only when it changed,
// so a run of reads costs one read of the file; every change re-reads it under a lock and
// replaces it whole (RegistryFileStorage.h), so several processes may share it; the changes
// between BeginChanges and EndChanges go in one write. A file that
// cannot be understood is never rewritten: what can be read of it is still read, every change
// fails, and Problem() says why.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Registry.h"
#include "platform/RegistryFileStorage.h"

namespace talvik {

class RegistryFile : public Registry {
  public:
    // The file need not exist; its folder is created (mode 0700) with the first change.
    explicit RegistryFile(std::string path);

    // "$XDG_CONFIG_HOME/talvik/registry.reg", or "$HOME/.config/talvik/registry.reg" when
    // XDG_CONFIG_HOME is unset, empty or relative. Empty text when neither gives a folder.
    static std::string DefaultPath();
    static std::string DefaultPath(const char* xdgConfigHome, const char* home);

    const std::string& Path() const { return file_.Path(); }
    // Why the last operation could not read or change the file, as a sentence for the user
    // (Windows-1252); empty when the file was fine.
    const std::string& Problem() const { return problem_; }
    // Reads the file now and returns Problem().
    const std::string& CheckFile();

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
    bool BeginChanges(bool hold, std::string& problem) override;
    bool EndChanges(std::string& problem) override;

    // Longest subkey name EnumSubkey returns and longest value GetStringValue reads, in bytes.
    static constexpr std::size_t kMaxSubkeyName = 300;
    static constexpr std::size_t kMaxValueBytes = 1024;

  private:
    using KeyPath = regedit::KeyPath;
    bool Resolve(RegKey parent, std::string_view path, KeyPath& full) const;
    RegKey NewHandle(KeyPath path);
    bool ReadValue(RegKey root, std::string_view path, std::string_view valueName,
                   std::size_t limit, std::string& text);

    regedit::DocumentFile file_;
    std::string problem_;
    std::map<RegKey, KeyPath> handles_;
    RegKey nextHandle_ = 1;
};

}  // namespace talvik
