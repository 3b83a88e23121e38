#include "export/ExportDialogModel.h"

#include <utility>

#include "text/Text.h"

namespace talvik {

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
    selNr_ = stored_.CurrentSet();
    LoadSelectionSet(selNr_);
    LoadSettings();
    projectFile = std::string(packageFile);
    fieldFile = ReplaceLastThree(packageFile, "fld");
}

void ExportDialogModel::LoadSelectionSet(int n) {
    selectionCodes = stored_.SelectionSet(n);
}

void ExportDialogModel::SaveSelectionSet(int n) {
    stored_.StoreSelectionSet(n, selectionCodes);
}

void ExportDialogModel::LoadSettings() {
    ExportOptions options;
    const Coupling coupling = stored_.LoadOptions(options);
    absHor_ = options.AbsHor;
    relHor_ = options.RelHor;
    absVer_ = options.AbsVer;
    relVer_ = options.RelVer;
    absDis = options.AbsDis;
    relDis = options.RelDis;
    sdXY_ = options.SDXY;
    sdZ_ = options.SDZ;
    sigmaCent = options.SigmaCent;
    sigmaInst = options.SigmaInst;
    chkHVD_ = coupling.horVer;
    chkXYZ_ = coupling.xyZ;
    face2to1 = options.Face2to1;
    version3 = options.Version != 1;
}

void ExportDialogModel::SaveSettings() {
    stored_.StoreOptions(FillExportOptions(std::nullopt), {chkHVD_, chkXYZ_});
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

ExportOptions ExportDialogModel::FillExportOptions(std::optional<std::string> idexFile) const {
    ExportOptions options;
    options.Projectfile = std::string(TrimBlanks(projectFile));
    options.Fieldfile = std::string(TrimBlanks(fieldFile));
    options.IdexFile = std::move(idexFile);
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

ExportOptions ExportDialogModel::Start(std::optional<std::string> idexFile) {
    Close();
    return FillExportOptions(std::move(idexFile));
}

void ExportDialogModel::Close() {
    SaveSelectionSet(selNr_);
    SaveSettings();
}

}  // namespace talvik
