#include "interchange/ImportModel.h"

#include <algorithm>

namespace talvik {

void ImportModel::SetSelectionSetNumber(int n) {
    selNr_ = std::clamp(n, kFirstSet, kLastSet);
}

void ImportModel::Load(const std::string& packageFile) {
    selNr_ = stored_.CurrentSet();
    LoadImportSet(selNr_);
    coordFile_ = packageFile;
    tolerance_ = stored_.ToleranceText();
}

void ImportModel::LoadImportSet(int n) {
    choices_ = stored_.Load(n);
}

void ImportModel::SaveImportSet(int n) {
    stored_.Store(n, choices_);
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
    stored_.StoreCurrentSet(selNr_);
    if (Tolerance()) stored_.StoreTolerance(tolerance_);
}

ImportOutcome ImportModel::Start(const std::string& idexFile, UserInterface& ui,
                                 ConvertedPoints* seen) {
    if (!Tolerance()) {
        Inform(ui, kBadTolerance);
        return ImportOutcome::Refused;
    }
    const ImportOutcome outcome =
        RunImportJob(stored_, selNr_, choices_, coordFile_, idexFile, ui, &pointsWritten_, seen);
    if (outcome != ImportOutcome::Refused) stored_.StoreTolerance(tolerance_);
    return outcome;
}

}  // namespace talvik
