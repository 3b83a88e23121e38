#include "platform/RegistryFileStorage.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>

#include "text/Text.h"

namespace talvik::regedit {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kNoPathProblem =
    "Er is geen plaats voor het registerbestand: HOME en XDG_CONFIG_HOME zijn niet gezet.";

// How long a change waits for another process's change to the store to end.
constexpr std::chrono::milliseconds kLockWait{30000};

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

struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

enum class ReadOutcome { Read, Missing, Failed };

// A pipe or device in the file's place is refused, not read (and not waited for).
ReadOutcome ReadAll(const std::string& path, std::string& bytes, std::string& error) {
    bytes.clear();
    switch (KindOf(path)) {
        case EntryKind::Missing:
            return ReadOutcome::Missing;
        case EntryKind::Folder:
            error = "er staat een map met die naam";
            return ReadOutcome::Failed;
        case EntryKind::Other:
            error = "geen gewoon bestand";
            return ReadOutcome::Failed;
        case EntryKind::File:
            break;
    }
    const std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        error = LastFileProblem();
        return ReadOutcome::Failed;
    }
    char block[65536];
    for (;;) {
        const std::size_t got = std::fread(block, 1, sizeof block, file.get());
        bytes.append(block, got);
        if (got < sizeof block) break;
    }
    if (std::ferror(file.get()) != 0) {
        error = LastFileProblem();
        bytes.clear();
        return ReadOutcome::Failed;
    }
    return ReadOutcome::Read;
}

std::string FolderOf(const std::string& path) {
    const fs::path parent = fs::path(path).parent_path();
    return parent.empty() ? "." : parent.string();
}

bool MakeFolders(const std::string& folder, std::string& error) {
    std::error_code code;
    if (KindOf(folder) == EntryKind::Missing) {
        // Created for this user alone: the store holds the user's choices.
        fs::path part;
        for (const fs::path& name : fs::path(folder)) {
            part /= name;
            if (KindOf(part.string()) != EntryKind::Missing) continue;
            if (!fs::create_directory(part, code) && code) {
                error = "map kan niet worden aangemaakt";
                return false;
            }
            fs::permissions(part, fs::perms::owner_all, code);
        }
    }
    if (KindOf(folder) != EntryKind::Folder) {
        error = "map bestaat niet";
        return false;
    }
    return true;
}

// The file that is really written: the target of a symbolic link, the path itself otherwise.
std::string WriteTarget(const std::string& path) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(path, error))) return path;
    const fs::path target = fs::canonical(path, error);
    return error ? path : target.string();
}

}  // namespace

DocumentFile::Identity DocumentFile::IdentityOf(const std::string& path) {
    Identity identity;
    std::error_code error;
    if (KindOf(path) != EntryKind::File) return identity;
    identity.size = fs::file_size(path, error);
    if (error) return identity;
    identity.time =
        static_cast<std::int64_t>(fs::last_write_time(path, error).time_since_epoch().count());
    identity.exists = !error;
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
    if (inBatch_) {
        problem = problem_;
        return batchDocument_;
    }
    Refresh(path_);
    problem = problem_;
    return document_;
}

bool DocumentFile::LockAndRead(FileLock& lock, std::string& target, std::string& problem) {
    if (path_.empty()) {
        problem = kNoPathProblem;
        return false;
    }
    target = WriteTarget(path_);
    std::string error;
    if (!MakeFolders(FolderOf(target), error)) {
        problem = WriteProblem(path_, error);
        return false;
    }
    // A folder or device in the file's place is refused before a lock file is made beside it.
    const EntryKind kind = KindOf(target);
    if (kind == EntryKind::Folder || kind == EntryKind::Other) {
        problem = WriteProblem(path_, kind == EntryKind::Folder ? "er staat een map met die naam"
                                                                : "geen gewoon bestand");
        return false;
    }
    if (!lock.Acquire(target + ".lock", kLockWait)) {
        problem = WriteProblem(
            path_, lock.Busy() ? "in gebruik door een ander programma" : lock.Problem());
        return false;
    }
    // A change always starts from the file itself, whatever the cache holds.
    cached_ = false;
    Refresh(target);
    problem = problem_;
    return problem.empty();
}

bool DocumentFile::Write(const std::string& target, const Document& doc, std::string& problem) {
    const std::string bytes = Serialize(doc);
    if (!Parse(bytes).problem.empty()) {  // never write what could not be read back
        problem = WriteProblem(path_, "interne fout bij het opbouwen");
        return false;
    }
    std::string reason;
    if (!WriteWholeFile(target, bytes, reason)) {
        problem = WriteProblem(path_, reason);
        return false;
    }
    document_ = doc;
    identity_ = IdentityOf(target);
    cached_ = identity_.exists;
    return true;
}

bool DocumentFile::Change(std::string& problem,
                          const std::function<regedit::Change(Document&)>& change) {
    if (inBatch_) {
        problem = problem_;
        if (!problem.empty()) return false;
        switch (change(batchDocument_)) {
            case Change::Refused:
                return false;
            case Change::Unchanged:
                return true;
            case Change::Changed:
                batchChanged_ = true;
                if (batch_ == Batch::Deferred) batchChanges_.push_back(change);
                return true;
        }
    }
    FileLock lock;
    std::string target;
    if (!LockAndRead(lock, target, problem)) return false;
    Document doc = document_;
    switch (change(doc)) {
        case Change::Refused:
            return false;
        case Change::Unchanged:
            return true;
        case Change::Changed:
            break;
    }
    return Write(target, doc, problem);  // letting the lock go removes the lock file
}

bool DocumentFile::BeginBatch(Batch kind, std::string& problem) {
    problem.clear();
    if (inBatch_) return true;
    batch_ = kind;
    batchChanges_.clear();
    batchChanged_ = false;
    if (kind == Batch::Held) {
        if (!LockAndRead(batchLock_, batchTarget_, problem)) {
            batchLock_.Release();
            return false;
        }
    } else {
        Read(problem);
        if (path_.empty()) return false;
    }
    batchDocument_ = document_;
    inBatch_ = true;
    return true;
}

bool DocumentFile::EndBatch(std::string& problem) {
    problem.clear();
    if (!inBatch_) return true;
    inBatch_ = false;
    const auto changes = std::move(batchChanges_);
    batchChanges_.clear();
    Document doc = std::move(batchDocument_);
    batchDocument_ = Document();
    if (!batchChanged_) {
        batchLock_.Release();
        return true;
    }
    bool written = false;
    if (batch_ == Batch::Held) {
        written = Write(batchTarget_, doc, problem);
    } else if (LockAndRead(batchLock_, batchTarget_, problem)) {
        // The changes are made again on the file as another process may have left it.
        doc = document_;
        for (const auto& change : changes)
            change(doc);
        written = Write(batchTarget_, doc, problem);
    }
    batchLock_.Release();
    return written;
}

}  // namespace talvik::regedit
