#include "platform/RegistryFileStorage.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <system_error>
#include <utility>

#include "platform/FileReplace.h"
#include "text/Text.h"

namespace talvik::regedit {
namespace {

constexpr std::string_view kNoPathProblem =
    "Er is geen plaats voor het registerbestand: HOME en XDG_CONFIG_HOME zijn niet gezet.";

std::string ErrorText(int error) {
    return std::generic_category().message(error);
}

std::string ShownPath(const std::string& path) {
    return "\"" + Cp1252FromUtf8(path) + "\"";
}

std::string DamagedProblem(const std::string& path, const std::string& reason) {
    return "Het registerbestand " + ShownPath(path) + " is beschadigd (" + reason +
           "). Talvik leest wat het kan, maar wijzigt het bestand niet; herstel of verwijder "
           "het.";
}

std::string ReadProblem(const std::string& path, const std::string& reason) {
    return "Het registerbestand " + ShownPath(path) + " kan niet worden gelezen (" + reason + ").";
}

std::string WriteProblem(const std::string& path, const std::string& reason) {
    return "Het registerbestand " + ShownPath(path) + " kan niet worden bijgewerkt (" + reason +
           ").";
}

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd_; }
    int Release() { return std::exchange(fd_, -1); }

  private:
    int fd_;
};

enum class ReadOutcome { Read, Missing, Failed };

ReadOutcome ReadAll(const std::string& path, std::string& bytes, std::string& error) {
    bytes.clear();
    // Without waiting: a pipe or device in the file's place is refused, not read.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.Get() < 0) {
        if (errno == ENOENT) return ReadOutcome::Missing;
        error = ErrorText(errno);
        return ReadOutcome::Failed;
    }
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0) {
        error = ErrorText(errno);
        return ReadOutcome::Failed;
    }
    if (!S_ISREG(st.st_mode)) {
        error = ErrorText(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
        return ReadOutcome::Failed;
    }
    // Read straight into the text, growing it when the file turns out longer than it was.
    std::size_t length = 0;
    bytes.resize(S_ISREG(st.st_mode) && st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1
                                                       : 65536);
    while (true) {
        if (length == bytes.size()) bytes.resize(bytes.size() * 2);
        const ssize_t n = ::read(fd.Get(), bytes.data() + length, bytes.size() - length);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            error = ErrorText(errno);
            bytes.clear();
            return ReadOutcome::Failed;
        }
        length += static_cast<std::size_t>(n);
    }
    bytes.resize(length);
    return ReadOutcome::Read;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool MakeFolders(const std::string& folder, std::string& error) {
    for (std::size_t pos = 1; pos <= folder.size(); ++pos) {
        if (pos < folder.size() && folder[pos] != '/') continue;
        const std::string part = folder.substr(0, pos);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            error = ErrorText(errno);
            return false;
        }
    }
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        error = ErrorText(ENOTDIR);
        return false;
    }
    return true;
}

// The file that is really written: the target of a symbolic link, the path itself otherwise.
std::string WriteTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return path;
    std::string target(resolved);
    std::free(resolved);
    return target;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Writes a temporary file beside the target, flushes it to the disk and renames it into place.
bool WriteReplacing(const std::string& target, std::string_view bytes, std::string& error) {
    std::string name = target + ".XXXXXX";
    FileDescriptor fd(::mkstemp(name.data()));
    if (fd.Get() < 0) {
        error = ErrorText(errno);
        return false;
    }
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) ::fchmod(fd.Get(), st.st_mode & 07777);
    bool ok = WriteAll(fd.Get(), bytes) && ::fsync(fd.Get()) == 0;
    if (ok) ok = ::close(fd.Release()) == 0;
    if (ok && !ReplaceFile(name, target)) {
        ok = false;
        errno = errno == 0 ? EACCES : errno;
    }
    if (!ok) {
        error = ErrorText(errno);
        ::unlink(name.c_str());
        return false;
    }
    return true;
}

}  // namespace

DocumentFile::Identity DocumentFile::IdentityOf(const std::string& path) {
    Identity identity;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return identity;
    identity.exists = true;
    identity.size = static_cast<std::uint64_t>(st.st_size);
    identity.seconds = static_cast<std::int64_t>(st.st_mtime);
#if defined(__linux__)
    identity.nanoseconds = static_cast<std::int64_t>(st.st_mtim.tv_nsec);
#endif
    identity.device = static_cast<std::uint64_t>(st.st_dev);
    identity.number = static_cast<std::uint64_t>(st.st_ino);
    return identity;
}

void DocumentFile::Refresh(const std::string& path) {
    const Identity identity = IdentityOf(path);
    // A file that is not a regular one is read (and refused) every time.
    if (cached_ && identity == identity_ && identity.exists) return;
    cached_ = true;
    identity_ = identity;
    document_ = Document();
    problem_.clear();
    std::string bytes;
    std::string error;
    switch (ReadAll(path, bytes, error)) {
        case ReadOutcome::Missing:
            return;
        case ReadOutcome::Failed:
            problem_ = ReadProblem(path_, error);
            cached_ = false;
            return;
        case ReadOutcome::Read:
            break;
    }
    document_ = Parse(bytes);
    if (!document_.problem.empty()) problem_ = DamagedProblem(path_, document_.problem);
}

const Document& DocumentFile::Read(std::string& problem) {
    if (path_.empty()) {
        document_ = Document();
        cached_ = false;
        problem = kNoPathProblem;
        return document_;
    }
    Refresh(path_);
    problem = problem_;
    return document_;
}

bool DocumentFile::Change(std::string& problem,
                          const std::function<regedit::Change(Document&)>& change) {
    if (path_.empty()) {
        problem = kNoPathProblem;
        return false;
    }
    const std::string target = WriteTarget(path_);
    std::string error;
    if (!MakeFolders(FolderOf(target), error)) {
        problem = WriteProblem(path_, error);
        return false;
    }
    // A folder or device in the file's place is refused before a lock file is made beside it.
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        problem = WriteProblem(path_, ErrorText(S_ISDIR(st.st_mode) ? EISDIR : EINVAL));
        return false;
    }
    const std::string lockName = target + ".lock";
    FileDescriptor lock(::open(lockName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (lock.Get() < 0) {
        problem = WriteProblem(path_, ErrorText(errno));
        return false;
    }
    while (::flock(lock.Get(), LOCK_EX) != 0) {
        if (errno != EINTR) {
            problem = WriteProblem(path_, ErrorText(errno));
            return false;
        }
    }
    // A change always starts from the file itself, whatever the cache holds.
    cached_ = false;
    Refresh(target);
    problem = problem_;
    if (!problem.empty()) return false;
    Document doc = document_;
    switch (change(doc)) {
        case Change::Refused:
            return false;
        case Change::Unchanged:
            return true;
        case Change::Changed:
            break;
    }
    const std::string bytes = Serialize(doc);
    if (!Parse(bytes).problem.empty()) {  // never write what could not be read back
        problem = WriteProblem(path_, "interne fout bij het opbouwen");
        return false;
    }
    if (!WriteReplacing(target, bytes, error)) {
        problem = WriteProblem(path_, error);
        return false;
    }
    document_ = std::move(doc);
    identity_ = IdentityOf(target);
    cached_ = identity_.exists;
    return true;  // closing the lock file releases the lock
}

}  // namespace talvik::regedit
