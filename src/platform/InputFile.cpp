#include "platform/InputFile.h"

#include <cstdio>
#include <memory>

#include "platform/FileCalls.h"
#include "platform/FileReplace.h"
#include "text/Text.h"

namespace talvik {

namespace {

struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Reads a stream to its end into `bytes`. False (with `problem`) when it holds more than an
// input may, or a line longer than a reader takes, or nothing at all.
bool ReadStream(std::FILE* file, std::string& bytes, std::string& problem) {
    constexpr std::size_t kBlock = std::size_t{1} << 16;
    std::size_t sinceLineEnd = 0;
    std::size_t length = 0;
    for (;;) {
        if (bytes.size() < length + kBlock) bytes.resize(std::max(length + kBlock, 2 * length));
        const std::size_t got = std::fread(bytes.data() + length, 1, kBlock, file);
        if (got == 0) break;
        for (std::size_t i = length; i < length + got; ++i) {
            const char c = bytes[i];
            sinceLineEnd = c == '\r' || c == '\n' ? 0 : sinceLineEnd + 1;
        }
        length += got;
        if (sinceLineEnd > LineReader::kLongestLine) {
            problem = "regel langer dan 1 MB; geen tekstbestand?";
            return false;
        }
        if (length > kLongestStreamInput) {
            problem = "meer dan " + IntText(static_cast<long long>(kLongestStreamInput >> 20)) +
                      " MB uit een pijp of apparaat";
            return false;
        }
    }
    if (std::ferror(file) != 0) {
        problem = LastFileProblem();
        return false;
    }
    if (length == 0) {
        problem = "geen gewoon bestand, en er kwam niets uit";
        return false;
    }
    bytes.resize(length);
    return true;
}

}  // namespace

InputOpening OpenInput(LineReader& reader, const std::string& path, std::string& problem) {
    problem.clear();
    switch (KindOf(path)) {
        case EntryKind::Missing:
        case EntryKind::Folder:
            return InputOpening::Missing;
        case EntryKind::File:
            return reader.Open(path) ? InputOpening::Opened : InputOpening::Missing;
        case EntryKind::Other:
            break;
    }
    const std::unique_ptr<std::FILE, Closer> file(OpenWithoutWaiting(path));
    if (!file) {
        problem = LastFileProblem();
        return InputOpening::Refused;
    }
    std::string bytes;
    if (!ReadStream(file.get(), bytes, problem)) return InputOpening::Refused;
    reader.OpenText(std::move(bytes));
    return InputOpening::Opened;
}

std::string RefusedInputMessage(const std::string& what, const std::string& path,
                                const std::string& problem) {
    return what + " " + path + " kan niet worden gelezen (" + problem + "); Afgebroken.";
}

std::string LongLineMessage(const std::string& path, const LineReader& reader) {
    return "Regel " + IntText(static_cast<long long>(reader.LineNumber() + 1)) + " van " + path +
           " is langer dan 1 MB; Afgebroken.";
}

}  // namespace talvik
