#include "project/OutputFile.h"

#include "platform/FileSync.h"
#include "text/Text.h"

namespace talvik {

OutputFile::~OutputFile() {
    if (!committed_) Discard();
}

bool OutputFile::Open(const std::string& path) {
    Discard();
    path_ = path;
    buffer_.clear();
    buffer_.reserve(kChunk + 4096);
    written_ = 0;
    committed_ = false;
    failed_ = !file_.Create(path);
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
    std::FILE* stream = file_.Stream();
    if (stream != nullptr && !failed_ && !buffer_.empty()) {
        if (std::fwrite(buffer_.data(), 1, buffer_.size(), stream) != buffer_.size()) {
            failed_ = true;
            file_.Fail();
        } else {
            // What the chunk before this one left is on its way to the disk meanwhile, so
            // that closing a large file does not wait for all of it.
            if (written_ >= kChunk) StartWriteBack(stream, written_ - kChunk, kChunk);
            written_ += buffer_.size();
        }
    }
    buffer_.clear();
}

bool OutputFile::Close() {
    if (file_.Stream() != nullptr) {
        Flush();
        // On the disk before any rename: the renames of a project then follow each other
        // quickly, and a replaced file is never found empty after a crash.
        if (!file_.Close()) failed_ = true;
    }
    buffer_.clear();
    buffer_.shrink_to_fit();
    return !failed_;
}

void OutputFile::Discard() {
    Close();
    file_.Discard();
}

void OutputFile::HandOver(bool committed) {
    file_.Release();
    committed_ = committed;
}

void BodyLines::EndLine(std::uint64_t done) {
    file_.Buffer().append("\r\n");
    file_.Flushed();
    ++count_;
    if (total_ > 0) progress_.Tick([this] { return Text(); }, done, total_);
}

bool BodyLines::Finish() {
    ShowLast();
    return CloseFile();
}

void BodyLines::ShowLast() {
    if (count_ == 0) return;
    const std::uint64_t total = total_ > 0 ? total_ : static_cast<std::uint64_t>(count_);
    progress_.Show(Text(), total, total);
}

bool BodyLines::CloseFile() {
    file_.Line("$");
    return file_.Close();
}

std::string BodyLines::Text() const {
    return caption_ + IntText(count_);
}

}  // namespace talvik
