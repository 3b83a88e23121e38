#include "interchange/ImportModel.h"

#include <charconv>

#include "text/Text.h"

namespace talvik {

namespace {

constexpr std::string_view kCurrentSetKey = "TalvikCurrentSel";
constexpr int kFirstSet = 1;
constexpr int kLastSet = 9;

std::string SetKey(int n) {
    return "TalvikImport" + IntText(n);
}

std::optional<int> ParseSetNumber(std::string_view text) {
    text = TrimBlanks(text);
    int n = 0;
    const char* end = text.data() + text.size();
    const auto [stop, ec] = std::from_chars(text.data(), end, n);
    if (text.empty() || ec != std::errc() || stop != end || n < kFirstSet || n > kLastSet)
        return std::nullopt;
    return n;
}

}  // namespace

std::optional<int> ImportModel::SetNumber() const {
    return ParseSetNumber(selNr_);
}

void ImportModel::Load(const std::string& packageFile) {
    const std::optional<int> n = ParseSetNumber(settings_.Get(kCurrentSetKey, "1"));
    const int set = n.value_or(kFirstSet);
    selNr_ = IntText(set);
    LoadImportSet(set);
    coordFile_ = packageFile;
}

void ImportModel::LoadImportSet(int n) {
    const std::string value = settings_.Get(SetKey(n), "|");
    const std::size_t bar = value.find('|');
    if (bar == std::string::npos) {
        layer_.clear();
        code_.clear();
        return;
    }
    layer_ = TrimBlanks(std::string_view(value).substr(0, bar));
    code_ = value.substr(bar + 1);
}

void ImportModel::SaveImportSet(int n) {
    settings_.Set(SetKey(n), layer_ + "|" + code_);
}

bool ImportModel::StepUp() {
    const std::optional<int> n = SetNumber();
    if (!n) {
        // No set is shown under a valid number: move to the set after 1, storing nothing.
        selNr_ = IntText(kFirstSet + 1);
        LoadImportSet(kFirstSet + 1);
        return true;
    }
    if (*n >= kLastSet) return false;
    selNr_ = IntText(*n + 1);
    SaveImportSet(*n);
    LoadImportSet(*n + 1);
    return true;
}

bool ImportModel::StepDown() {
    const std::optional<int> n = SetNumber();
    if (!n) {
        selNr_ = IntText(kFirstSet);
        LoadImportSet(kFirstSet);
        return true;
    }
    if (*n <= kFirstSet) return false;
    selNr_ = IntText(*n - 1);
    SaveImportSet(*n);
    LoadImportSet(*n - 1);
    return true;
}

void ImportModel::Close() {
    const std::optional<int> n = SetNumber();
    if (n) SaveImportSet(*n);
    settings_.Set(kCurrentSetKey, IntText(n.value_or(kFirstSet)));
}

ImportOutcome ImportModel::Start(const std::string& idexFile, UserInterface& ui) {
    if (!CheckImportInput(layer_, code_, ui)) return ImportOutcome::Refused;
    if (const std::optional<int> n = SetNumber()) SaveImportSet(*n);
    return ConvertCoordinateFile(layer_, code_, coordFile_, idexFile, ui);
}

}  // namespace talvik
