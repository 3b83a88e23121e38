#include "interchange/CoordinateImport.h"

#include <algorithm>
#include <cstdint>
#include <new>

#include "interchange/IdexWriter.h"
#include "platform/InputFile.h"
#include "text/LineReader.h"
#include "text/Text.h"
#include "text/WordSplit.h"

namespace talvik {

namespace {

constexpr std::string_view kNoLayer = "Helaas, gaat niet. Kavrin Laagnaam ontbreekt";
constexpr std::string_view kNoCode = "Helaas, gaat niet. Kavrin Grondslagcode ontbreekt";
constexpr std::string_view kCorNotFound = "KORVU Co\xF6rdinatenfile niet gevonden: ";
constexpr std::string_view kIdexNotCreated = "Kavrin IDEX file kan niet worden aangemaakt: ";
constexpr std::string_view kProgressText = "Inlezen KORVU Co\xF6rdinaten: ";

// Point numbers are 16-bit in the host's reader.
constexpr int kMaxPoints = 32767;
// The coordinate lines are those of the third section; counting further changes nothing.
constexpr int kPointSection = 3;

void Report(UserInterface& ui, std::string_view text, std::string_view path) {
    std::string message(text);
    message += path;
    Inform(ui, message);
}

// The bar counts toward what is taken over: in a file with more points than fit, it reaches
// its end with the last point taken over (the rest is only counted).
std::uint64_t TakenOver(const LineReader& input, int count) {
    const std::uint64_t size = input.Size();
    const std::uint64_t byPoints =
        size / kMaxPoints * static_cast<std::uint64_t>(count) +
        size % kMaxPoints * static_cast<std::uint64_t>(count) / kMaxPoints;
    return std::max<std::uint64_t>(input.Position(), byPoints);
}

std::string ProgressText(int count) {
    std::string text(kProgressText);
    text += IntText(count);
    return text;
}

// The input is opened first: one that cannot be read is refused before anything is written.
ImportOutcome Convert(std::string_view layer, std::string_view code, const std::string& corPath,
                      const std::string& idexPath, UserInterface& ui, int* pointsWritten,
                      ConvertedPoints* seen) {
    LineReader input;
    std::string problem;
    switch (OpenInput(input, corPath, problem)) {
        case InputOpening::Opened:
            break;
        case InputOpening::Missing:
            Report(ui, kCorNotFound, corPath);
            return ImportOutcome::Failed;
        case InputOpening::Refused:
            Inform(ui, "KORVU Co\xF6rdinatenfile " + corPath + " kan niet worden gelezen (" +
                           problem + "); Afgebroken.");
            return ImportOutcome::Failed;
    }
    IdexWriter writer;
    if (!writer.Begin(idexPath, layer)) {
        Report(ui, kIdexNotCreated, idexPath + " (" + writer.Problem() + ")");
        return ImportOutcome::Failed;
    }

    ProgressThrottle progress(ui);
    std::string line;
    std::vector<std::string> words;
    int section = 0;
    int count = 0;
    long long skipped = 0;
    bool writing = true;
    while (input.Next(line)) {
        SplitWords(line, words);
        const auto marked = [&](std::size_t i) {
            return words.size() > i && words[i].back() == '*';
        };
        const bool markedXY = marked(1) && marked(2);
        const bool markedH = marked(3);
        for (std::size_t i = 1; i < words.size(); ++i) {
            std::string& word = words[i];
            if (word.back() == '*' || word.back() == '^') word.pop_back();
        }
        if (words.size() == 1 && words[0] == "$") {
            if (section <= kPointSection) ++section;
        } else if (words.size() >= 5 && section == kPointSection) {
            if (count < kMaxPoints) {
                ++count;
                if (writing)
                    writing = writer.Point(count, words[0], words[1], words[2], words[3], code);
                if (seen) seen->Add({words[0], words[1], words[2], words[3], markedXY, markedH});
            } else {
                ++skipped;
            }
        }
        progress.Tick([&] { return ProgressText(count); }, TakenOver(input, count), input.Size());
    }
    progress.Finish(ProgressText(count), TakenOver(input, count), input.Size());

    if (input.LineTooLong()) {
        writer.Abort();
        Inform(ui, LongLineMessage(corPath, input));
        return ImportOutcome::Failed;
    }
    if (!writer.End()) {
        Report(ui, kIdexNotCreated, idexPath + " (" + writer.Problem() + ")");
        return ImportOutcome::Failed;
    }
    if (skipped > 0) {
        std::string message = "Een Kavrin IDEX file bevat hoogstens 32767 punten; ";
        message += IntText(skipped);
        message += skipped == 1 ? " punt is niet overgenomen" : " punten zijn niet overgenomen";
        Inform(ui, message);
    }
    if (pointsWritten) *pointsWritten = count;
    return ImportOutcome::Written;
}

}  // namespace

bool CheckImportInput(std::string_view layer, std::string_view code, UserInterface& ui) {
    const bool hasLayer = !TrimBlanks(layer).empty();
    const bool hasCode = !TrimBlanks(code).empty();
    if (!hasLayer) Inform(ui, kNoLayer);
    if (!hasCode) Inform(ui, kNoCode);
    return hasLayer && hasCode;
}

ImportOutcome ConvertCoordinateFile(std::string_view layer, std::string_view code,
                                    const std::string& corPath, const std::string& idexPath,
                                    UserInterface& ui, int* pointsWritten, ConvertedPoints* seen) {
    try {
        return Convert(layer, code, corPath, idexPath, ui, pointsWritten, seen);
    } catch (const std::bad_alloc&) {
        ui.Message("Onvoldoende geheugen voor deze conversie; Afgebroken.", Buttons::Ok,
                   Icon::Critical, kAppTitle);
        return ImportOutcome::Failed;
    }
}

ImportOutcome RunImport(std::string_view layer, std::string_view code, const std::string& corPath,
                        const std::string& idexPath, UserInterface& ui) {
    if (!CheckImportInput(layer, code, ui)) return ImportOutcome::Refused;
    return ConvertCoordinateFile(layer, code, corPath, idexPath, ui);
}

}  // namespace talvik
