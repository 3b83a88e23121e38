#pragma once
// A text file written by the project writers: written under a temporary name beside its final
// path, filled through a large in-memory buffer, every line ended by CR LF. A failure (cannot
// create, disk full) is remembered instead of stopping the caller; later writes to a failed file
// are dropped. The file is put in its place only by the project commit it is handed over to
// (ProjectCommit.h); a file that is not handed over leaves no trace, so an older file of that
// name stays as it was.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/FileReplace.h"
#include "platform/UserInterface.h"

namespace talvik {

class OutputFile {
  public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates the temporary file for `path`. False (and Failed()) when it cannot be created.
    bool Open(const std::string& path);
    // Appends text without a line end.
    void Write(std::string_view text);
    // Appends text followed by CR LF.
    void Line(std::string_view text);
    // Writes what is buffered, closes the temporary file and waits until it is on the disk;
    // false when anything failed since Open.
    bool Close();
    // Closes the file and removes it; the final path is not touched.
    void Discard();
    // The complete temporary file is handed to a caller that puts it in place itself (a
    // project commit); it is no longer removed here.
    void HandOver(bool committed);

    bool Failed() const { return failed_; }
    bool Committed() const { return committed_; }
    const std::string& Path() const { return path_; }
    const std::string& TemporaryPath() const { return file_.TemporaryPath(); }
    // Why the file failed, as words for after its path; empty while it has not.
    const std::string& Problem() const { return file_.Problem(); }
    // Bytes handed to the file so far (written or buffered).
    std::uint64_t Size() const { return written_ + buffer_.size(); }

    // The buffer itself, for writers that assemble a line in place; call Flushed() after
    // appending to it.
    std::string& Buffer() { return buffer_; }
    void Flushed() {
        if (buffer_.size() >= kChunk) Flush();
    }

  private:
    static constexpr std::size_t kChunk = std::size_t{1} << 20;
    void Flush();

    ReplacingFile file_;
    std::string path_;
    std::string buffer_;
    std::uint64_t written_ = 0;
    bool failed_ = false;
    bool committed_ = false;
};

// The body of a writer: ends each line assembled in the file's buffer, counts it and shows
// "<caption><count>" in the progress line; Finish writes the closing "$" and closes the file.
class BodyLines {
  public:
    // `total` records are to go through the writer, some of which may give no line; 0 when that
    // is not known, then nothing is shown before Finish.
    BodyLines(OutputFile& file, UserInterface& ui, std::string caption, std::uint64_t total)
        : file_(file), progress_(ui), caption_(std::move(caption)), total_(total) {}

    // Ends the line of record `done` (counted from 1).
    void EndLine(std::uint64_t done);
    // ShowLast and CloseFile; false when anything failed since the file was opened.
    bool Finish();
    // The final count in the progress line.
    void ShowLast();
    // Writes the closing "$" and closes the file, without a word to the user interface (so it
    // may run on another thread); false when anything failed since the file was opened.
    bool CloseFile();

  private:
    std::string Text() const;

    OutputFile& file_;
    ProgressThrottle progress_;
    std::string caption_;
    std::uint64_t total_;
    long long count_ = 0;
};

}  // namespace talvik
