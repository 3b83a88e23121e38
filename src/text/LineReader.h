#pragma once
// Reads a text file line by line as raw bytes. A line ends at CR LF, at a lone CR or at a lone
// LF; none of them belongs to the line. A last line without line end is still a line; NUL bytes
// are ordinary characters. Memory stays bounded by the longest line.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace talvik {

class LineReader {
  public:
    LineReader() = default;
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Opens a regular file (or anything readable that is not a directory). False on failure.
    bool Open(const std::string& path);
    // Reads from an in-memory text instead of a file (tests, fuzzing).
    void OpenText(std::string_view text);
    bool IsOpen() const { return file_ != nullptr || memory_; }
    void Close();

    // Next line into `line`; false at the end of the input (or on a read error).
    bool Next(std::string& line);
    bool AtEnd();
    // Bytes consumed so far: the position in the file of the next line.
    std::uint64_t Position() const { return position_; }

  private:
    bool Fill();

    std::FILE* file_ = nullptr;
    bool memory_ = false;
    std::string buffer_;
    std::size_t head_ = 0;  // next unread byte in buffer_
    std::uint64_t position_ = 0;
    bool eof_ = false;
};

// True when the path names something that can be opened for reading as a file.
bool FileIsReadable(const std::string& path);

}  // namespace talvik
