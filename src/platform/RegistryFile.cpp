#include "platform/RegistryFile.h"

#include <cstdlib>
#include <utility>

namespace talvik {

RegistryFile::RegistryFile(std::string path) : file_(std::move(path)) {}

std::string RegistryFile::DefaultPath() {
    return DefaultPath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

std::string RegistryFile::DefaultPath(const char* xdgConfigHome, const char* home) {
    std::string folder;
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') {
        folder = xdgConfigHome;
    } else if (home != nullptr && home[0] != '\0') {
        folder = std::string(home);
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        folder += "/.config";
    } else {
        return std::string();
    }
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    if (folder == "/") folder.clear();
    return folder + "/talvik/registry.reg";
}

const std::string& RegistryFile::CheckFile() {
    file_.Read(problem_);
    return problem_;
}

bool RegistryFile::Resolve(RegKey parent, std::string_view path, KeyPath& full) const {
    full.clear();
    if (parent != kHkeyCurrentUser) {
        const auto found = handles_.find(parent);
        if (found == handles_.end()) return false;
        full = found->second;
    }
    return regedit::AppendNames(path, full);
}

RegKey RegistryFile::NewHandle(KeyPath path) {
    if (nextHandle_ == 0 || nextHandle_ == kHkeyCurrentUser) nextHandle_ = 1;
    while (handles_.count(nextHandle_) != 0 || nextHandle_ == kHkeyCurrentUser)
        ++nextHandle_;
    const RegKey key = nextHandle_++;
    handles_.emplace(key, std::move(path));
    return key;
}

bool RegistryFile::OpenKey(RegKey parent, std::string_view path, RegKey& key) {
    key = 0;
    KeyPath full;
    if (!Resolve(parent, path, full) || !regedit::KeyExists(file_.Read(problem_), full))
        return false;
    key = NewHandle(std::move(full));
    return true;
}

bool RegistryFile::CreateKey(RegKey parent, std::string_view name, RegKey& key) {
    key = 0;
    if (name.empty()) return false;
    KeyPath base;
    if (!Resolve(parent, "", base)) return false;
    KeyPath full = base;
    if (!regedit::AppendNames(name, full)) return false;
    bool exists = regedit::KeyExists(file_.Read(problem_), full);
    if (!exists) {
        exists = file_.Change(problem_, [base, full](regedit::Document& doc) {
            return regedit::AddKey(doc, base, full);
        });
    }
    if (!exists) return false;
    key = NewHandle(std::move(full));
    return true;
}

bool RegistryFile::CloseKey(RegKey key) {
    if (key == kHkeyCurrentUser) return true;
    return handles_.erase(key) != 0;
}

long RegistryFile::EnumSubkey(RegKey key, std::uint32_t index, std::string& name) {
    name.clear();
    KeyPath full;
    if (!Resolve(key, "", full)) return kRegInvalidHandle;
    const std::vector<std::string> subkeys = regedit::SubkeyNames(file_.Read(problem_), full);
    if (index >= subkeys.size()) return kRegNoMoreItems;
    if (subkeys[index].size() > kMaxSubkeyName) return kRegMoreData;
    name = subkeys[index];
    return kRegSuccess;
}

bool RegistryFile::ReadValue(RegKey root, std::string_view path, std::string_view valueName,
                             std::size_t limit, std::string& text) {
    text.clear();
    KeyPath full;
    if (!Resolve(root, path, full)) return false;
    return regedit::ReadString(file_.Read(problem_), full, valueName, limit, text);
}

bool RegistryFile::GetStringValue(RegKey root, std::string_view path, std::string_view valueName,
                                  std::string& text) {
    return ReadValue(root, path, valueName, kMaxValueBytes, text);
}

bool RegistryFile::GetLongStringValue(RegKey root, std::string_view path,
                                      std::string_view valueName, std::string& text) {
    return ReadValue(root, path, valueName, std::string::npos, text);
}

bool RegistryFile::SetStringValue(RegKey root, std::string_view path, std::string_view valueName,
                                  std::string_view text) {
    KeyPath full;
    if (!Resolve(root, path, full) || regedit::HasControlBytes(valueName)) return false;
    return file_.Change(problem_, [full, name = std::string(valueName),
                                   value = std::string(text)](regedit::Document& doc) {
        return regedit::SetString(doc, full, name, value);
    });
}

bool RegistryFile::DeleteValue(RegKey root, std::string_view path, std::string_view valueName) {
    KeyPath full;
    if (!Resolve(root, path, full)) return false;
    return file_.Change(problem_, [full, name = std::string(valueName)](regedit::Document& doc) {
        return regedit::DeleteValue(doc, full, name);
    });
}

bool RegistryFile::BeginChanges(bool hold, std::string& problem) {
    const bool begun =
        file_.BeginBatch(hold ? regedit::Batch::Held : regedit::Batch::Deferred, problem);
    if (!problem.empty()) problem_ = problem;
    return begun;
}

bool RegistryFile::EndChanges(std::string& problem) {
    const bool written = file_.EndBatch(problem);
    if (!written) problem_ = problem;
    return written;
}

}  // namespace talvik
