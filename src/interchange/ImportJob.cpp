#include "interchange/ImportJob.h"

#include <charconv>

#include "text/Text.h"

namespace talvik {

namespace {

constexpr std::string_view kCurrentSetKey = "TalvikCurrentSel";
constexpr std::string_view kToleranceKey = "TalvikImportTolerance";
constexpr double kLargestTolerance = 1000.0;

std::string SetKey(int n) {
    return "TalvikImport" + IntText(n);
}

}  // namespace

std::optional<double> ReadTolerance(std::string_view text) {
    text = TrimBlanks(text);
    if (text.empty() || text.front() == '+' || text.front() == '-') return std::nullopt;
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto [stop, ec] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    if (ec != std::errc() || stop != end || !(value >= 0.0 && value <= kLargestTolerance))
        return std::nullopt;
    return value;
}

std::string StoredImportChoices::ToleranceText() {
    const std::string stored = settings_.Get(kToleranceKey, kDefaultToleranceText);
    if (!ReadTolerance(stored)) return std::string(kDefaultToleranceText);
    return std::string(TrimBlanks(stored));
}

void StoredImportChoices::StoreTolerance(std::string_view text) {
    // The store changes only when the tolerance does.
    if (TrimBlanks(text) == ToleranceText()) return;
    settings_.Set(kToleranceKey, std::string(TrimBlanks(text)));
}

int StoredImportChoices::CurrentSet() {
    const std::string stored = settings_.Get(kCurrentSetKey, "1");
    const std::string_view text = TrimBlanks(stored);
    int n = 0;
    const char* end = text.data() + text.size();
    const auto [stop, ec] = std::from_chars(text.data(), end, n);
    if (text.empty() || ec != std::errc() || stop != end || n < kFirstSet || n > kLastSet)
        return kFirstSet;
    return n;
}

void StoredImportChoices::StoreCurrentSet(int n) {
    settings_.Set(kCurrentSetKey, IntText(n));
}

ImportChoices StoredImportChoices::Load(int n) {
    const std::string value = settings_.Get(SetKey(n), "|");
    const std::size_t bar = value.find('|');
    if (bar == std::string::npos) return {};
    return {std::string(TrimBlanks(std::string_view(value).substr(0, bar))), value.substr(bar + 1)};
}

void StoredImportChoices::Store(int n, const ImportChoices& choices) {
    settings_.Set(SetKey(n), choices.layer + "|" + choices.code);
}

ImportOutcome RunImportJob(StoredImportChoices& stored, int set, const ImportChoices& choices,
                           const std::string& corFile, const std::string& idexFile,
                           UserInterface& ui, int* pointsWritten, ConvertedPoints* seen) {
    if (!CheckImportInput(choices.layer, choices.code, ui)) return ImportOutcome::Refused;
    stored.Store(set, choices);
    return ConvertCoordinateFile(choices.layer, choices.code, corFile, idexFile, ui, pointsWritten,
                                 seen);
}

}  // namespace talvik
