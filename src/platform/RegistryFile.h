#pragma once
// The per-user registry tree kept in one text file in the REGEDIT4 format, for platforms
// without a registry of their own:
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\Software\Kelvaris\Talvik]
//   "TalvikCurrentSel"="1"
//
// Only the keys under HKEY_CURRENT_USER are visible; everything else in the file (comments,
// other roots, binary and number values, lines it does not know) is kept as written when the
// file is rewritten. Key and value names compare case-insensitively by the Windows-1252 rule
// and keep the case they were written in. A key exists when it or a key below it is written.
//
// Every change re-reads the file under an advisory lock on "<file>.lock", writes a temporary
// file beside it and renames it into place, so several processes may share the file. A file
// that cannot be understood is never rewritten: what can be read of it is still read, every
// change fails, and Problem() says why.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Registry.h"

namespace talvik {

class RegistryFile : public Registry {
  public:
    // The file need not exist; its folder is created (mode 0700) with the first change.
    explicit RegistryFile(std::string path);

    // "$XDG_CONFIG_HOME/talvik/registry.reg", or "$HOME/.config/talvik/registry.reg" when
    // XDG_CONFIG_HOME is unset, empty or relative. Empty text when neither gives a folder.
    static std::string DefaultPath();
    static std::string DefaultPath(const char* xdgConfigHome, const char* home);

    const std::string& Path() const { return path_; }
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

    // Longest subkey name EnumSubkey returns and longest value GetStringValue reads, in bytes.
    static constexpr std::size_t kMaxSubkeyName = 300;
    static constexpr std::size_t kMaxValueBytes = 1024;

  private:
    using KeyPath = std::vector<std::string>;
    bool Resolve(RegKey parent, std::string_view path, KeyPath& full) const;
    RegKey NewHandle(KeyPath path);
    bool ReadValue(RegKey root, std::string_view path, std::string_view valueName,
                   std::size_t limit, std::string& text);

    std::string path_;
    std::string problem_;
    std::map<RegKey, KeyPath> handles_;
    RegKey nextHandle_ = 1;
};

}  // namespace talvik
