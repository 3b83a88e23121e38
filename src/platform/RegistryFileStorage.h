#pragma once
// The file that holds the REGEDIT4 document, shared by several processes: read again only when
// it changed (its size, time or file number differ from the last read), changed under an
// advisory lock on "<file>.lock" by writing a temporary file beside it, flushing it to the disk
// and renaming it into place. A file that cannot be understood is never rewritten.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/RegistryDocument.h"

namespace talvik::regedit {

class DocumentFile {
  public:
    // The file need not exist; its folder is created (mode 0700) with the first change.
    explicit DocumentFile(std::string path) : path_(std::move(path)) {}

    const std::string& Path() const { return path_; }

    // The document as the file holds it now (empty when there is no file). `problem` tells,
    // as a sentence for the user (Windows-1252), why the file cannot be rewritten; empty when
    // it can.
    const Document& Read(std::string& problem);

    // Runs `change` on the current document under the lock and writes the result. False when
    // the change was refused or the file could not be read or written (`problem` says why).
    bool Change(std::string& problem, const std::function<regedit::Change(Document&)>& change);

  private:
    struct Identity {
        bool exists = false;
        std::uint64_t size = 0;
        std::int64_t seconds = 0;
        std::int64_t nanoseconds = 0;
        std::uint64_t device = 0;
        std::uint64_t number = 0;
        bool operator==(const Identity&) const = default;
    };
    static Identity IdentityOf(const std::string& path);
    // Reads the file into the cache when its identity differs from the cached one.
    void Refresh(const std::string& path);

    std::string path_;
    bool cached_ = false;
    Identity identity_;
    Document document_;
    std::string problem_;  // why the cached document cannot be rewritten
};

}  // namespace talvik::regedit
