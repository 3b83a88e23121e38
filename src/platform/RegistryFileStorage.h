#pragma once
// The file that holds the REGEDIT4 document, shared by several processes: read again only when
// it changed (its size or time differ from the last read), changed under the lock of
// "<file>.lock" by writing a temporary file beside it, flushing it to the disk and renaming it
// into place. A file that cannot be understood is never rewritten.
//
// Changes that belong together (one command of the program) form a batch: they reach the file
// in one write. A held batch takes the lock at its start, so that what its changes read is
// what they change (no other process changes the file in between); a deferred batch takes it
// only at its end, where its changes are made again on the file as it is then.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/FileReplace.h"
#include "platform/RegistryDocument.h"

namespace talvik::regedit {

enum class Batch { Held, Deferred };

class DocumentFile {
  public:
    // The file need not exist; its folder is created (mode 0700) with the first change.
    explicit DocumentFile(std::string path) : path_(std::move(path)) {}

    const std::string& Path() const { return path_; }

    // The document as the file holds it now (empty when there is no file), or as the batch
    // has changed it. `problem` tells, as a sentence for the user (Windows-1252), why the file
    // cannot be rewritten; empty when it can.
    const Document& Read(std::string& problem);

    // Runs `change` on the current document under the lock and writes the result (in a batch:
    // on the batch's document, written at its end). False when the change was refused or the
    // file could not be read or written (`problem` says why). `change` may be run again at the
    // end of a deferred batch, so it must not refer to anything that ends before that.
    bool Change(std::string& problem, const std::function<regedit::Change(Document&)>& change);

    // Starts a batch. False (`problem` says why; no batch) when a held batch cannot take the
    // lock or read the file.
    bool BeginBatch(Batch kind, std::string& problem);
    // Writes what the batch changed, in one write, and ends it. False (`problem` says why)
    // when that failed; nothing of the batch is then in the file.
    bool EndBatch(std::string& problem);

  private:
    struct Identity {
        bool exists = false;
        std::uint64_t size = 0;
        std::int64_t time = 0;
        bool operator==(const Identity&) const = default;
    };
    static Identity IdentityOf(const std::string& path);
    // Reads the file into the cache when its identity differs from the cached one.
    void Refresh(const std::string& path);
    // Takes the lock and reads the file as it is now; the target is the file really written.
    bool LockAndRead(FileLock& lock, std::string& target, std::string& problem);
    bool Write(const std::string& target, const Document& doc, std::string& problem);

    std::string path_;
    bool cached_ = false;
    Identity identity_;
    Document document_;
    std::string problem_;  // why the cached document cannot be rewritten

    bool inBatch_ = false;
    bool batchChanged_ = false;
    Batch batch_ = Batch::Held;
    FileLock batchLock_;
    std::string batchTarget_;
    Document batchDocument_;
    std::vector<std::function<regedit::Change(Document&)>> batchChanges_;
};

}  // namespace talvik::regedit
