#pragma once
// The export dialog's deviation boxes as one text, for comparing them in a line.

#include <string>

#include "export/ExportDialogModel.h"

namespace talvik::testing {

// The ten standard-deviation boxes in the order they are stored, then the two couplings.
inline std::string StdDevs(const ExportDialogModel& m) {
    std::string shown;
    for (const std::string& text : {m.AbsHor(), m.RelHor(), m.AbsVer(), m.RelVer(), m.absDis,
                                    m.relDis, m.SdXY(), m.SdZ(), m.sigmaCent, m.sigmaInst})
        shown += text + "|";
    return shown + (m.CoupleHorVer() ? "1" : "0") + (m.CoupleXyZ() ? "1" : "0");
}

}  // namespace talvik::testing
