#pragma once
// Reads a text file line by line as raw bytes. A line ends at CR LF, at a lone CR or at a lone
// LF; none of them belongs to the line. A last line without line end is still a line; NUL bytes
// are ordinary characters. The file is read in large blocks; memory stays bounded by the block
// and the longest line, which may be kLongestLine bytes: a longer one ends the reading
// (LineTooLong() tells, LineNumber() says where).

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace talvik {

class LineReader {
  public:
    static constexpr std::size_t kDefaultBlock = std::size_t{1} << 20;
    static constexpr std::size_t kLongestLine = std::size_t{1} << 20;

    explicit LineReader(std::size_t block = kDefaultBlock) : block_(block > 0 ? block : 1) {}
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Opens a regular file. False on failure, and for anything else (a folder, a pipe, a
    // device), which is not even opened: a pipe could keep the open waiting.
    bool Open(const std::string& path);
    // Reads from an in-memory text instead of a file (an input read whole, tests, fuzzing).
    void OpenText(std::string_view text);
    void OpenText(std::string&& text);
    bool IsOpen() const { return file_ != nullptr || memory_; }
    void Close();
    // Back to the first line; false when the file cannot be read from its start again.
    bool Rewind();

    // Next line as a view into the reader's buffer, valid until the next call that reads;
    // false at the end of the input (or on a read error).
    bool Next(std::string_view& line);
    // Next line copied into `line`.
    bool Next(std::string& line);
    bool AtEnd();
    // The bytes read ahead that no line has returned yet (may be empty, or end inside a line),
    // for a caller that wants to look at what is coming.
    std::string_view Ahead() const {
        return head_ < end_ ? std::string_view(buffer_.data() + head_, end_ - head_)
                            : std::string_view();
    }
    // True when the reading ended at a line longer than kLongestLine.
    bool LineTooLong() const { return tooLong_; }
    // Lines returned so far; after LineTooLong(), the number of the long line less one.
    std::uint64_t LineNumber() const { return lines_; }
    // Bytes consumed so far: the position in the file of the next line.
    std::uint64_t Position() const { return position_; }
    // Size of the whole input in bytes, as far as known when it was opened (0: unknown).
    std::uint64_t Size() const { return size_; }

  private:
    bool Fill();

    std::size_t block_;
    std::FILE* file_ = nullptr;
    bool memory_ = false;
    std::string buffer_;  // bytes read are at 0 .. end_
    std::size_t end_ = 0;
    std::size_t head_ = 0;  // next unread byte in buffer_
    std::uint64_t position_ = 0;
    std::uint64_t size_ = 0;
    bool eof_ = false;
    bool skipLf_ = false;  // the last line ended in a CR at the end of the buffer
    bool tooLong_ = false;
    std::uint64_t lines_ = 0;
};

// True when the path names a regular file that can be opened for reading.
bool FileIsReadable(const std::string& path);

}  // namespace talvik
