#include "interchange/IdexWriter.h"

#include <filesystem>
#include <system_error>

#include "platform/FileReplace.h"
#include "text/Text.h"

namespace talvik {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

bool IsDirectory(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_directory(std::filesystem::path(path), ec);
}

void RemoveQuietly(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove(std::filesystem::path(path), ec);
}

}  // namespace

IdexWriter::~IdexWriter() {
    Abort();
}

bool IdexWriter::Begin(const std::string& path, std::string_view layer) {
    Abort();
    if (path.empty() || IsDirectory(path)) return false;
    // A fresh name beside the target: exclusive creation never reuses someone else's file.
    for (int attempt = 0; attempt < 100 && file_ == nullptr; ++attempt) {
        temp_ = path + ".tmp" + IntText(attempt);
        file_ = CreateNewFile(temp_);
    }
    if (file_ == nullptr) {
        temp_.clear();
        return false;
    }
    target_ = path;
    ok_ = true;

    WriteLine("HEADER");
    WriteLine("  VERSION      1.20");
    WriteLine("  SYSTEM       \"KAVRIN\"");
    WriteLine("END HEADER");
    WriteLine("");
    WriteLine("");
    WriteLine("DEFINITIONS");
    WriteLine("  LAYERS (LayerNo,Name,Flags)");
    line_.assign("    0,  \"");
    line_.append(layer);
    line_.append("\",  00000001;");
    WriteLine(line_);
    WriteLine("  END LAYERS");
    WriteLine("END DEFINITIONS");
    WriteLine("");
    WriteLine("");
    WriteLine("DATABASE");
    WriteLine("  POINTS (PointNo, PointID, East, North, Elevation, Code, LayerNo)");
    if (!ok_) Abort();
    return ok_;
}

bool IdexWriter::Point(int number, std::string_view id, std::string_view east,
                       std::string_view north, std::string_view elevation, std::string_view code) {
    if (file_ == nullptr) return false;
    line_.assign("   ");
    if (number >= 0) line_.push_back(' ');
    line_.append(IntText(number));
    line_.append(", \"");
    line_.append(id);
    line_.append("\", ");
    line_.append(east);
    line_.append(",  ");
    line_.append(north);
    line_.append(",  ");
    line_.append(elevation);
    line_.append(",  \"");
    line_.append(code);
    line_.append("\", 0;");
    return WriteLine(line_);
}

bool IdexWriter::End() {
    if (file_ == nullptr) return false;
    WriteLine("  END POINTS");
    WriteLine("END DATABASE");
    if (std::fflush(file_) != 0) ok_ = false;
    if (std::fclose(file_) != 0) ok_ = false;
    file_ = nullptr;
    if (ok_) ok_ = ReplaceFile(temp_, target_);
    if (!ok_) RemoveQuietly(temp_);
    const bool done = ok_;
    temp_.clear();
    target_.clear();
    ok_ = false;
    return done;
}

void IdexWriter::Abort() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
        RemoveQuietly(temp_);
    }
    temp_.clear();
    target_.clear();
    ok_ = false;
}

bool IdexWriter::Write(std::string_view text) {
    if (!ok_) return false;
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), file_) != text.size())
        ok_ = false;
    return ok_;
}

bool IdexWriter::WriteLine(std::string_view text) {
    Write(text);
    return Write(kLineEnd);
}

}  // namespace talvik
