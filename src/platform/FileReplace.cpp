#include "platform/FileReplace.h"

#include <cerrno>
#include <filesystem>
#include <random>
#include <system_error>
#include <thread>

#include "platform/FileCalls.h"

namespace talvik {

namespace {

constexpr char kHex[] = "0123456789abcdef";

std::uint32_t RandomTag() {
    std::random_device device;
    return device() ^
           static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

}  // namespace

std::string ProblemOfErrno(int error) {
    switch (error) {
        case ENOSPC:
#ifdef EDQUOT
        case EDQUOT:
#endif
            return "schijf vol";
        case EFBIG:
            return "bestand te groot";
        case EACCES:
        case EPERM:
            return "geen toegang";
        case EROFS:
            return "schijf is alleen-lezen";
#ifdef ETXTBSY
        case ETXTBSY:
#endif
        case EBUSY:
            return "in gebruik door een ander programma";
        case ENAMETOOLONG:
            return "naam te lang";
        case ENOENT:
        case ENOTDIR:
            return "map bestaat niet";
        case EISDIR:
            return "er staat een map met die naam";
#ifdef ELOOP
        case ELOOP:
            return "er staat een koppeling met die naam";
#endif
        case EEXIST:
        case ENOTEMPTY:
            return "er staat al iets met die naam";
        case EIO:
            return "leesfout of schrijffout van de schijf";
        default:
            return {};
    }
}

std::string TemporaryNameFor(const std::string& target, std::size_t longestName,
                             std::size_t longestPath) {
    std::string suffix = ".";
    for (std::uint32_t tag = RandomTag(), i = 0; i < 8; ++i, tag >>= 4)
        suffix += kHex[tag & 15];
    suffix += ".tmp";
    const std::size_t slash = target.find_last_of("/\\");
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t nameLength = target.size() - nameStart;
    // What the temporary name is longer than the system allows comes off the target's name;
    // one byte of it always stays.
    std::size_t over = 0;
    if (nameLength + suffix.size() > longestName) over = nameLength + suffix.size() - longestName;
    if (target.size() + suffix.size() > longestPath)
        over = std::max(over, target.size() + suffix.size() - longestPath);
    const std::size_t kept =
        over < nameLength ? nameLength - over : std::min<std::size_t>(1, nameLength);
    return target.substr(0, nameStart + kept) + suffix;
}

namespace {

EntryKind KindOfStatus(const std::filesystem::file_status& status) {
    switch (status.type()) {
        case std::filesystem::file_type::regular:
            return EntryKind::File;
        case std::filesystem::file_type::directory:
            return EntryKind::Folder;
        case std::filesystem::file_type::not_found:
        case std::filesystem::file_type::none:  // cannot be looked at: the open will say why
            return EntryKind::Missing;
        default:
            return EntryKind::Other;
    }
}

}  // namespace

EntryKind KindOf(const std::string& path) {
    std::error_code error;
    return KindOfStatus(std::filesystem::status(path, error));
}

EntryKind KindOfEntry(const std::string& path) {
    std::error_code error;
    return KindOfStatus(std::filesystem::symlink_status(path, error));
}

bool IsReadOnlyFile(const std::string& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    return !error && std::filesystem::is_regular_file(status) &&
           (status.permissions() & std::filesystem::perms::owner_write) ==
               std::filesystem::perms::none;
}

ReplacingFile::~ReplacingFile() {
    Discard();
}

bool ReplacingFile::Create(const std::string& target) {
    Discard();
    target_ = target;
    failed_ = true;
    problem_.clear();
    const EntryKind kind = KindOf(target);
    if (kind == EntryKind::Folder) {
        problem_ = "er staat een map met die naam";
        return false;
    }
    if (kind == EntryKind::Other) {
        problem_ = "geen gewoon bestand";
        return false;
    }
    if (kind == EntryKind::File && IsReadOnlyFile(target)) {
        problem_ = "alleen-lezen";
        return false;
    }
    temporary_ = TemporaryNameFor(target);
    file_ = CreateNewFile(temporary_);
    if (file_ == nullptr) {
        problem_ = LastFileProblem();
        temporary_.clear();  // nothing to remove
        return false;
    }
    failed_ = false;
    return true;
}

void ReplacingFile::Fail() {
    if (!failed_) problem_ = LastFileProblem();
    failed_ = true;
}

bool ReplacingFile::Close() {
    if (file_ != nullptr) {
        if (!failed_ && (std::fflush(file_) != 0 || !SyncStream(file_))) Fail();
        if (std::fclose(file_) != 0) Fail();
        file_ = nullptr;
    }
    return !failed_ && !temporary_.empty();
}

bool ReplacingFile::Place() {
    if (!Close()) {
        Discard();
        return false;
    }
    KeepPermissions(target_, temporary_);
    if (!ReplaceFile(temporary_, target_)) {
        Fail();
        Discard();
        return false;
    }
    temporary_.clear();
    SyncFolderOf(target_);
    return true;
}

void ReplacingFile::Discard() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    if (!temporary_.empty()) RemoveEntry(temporary_);
    temporary_.clear();
}

bool WriteWholeFile(const std::string& target, std::string_view bytes, std::string& problem) {
    ReplacingFile file;
    if (file.Create(target)) {
        if (std::fwrite(bytes.data(), 1, bytes.size(), file.Stream()) != bytes.size()) file.Fail();
        if (file.Place()) return true;
    }
    problem = file.Problem();
    return false;
}

FileLock::~FileLock() {
    Release();
}

bool FileLock::Acquire(const std::string& path, std::chrono::milliseconds wait) {
    Release();
    path_ = path;
    busy_ = false;
    problem_.clear();
    const auto until = std::chrono::steady_clock::now() + wait;
    while (!TryOnce()) {
        if (!busy_ || std::chrono::steady_clock::now() >= until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    busy_ = false;
    return true;
}

}  // namespace talvik
