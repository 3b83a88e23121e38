#include "interchange/IdexWriter.h"

#include <cstdio>

#include "text/Text.h"

namespace talvik {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

IdexWriter::~IdexWriter() {
    Abort();
}

bool IdexWriter::Begin(const std::string& path, std::string_view layer) {
    Abort();
    problem_.clear();
    if (path.empty()) {
        problem_ = "geen naam";
        return false;
    }
    if (!file_.Create(path)) {
        problem_ = file_.Problem();
        return false;
    }
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
    if (!ok_) {
        problem_ = file_.Problem();
        Abort();
    }
    return ok_;
}

bool IdexWriter::Point(int number, std::string_view id, std::string_view east,
                       std::string_view north, std::string_view elevation, std::string_view code) {
    if (file_.Stream() == nullptr) return false;
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
    if (file_.Stream() == nullptr) return false;
    WriteLine("  END POINTS");
    WriteLine("END DATABASE");
    if (!ok_) file_.Fail();
    const bool done = file_.Place();
    if (!done) problem_ = file_.Problem();
    ok_ = false;
    return done;
}

void IdexWriter::Abort() {
    file_.Discard();
    ok_ = false;
}

bool IdexWriter::Write(std::string_view text) {
    if (!ok_) return false;
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), file_.Stream()) != text.size()) {
        file_.Fail();
        ok_ = false;
    }
    return ok_;
}

bool IdexWriter::WriteLine(std::string_view text) {
    Write(text);
    return Write(kLineEnd);
}

}  // namespace talvik
