#include "project/OutputFile.h"

#include "text/Text.h"

namespace talvik {

OutputFile::~OutputFile() {
    Close();
}

bool OutputFile::Open(const std::string& path) {
    Close();
    path_ = path;
    buffer_.clear();
    buffer_.reserve(kChunk + 4096);
    file_ = std::fopen(path.c_str(), "wb");
    failed_ = file_ == nullptr;
    return !failed_;
}

void OutputFile::Write(std::string_view text) {
    buffer_.append(text);
    Flushed();
}

void OutputFile::Line(std::string_view text) {
    buffer_.append(text);
    buffer_.append("\r\n");
    Flushed();
}

void OutputFile::Flush() {
    if (file_ != nullptr && !failed_ && !buffer_.empty() &&
        std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size())
        failed_ = true;
    buffer_.clear();
}

bool OutputFile::Close() {
    if (file_ != nullptr) {
        Flush();
        if (std::fclose(file_) != 0) failed_ = true;
        file_ = nullptr;
    }
    buffer_.clear();
    buffer_.shrink_to_fit();
    return !failed_;
}

void BodyLines::EndLine(std::uint64_t done) {
    file_.Buffer().append("\r\n");
    file_.Flushed();
    ++count_;
    if (total_ > 0) progress_.Tick([this] { return Text(); }, done, total_);
}

bool BodyLines::Finish() {
    if (count_ > 0) {
        const std::uint64_t total = total_ > 0 ? total_ : static_cast<std::uint64_t>(count_);
        progress_.Show(Text(), total, total);
    }
    file_.Line("$");
    return file_.Close();
}

std::string BodyLines::Text() const {
    return caption_ + IntText(count_);
}

}  // namespace talvik
