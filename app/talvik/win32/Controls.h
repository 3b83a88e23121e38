#pragma once
// Control ids of the windows, named after the controls of the dialog models (the Qt windows
// use the same names as object names). FindControl looks a control up by that name, so tests
// and tools address controls as the users' documentation does.

#include "win32/Win32.h"

#include <string>
#include <string_view>

namespace talvik::win32 {

enum class ControlId : int {
    // Shared by several windows.
    Picture1 = 100,
    lblAction,
    txtSelNr,
    UpDown1,
    cmdStart,
    Label1,
    // Export window.
    fraFiles = 200,
    lblFieldfile,
    txtFieldfile,
    cmdField,
    lblProjectfile,
    txtProjectfile,
    cmdProject,
    lblSaveAs,
    optV3,
    optV1,
    fraStdDevObservations,
    lblAbs,
    lblRel,
    lblHz,
    txtAbsHor,
    txtRelHor,
    lblV,
    txtAbsVer,
    txtRelVer,
    lblDis,
    txtAbsDis,
    txtRelDis,
    chkHVD,
    fraFace2,
    optFace2Series,
    optFace2to1,
    fraStdDevCoordinates,
    lblStdAfw,
    lblXY,
    txtSDXY,
    lblZ,
    txtSDZ,
    chkXYZ,
    fraStdDevOther,
    lblSigmaCent,
    txtSigmaCent,
    lblSigmaInst,
    txtSigmaInst,
    fraSelCodes,
    lblSelSet,
    cmdExport,
    fraProgress,
    lblProgressCaption,
    lblProgress,
    prbProgress,
    lblPercent,
    txtSelCode1 = 301,  // txtSelCode1 .. txtSelCode16 are 301 .. 316
    // Import window.
    Label2 = 400,
    txtCoordfile,
    cmdCoord,
    Frame3,
    txtKVLayer,
    Label4,
    txtKVCode,
    Label3,
    lblTolerance,
    txtTolerance,
    // About box.
    lblTitle = 500,
    lblVersion,
    Label5,
    cmdOK,
    lineTop,
    lineBottom,
    // Start-up window.
    fraSplash = 600,
    imgLogo,
    lblProductName,
    // Export window, and the check window it opens.
    cmdCheck = 700,
    picSketch,
    lblFindings,
    lstFindings,
    lblCount,
    cmdFit,
    cmdClose,
    // The shift report window the import window opens (cmdClose as above).
    lblShifts = 800,
    lstShifts,
    cmdCopy,
    // The check window's text of the chosen finding.
    txtFinding = 900,
    cmdCoordinates,
};

inline ControlId SelCodeId(int i) {
    return static_cast<ControlId>(static_cast<int>(ControlId::txtSelCode1) + i - 1);
}

// The id of a control by its name ("txtAbsHor", "txtSelCode7", ...); 0 when unknown.
int FindControl(std::string_view name);
// The name of a control; empty when unknown.
std::string ControlName(ControlId id);

}  // namespace talvik::win32
