#include "export/ExportDialogModel.h"

#include <charconv>
#include <utility>

#include "text/Text.h"

namespace talvik {

namespace {

std::string SelKey(int n) {
    return std::string(kKeySelPrefix) + IntText(n);
}

// Cuts the text before the first bar and moves `rest` past that bar. The callers append
// enough bars that one is always there; without one the whole rest is the field.
std::string_view CutField(std::string_view& rest) {
    const auto bar = rest.find('|');
    const std::string_view field = rest.substr(0, bar);
    rest = bar == std::string_view::npos ? std::string_view{} : rest.substr(bar + 1);
    return field;
}

// A check box state as stored: the rounded numeric value; only 1 checks the box.
bool CheckedFromText(std::string_view text) {
    const auto value = RoundToInt16(NumericValue(text));
    return value && *value == 1;
}

// The stored current set: a whole number 1..9 (blanks around it allowed), otherwise set 1, so
// that nothing is ever stored under a number the arrows cannot reach.
int SetNumberFromText(std::string_view text, int first, int last) {
    text = TrimBlanks(text);
    int value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || result.ec != std::errc{} || result.ptr != text.data() + text.size() ||
        value < first || value > last)
        return first;
    return value;
}

}  // namespace

std::string ReplaceLastThree(std::string_view path, std::string_view extension) {
    const std::size_t keep = path.size() >= 3 ? path.size() - 3 : 0;
    std::string out(path.substr(0, keep));
    out += extension;
    return out;
}

void ExportDialogModel::SetAbsHor(std::string text) {
    absHor_ = std::move(text);
    if (chkHVD_) absVer_ = absHor_;
}

void ExportDialogModel::SetRelHor(std::string text) {
    relHor_ = std::move(text);
    if (chkHVD_) relVer_ = relHor_;
}

void ExportDialogModel::SetSdXY(std::string text) {
    sdXY_ = std::move(text);
    if (chkXYZ_) sdZ_ = sdXY_;
}

void ExportDialogModel::SetAbsVer(std::string text) {
    if (!chkHVD_) absVer_ = std::move(text);
}

void ExportDialogModel::SetRelVer(std::string text) {
    if (!chkHVD_) relVer_ = std::move(text);
}

void ExportDialogModel::SetSdZ(std::string text) {
    if (!chkXYZ_) sdZ_ = std::move(text);
}

void ExportDialogModel::SetCoupleHorVer(bool checked) {
    chkHVD_ = checked;
    if (checked) {
        absVer_ = absHor_;
        relVer_ = relHor_;
    }
}

void ExportDialogModel::SetCoupleXyZ(bool checked) {
    chkXYZ_ = checked;
    if (checked) sdZ_ = sdXY_;
}

void ExportDialogModel::Open(std::string_view packageFile) {
    selNr_ = SetNumberFromText(settings_.Get(kKeyCurrentSel, "1"), kFirstSet, kLastSet);
    LoadSelectionSet(selNr_);
    LoadSettings();
    projectFile = std::string(packageFile);
    fieldFile = ReplaceLastThree(packageFile, "fld");
}

void ExportDialogModel::LoadSelectionSet(int n) {
    const std::string stored = settings_.Get(SelKey(n), kDefaultSel) + std::string(20, '|');
    std::string_view rest = stored;
    for (std::size_t i = 1; i <= 16; ++i)
        selectionCodes[i] = std::string(TrimBlanks(CutField(rest)));
}

void ExportDialogModel::SaveSelectionSet(int n) {
    std::string joined = selectionCodes[1];
    for (std::size_t i = 2; i <= 16; ++i) {
        joined += '|';
        joined += selectionCodes[i];
    }
    settings_.Set(SelKey(n), joined);
    settings_.Set(kKeyCurrentSel, IntText(n));
}

void ExportDialogModel::LoadSettings() {
    const std::string stored = settings_.Get(kKeyStdDev, kDefaultStdDev) + std::string(12, '|');
    std::string_view rest = stored;
    auto next = [&rest] { return std::string(TrimBlanks(CutField(rest))); };
    absHor_ = next();
    relHor_ = next();
    absVer_ = next();
    relVer_ = next();
    absDis = next();
    relDis = next();
    sdXY_ = next();
    sdZ_ = next();
    const bool hvd = CheckedFromText(next());
    const bool xyz = CheckedFromText(next());
    sigmaCent = next();
    sigmaInst = next();
    SetCoupleHorVer(hvd);
    SetCoupleXyZ(xyz);
    face2to1 = NumericValue(settings_.Get(kKeyFace2to1, "0")) != 0.0;
    version3 = NumericValue(settings_.Get(kKeyVersion, "1")) != 0.0;
}

void ExportDialogModel::SaveSettings() {
    std::string joined;
    for (const std::string* text :
         {&absHor_, &relHor_, &absVer_, &relVer_, &absDis, &relDis, &sdXY_, &sdZ_}) {
        joined += *text;
        joined += '|';
    }
    joined += chkHVD_ ? "1|" : "0|";
    joined += chkXYZ_ ? "1|" : "0|";
    joined += sigmaCent;
    joined += '|';
    joined += sigmaInst;
    settings_.Set(kKeyStdDev, joined);
    settings_.Set(kKeyFace2to1, face2to1 ? "1" : "0");
    settings_.Set(kKeyVersion, version3 ? "1" : "0");
}

bool ExportDialogModel::Step(int delta) {
    const int next = selNr_ + delta;
    if (next < kFirstSet || next > kLastSet) return false;
    SaveSelectionSet(selNr_);
    selNr_ = next;
    LoadSelectionSet(selNr_);
    return true;
}

bool ExportDialogModel::StepUp() {
    return Step(+1);
}

bool ExportDialogModel::StepDown() {
    return Step(-1);
}

ExportOptions ExportDialogModel::FillExportOptions(const std::string& idexFile) const {
    ExportOptions options;
    options.Projectfile = std::string(TrimBlanks(projectFile));
    options.Fieldfile = std::string(TrimBlanks(fieldFile));
    options.IdexFile = idexFile;
    options.Version = version3 ? 3 : 1;
    options.Face2to1 = face2to1;
    options.AbsHor = absHor_;
    options.RelHor = relHor_;
    options.AbsVer = absVer_;
    options.RelVer = relVer_;
    options.AbsDis = absDis;
    options.RelDis = relDis;
    options.SDXY = sdXY_;
    options.SDZ = sdZ_;
    options.SigmaCent = sigmaCent;
    options.SigmaInst = sigmaInst;
    options.SelCode = selectionCodes;
    options.SelCode[0].clear();
    return options;
}

void ExportDialogModel::Close() {
    SaveSelectionSet(selNr_);
    SaveSettings();
}

}  // namespace talvik
