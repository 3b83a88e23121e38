#include "project/OutputFile.h"

#include <chrono>
#include <random>

#include "platform/FileReplace.h"
#include "platform/FileSync.h"
#include "text/Text.h"

namespace talvik {

namespace {

// "<path>.<8 hex digits>.tmp": beside the final file, so that the rename stays on its drive,
// and different for every run, so that two runs on one project do not share a file.
std::string TemporaryName(const std::string& path) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::random_device device;
    std::uint32_t tag = device() ^ static_cast<std::uint32_t>(
                                       std::chrono::steady_clock::now().time_since_epoch().count());
    std::string name = path + ".";
    for (int i = 0; i < 8; ++i, tag >>= 4)
        name += kHex[tag & 15];
    return name + ".tmp";
}

}  // namespace

OutputFile::~OutputFile() {
    if (!committed_) Discard();
}

bool OutputFile::Open(const std::string& path) {
    Discard();
    path_ = path;
    temporary_ = TemporaryName(path);
    buffer_.clear();
    buffer_.reserve(kChunk + 4096);
    written_ = 0;
    committed_ = false;
    file_ = std::fopen(temporary_.c_str(), "wb");
    failed_ = file_ == nullptr;
    if (failed_) temporary_.clear();  // nothing to remove
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
    if (file_ != nullptr && !failed_ && !buffer_.empty()) {
        if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
            failed_ = true;
        } else {
            // What the chunk before this one left is on its way to the disk meanwhile, so
            // that closing a large file does not wait for all of it.
            if (written_ >= kChunk) StartWriteBack(file_, written_ - kChunk, kChunk);
            written_ += buffer_.size();
        }
    }
    buffer_.clear();
}

bool OutputFile::Close() {
    if (file_ != nullptr) {
        Flush();
        if (std::fflush(file_) != 0) failed_ = true;
        if (std::fclose(file_) != 0) failed_ = true;
        file_ = nullptr;
        // On the disk before any rename: the renames of a project then follow each other
        // quickly, and a replaced file is never found empty after a crash.
        if (!failed_ && !SyncFile(temporary_)) failed_ = true;
    }
    buffer_.clear();
    buffer_.shrink_to_fit();
    return !failed_;
}

bool OutputFile::Commit() {
    if (committed_) return true;
    if (Close() && !temporary_.empty() && ReplaceFile(temporary_, path_)) {
        committed_ = true;
        temporary_.clear();
        return true;
    }
    failed_ = true;
    Discard();
    return false;
}

void OutputFile::Discard() {
    Close();
    if (!temporary_.empty()) std::remove(temporary_.c_str());
    temporary_.clear();
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
