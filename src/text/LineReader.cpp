#include "text/LineReader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace talvik {

namespace {
bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::uint64_t FileSize(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size)
                                                            : 0;
}
}  // namespace

LineReader::~LineReader() {
    Close();
}

bool LineReader::Open(const std::string& path) {
    Close();
    if (path.empty() || !IsRegularFile(path)) return false;
    file_ = std::fopen(path.c_str(), "rb");
    if (file_ != nullptr) size_ = FileSize(path);
    return file_ != nullptr;
}

void LineReader::OpenText(std::string_view text) {
    Close();
    buffer_.assign(text);
    end_ = text.size();
    size_ = text.size();
    memory_ = true;
    eof_ = true;
}

void LineReader::OpenText(std::string&& text) {
    Close();
    end_ = text.size();
    size_ = text.size();
    buffer_ = std::move(text);
    memory_ = true;
    eof_ = true;
}

void LineReader::Close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    memory_ = false;
    buffer_.clear();
    buffer_.shrink_to_fit();
    end_ = 0;
    head_ = 0;
    position_ = 0;
    size_ = 0;
    eof_ = false;
    skipLf_ = false;
    tooLong_ = false;
    lines_ = 0;
}

bool LineReader::Rewind() {
    head_ = 0;
    position_ = 0;
    skipLf_ = false;
    tooLong_ = false;
    lines_ = 0;
    if (memory_) return true;
    end_ = 0;
    eof_ = false;
    return file_ != nullptr && std::fseek(file_, 0, SEEK_SET) == 0;
}

// Moves the unread bytes to the front and reads a block behind them (more when they fill a
// block already, so a long line still fits); false when nothing more came.
bool LineReader::Fill() {
    if (eof_ || file_ == nullptr) return false;
    if (head_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + head_, end_ - head_);
        end_ -= head_;
        head_ = 0;
    }
    std::size_t want = end_ < block_ ? block_ : end_;
    // A small file of known size gets a buffer of about its size, not a whole block: many small
    // files are read one after another (imports, the store).
    if (size_ > 0 && want > size_)
        want = static_cast<std::size_t>(std::max<std::uint64_t>(size_, 4096));
    if (buffer_.size() < end_ + want) buffer_.resize(end_ + want);
    const std::size_t got = std::fread(buffer_.data() + end_, 1, want, file_);
    end_ += got;
    if (got == 0) eof_ = true;
    return got > 0;
}

bool LineReader::AtEnd() {
    if (tooLong_) return true;
    for (;;) {
        if (head_ < end_) {
            if (!skipLf_) return false;
            // The LF of a CR LF that was split by the end of a block.
            skipLf_ = false;
            if (buffer_[head_] != '\n') return false;
            ++head_;
            ++position_;
            continue;
        }
        if (!Fill()) {
            skipLf_ = false;
            return true;
        }
    }
}

bool LineReader::Next(std::string_view& line) {
    if (AtEnd()) {
        line = {};
        return false;
    }
    std::size_t end = head_;
    for (;;) {
        const char* data = buffer_.data();
        const std::size_t size = end_;
        // Eight bytes at a time while none of them is a CR or an LF.
        constexpr std::uint64_t kOnes = 0x0101010101010101ull;
        constexpr std::uint64_t kHigh = 0x80 * kOnes;
        for (; end + 8 <= size; end += 8) {
            std::uint64_t x = 0;
            std::memcpy(&x, data + end, 8);
            const std::uint64_t cr = x ^ ('\r' * kOnes);
            const std::uint64_t lf = x ^ ('\n' * kOnes);
            if ((((cr - kOnes) & ~cr) | ((lf - kOnes) & ~lf)) & kHigh) break;
        }
        while (end < size && data[end] != '\r' && data[end] != '\n')
            ++end;
        if (end < size) break;
        const std::size_t scanned = end - head_;
        if (scanned > kLongestLine) break;
        const bool more = Fill();  // may move the line to the front
        end = head_ + scanned;
        if (!more) break;
    }
    if (end - head_ > kLongestLine) {
        tooLong_ = true;
        line = {};
        return false;
    }
    ++lines_;
    line = std::string_view(buffer_.data() + head_, end - head_);
    position_ += end - head_;
    head_ = end;
    if (end < end_) {
        ++head_;
        ++position_;
        if (buffer_[end] == '\r') {
            if (head_ < end_) {
                if (buffer_[head_] == '\n') {
                    ++head_;
                    ++position_;
                }
            } else {
                skipLf_ = true;  // decided when the next block is there
            }
        }
    }
    return true;
}

bool LineReader::Next(std::string& line) {
    std::string_view view;
    const bool more = Next(view);
    line.assign(view);
    return more;
}

bool FileIsReadable(const std::string& path) {
    if (path.empty() || !IsRegularFile(path)) return false;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return false;
    std::fclose(f);
    return true;
}

}  // namespace talvik
