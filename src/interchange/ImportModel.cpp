#include "interchange/ImportModel.h"

#include <algorithm>
#include <charconv>

#include "text/Text.h"

namespace talvik {

namespace {

constexpr std::string_view kCurrentSetKey = "TalvikCurrentSel";

std::string SetKey(int n) {
    return "TalvikImport" + IntText(n);
}

// The stored current set: a whole number 1..9 with blanks around it allowed, otherwise set 1.
int StoredSetNumber(std::string_view text) {
    text = TrimBlanks(text);
    int n = 0;
    const char* end = text.data() + text.size();
    const auto [stop, ec] = std::from_chars(text.data(), end, n);
    if (text.empty() || ec != std::errc() || stop != end || n < ImportModel::kFirstSet ||
        n > ImportModel::kLastSet)
        return ImportModel::kFirstSet;
    return n;
}

}  // namespace

void ImportModel::SetSelectionSetNumber(int n) {
    selNr_ = std::clamp(n, kFirstSet, kLastSet);
}

void ImportModel::Load(const std::string& packageFile) {
    selNr_ = StoredSetNumber(settings_.Get(kCurrentSetKey, "1"));
    LoadImportSet(selNr_);
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

bool ImportModel::Step(int delta) {
    const int next = selNr_ + delta;
    if (next < kFirstSet || next > kLastSet) return false;
    SaveImportSet(selNr_);
    selNr_ = next;
    LoadImportSet(selNr_);
    return true;
}

bool ImportModel::StepUp() {
    return Step(1);
}

bool ImportModel::StepDown() {
    return Step(-1);
}

void ImportModel::Close() {
    SaveImportSet(selNr_);
    settings_.Set(kCurrentSetKey, IntText(selNr_));
}

ImportOutcome ImportModel::Start(const std::string& idexFile, UserInterface& ui) {
    if (!CheckImportInput(layer_, code_, ui)) return ImportOutcome::Refused;
    SaveImportSet(selNr_);
    return ConvertCoordinateFile(layer_, code_, coordFile_, idexFile, ui, &pointsWritten_);
}

}  // namespace talvik
