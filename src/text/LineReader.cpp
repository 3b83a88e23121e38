#include "text/LineReader.h"

#include <sys/stat.h>

namespace talvik {

namespace {
constexpr std::size_t kChunk = 1 << 16;

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
}  // namespace

LineReader::~LineReader() {
    Close();
}

bool LineReader::Open(const std::string& path) {
    Close();
    if (path.empty() || IsDirectory(path)) return false;
    file_ = std::fopen(path.c_str(), "rb");
    return file_ != nullptr;
}

void LineReader::OpenText(std::string_view text) {
    Close();
    buffer_.assign(text);
    memory_ = true;
    eof_ = true;
}

void LineReader::Close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    memory_ = false;
    buffer_.clear();
    head_ = 0;
    position_ = 0;
    eof_ = false;
}

bool LineReader::Fill() {
    if (eof_ || file_ == nullptr) return false;
    if (head_ > 0) {
        buffer_.erase(0, head_);
        head_ = 0;
    }
    const std::size_t old = buffer_.size();
    buffer_.resize(old + kChunk);
    const std::size_t got = std::fread(buffer_.data() + old, 1, kChunk, file_);
    buffer_.resize(old + got);
    if (got == 0) eof_ = true;
    return got > 0;
}

bool LineReader::AtEnd() {
    while (head_ >= buffer_.size()) {
        if (!Fill()) return true;
    }
    return false;
}

bool LineReader::Next(std::string& line) {
    line.clear();
    if (AtEnd()) return false;
    for (;;) {
        const char* data = buffer_.data();
        const std::size_t size = buffer_.size();
        std::size_t i = head_;
        while (i < size && data[i] != '\r' && data[i] != '\n')
            ++i;
        line.append(data + head_, i - head_);
        position_ += i - head_;
        head_ = i;
        if (i < size) {
            const char end = data[i];
            ++head_;
            ++position_;
            if (end == '\r') {
                // CR LF ends the line together, also across a chunk border.
                if (head_ >= buffer_.size()) Fill();
                if (head_ < buffer_.size() && buffer_[head_] == '\n') {
                    ++head_;
                    ++position_;
                }
            }
            return true;
        }
        if (!Fill()) return true;
    }
}

bool FileIsReadable(const std::string& path) {
    if (path.empty() || IsDirectory(path)) return false;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return false;
    std::fclose(f);
    return true;
}

}  // namespace talvik
