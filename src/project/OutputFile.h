#pragma once
// A text file written by the project writers: created (or truncated) on Open, filled through a
// large in-memory buffer, every line ended by CR LF. A failure (cannot create, disk full) is
// remembered instead of stopping the caller; later writes to a failed file are dropped.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/UserInterface.h"

namespace talvik {

class OutputFile {
  public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates or truncates the file. False (and Failed()) when it cannot be created.
    bool Open(const std::string& path);
    // Appends text without a line end.
    void Write(std::string_view text);
    // Appends text followed by CR LF.
    void Line(std::string_view text);
    // Writes what is buffered and closes the file; false when anything failed since Open.
    bool Close();

    bool Failed() const { return failed_; }
    const std::string& Path() const { return path_; }

    // The buffer itself, for writers that assemble a line in place; call Flushed() after
    // appending to it.
    std::string& Buffer() { return buffer_; }
    void Flushed() {
        if (buffer_.size() >= kChunk) Flush();
    }

  private:
    static constexpr std::size_t kChunk = std::size_t{1} << 20;
    void Flush();

    std::FILE* file_ = nullptr;
    std::string path_;
    std::string buffer_;
    bool failed_ = false;
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
    // False when anything failed since the file was opened.
    bool Finish();

  private:
    std::string Text() const;

    OutputFile& file_;
    ProgressThrottle progress_;
    std::string caption_;
    std::uint64_t total_;
    long long count_ = 0;
};

}  // namespace talvik
