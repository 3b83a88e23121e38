#include "win32/Controls.h"

namespace talvik::win32 {

namespace {

struct Named {
    std::string_view name;
    ControlId id;
};

#define TALVIK_CONTROL(name)   \
    Named {                    \
#name, ControlId::name \
    }
constexpr Named kControls[] = {
    TALVIK_CONTROL(Picture1),
    TALVIK_CONTROL(lblAction),
    TALVIK_CONTROL(txtSelNr),
    TALVIK_CONTROL(UpDown1),
    TALVIK_CONTROL(cmdStart),
    TALVIK_CONTROL(Label1),
    TALVIK_CONTROL(fraFiles),
    TALVIK_CONTROL(lblFieldfile),
    TALVIK_CONTROL(txtFieldfile),
    TALVIK_CONTROL(cmdField),
    TALVIK_CONTROL(lblProjectfile),
    TALVIK_CONTROL(txtProjectfile),
    TALVIK_CONTROL(cmdProject),
    TALVIK_CONTROL(lblSaveAs),
    TALVIK_CONTROL(optV3),
    TALVIK_CONTROL(optV1),
    TALVIK_CONTROL(fraStdDevObservations),
    TALVIK_CONTROL(lblAbs),
    TALVIK_CONTROL(lblRel),
    TALVIK_CONTROL(lblHz),
    TALVIK_CONTROL(txtAbsHor),
    TALVIK_CONTROL(txtRelHor),
    TALVIK_CONTROL(lblV),
    TALVIK_CONTROL(txtAbsVer),
    TALVIK_CONTROL(txtRelVer),
    TALVIK_CONTROL(lblDis),
    TALVIK_CONTROL(txtAbsDis),
    TALVIK_CONTROL(txtRelDis),
    TALVIK_CONTROL(chkHVD),
    TALVIK_CONTROL(fraFace2),
    TALVIK_CONTROL(optFace2Series),
    TALVIK_CONTROL(optFace2to1),
    TALVIK_CONTROL(fraStdDevCoordinates),
    TALVIK_CONTROL(lblStdAfw),
    TALVIK_CONTROL(lblXY),
    TALVIK_CONTROL(txtSDXY),
    TALVIK_CONTROL(lblZ),
    TALVIK_CONTROL(txtSDZ),
    TALVIK_CONTROL(chkXYZ),
    TALVIK_CONTROL(fraStdDevOther),
    TALVIK_CONTROL(lblSigmaCent),
    TALVIK_CONTROL(txtSigmaCent),
    TALVIK_CONTROL(lblSigmaInst),
    TALVIK_CONTROL(txtSigmaInst),
    TALVIK_CONTROL(fraSelCodes),
    TALVIK_CONTROL(lblSelSet),
    TALVIK_CONTROL(cmdExport),
    TALVIK_CONTROL(fraProgress),
    TALVIK_CONTROL(lblProgressCaption),
    TALVIK_CONTROL(lblProgress),
    TALVIK_CONTROL(prbProgress),
    TALVIK_CONTROL(lblPercent),
    TALVIK_CONTROL(Label2),
    TALVIK_CONTROL(txtCoordfile),
    TALVIK_CONTROL(cmdCoord),
    TALVIK_CONTROL(Frame3),
    TALVIK_CONTROL(txtKVLayer),
    TALVIK_CONTROL(Label4),
    TALVIK_CONTROL(txtKVCode),
    TALVIK_CONTROL(Label3),
    TALVIK_CONTROL(lblTolerance),
    TALVIK_CONTROL(txtTolerance),
    TALVIK_CONTROL(lblTitle),
    TALVIK_CONTROL(lblVersion),
    TALVIK_CONTROL(Label5),
    TALVIK_CONTROL(cmdOK),
    TALVIK_CONTROL(lineTop),
    TALVIK_CONTROL(lineBottom),
    TALVIK_CONTROL(fraSplash),
    TALVIK_CONTROL(imgLogo),
    TALVIK_CONTROL(lblProductName),
    TALVIK_CONTROL(cmdCheck),
    TALVIK_CONTROL(picSketch),
    TALVIK_CONTROL(lblFindings),
    TALVIK_CONTROL(lstFindings),
    TALVIK_CONTROL(lblCount),
    TALVIK_CONTROL(cmdFit),
    TALVIK_CONTROL(cmdClose),
    TALVIK_CONTROL(lblShifts),
    TALVIK_CONTROL(lstShifts),
    TALVIK_CONTROL(cmdCopy),
    TALVIK_CONTROL(txtFinding),
};
#undef TALVIK_CONTROL

constexpr std::string_view kSelCode = "txtSelCode";

}  // namespace

int FindControl(std::string_view name) {
    if (name.substr(0, kSelCode.size()) == kSelCode) {
        const std::string_view number = name.substr(kSelCode.size());
        int n = 0;
        for (char c : number) {
            if (c < '0' || c > '9') return 0;
            n = n * 10 + (c - '0');
            if (n > 16) return 0;
        }
        return number.empty() || n < 1 ? 0 : static_cast<int>(SelCodeId(n));
    }
    for (const Named& control : kControls) {
        if (control.name == name) return static_cast<int>(control.id);
    }
    return 0;
}

std::string ControlName(ControlId id) {
    const int code = static_cast<int>(id) - static_cast<int>(ControlId::txtSelCode1) + 1;
    if (code >= 1 && code <= 16) return std::string(kSelCode) + std::to_string(code);
    for (const Named& control : kControls) {
        if (control.id == id) return std::string(control.name);
    }
    return {};
}

}  // namespace talvik::win32
