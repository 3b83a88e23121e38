#pragma once
// Every fixed text of the desktop program's windows, in one table that both fronts (the Qt
// windows and the Win32 ones) show and that the users' page docs/windows.md is written from
// (talvik_windows_page). Texts are Windows-1252 bytes, as the core's; the Qt front converts
// them where they meet the screen.
//
// A control is named as both fronts name it (its object name, or the name of its control id).
// A window lists its controls in the order the Tab key visits them, with the labels and frames
// where they stand; a control that shows no fixed text (a picture, the progress text, a frame
// without a title) is not listed.

#include <span>
#include <string>
#include <string_view>

#include "platform/UserInterface.h"

namespace talvik::texts {

struct ControlText {
    std::string_view name;
    // What the control shows; '&' comes before the access key. Empty: nothing.
    std::string_view caption;
    // Empty: no tooltip.
    std::string_view tip;
};

struct WindowText {
    std::string_view name;  // the window's object name
    std::string_view title;
    // The window's heading and what it is for, in the users' page (English).
    std::string_view heading;
    std::string_view about;
    std::span<const ControlText> controls;
};

namespace detail {

inline constexpr std::string_view kSelCodeTip =
    "Waarnemingen met deze Object Codes worden gebruikt door KORVU";
inline constexpr std::string_view kSelObjectTip =
    "Waarnemingen met deze Selectie Object worden gebruikt door KORVU";
inline constexpr std::string_view kSelNrTip =
    "Tot 9 verschillende Sets met Selectie Codes zijn beschikbaar";
inline constexpr std::string_view kAbsTip = "Standaard Afwijking (Absoluut Deel) in GON";
inline constexpr std::string_view kRelTip = "Standaard Afwijking Relatief Deel) in GON per KM";
inline constexpr std::string_view kXYTip = "Standaard Afwijking van X+Y in meters";
inline constexpr std::string_view kHeightTip = "Standaard Afwijking v.d. punthoogte in meters";
inline constexpr std::string_view kProgress = " Voortgang:";

inline constexpr ControlText kSplash[] = {
    {"lblProductName", "Kavrin ZEV KORVU Interface", ""},
};

inline constexpr ControlText kExport[] = {
    {"lblAction", "KORVU Project Aanmaken", ""},
    {"lblFieldfile", "Kavrin file (FLD):", ""},
    {"txtFieldfile", "", "De Naam van de Kavrin Fieldfile"},
    {"cmdField", "Bladeren", "Opzoeken van Kavrin Fieldfile Locatie"},
    {"lblProjectfile", "KORVU file (PRJ):", ""},
    {"txtProjectfile", "", "De Naam van het KORVU Project"},
    {"cmdProject", "Bladeren", "Opzoeken van KORVU Projectfile Locatie"},
    {"lblSaveAs", "Opslaan als KORVU versie:", ""},
    {"optV3", "KORVU v3.0", ""},
    {"optV1", "KORVU v1.0", ""},
    {"fraStdDevObservations", "StdAfw. Waarnemingen", ""},
    {"lblAbs", "Abs.", ""},
    {"lblRel", "Rel.", ""},
    {"lblHz", "Hz: (gon + gon/km)", ""},
    {"txtAbsHor", "", kAbsTip},
    {"txtRelHor", "", kRelTip},
    {"lblV", "V:   (gon + gon/km)", ""},
    {"txtAbsVer", "", kAbsTip},
    {"txtRelVer", "", kRelTip},
    {"lblDis", "Afstand:  (m + ppm)", ""},
    {"txtAbsDis", "", "Standaard Afwijking (Absoluut Deel) van de Afstandmeting in Meters"},
    {"txtRelDis", "", "Standaard Afwijking (PPM) van de Afstandmeting in Meters"},
    {"chkHVD", "Hz en V dezelfde StdAfw.",
     "Std.Afw. van Hor.Rand wordt ook toegepast op de Ver.Rand"},
    {"fraFace2", "Kijkerstand 2", ""},
    {"optFace2Series", "Opnemen als Aparte Serie", ""},
    {"optFace2to1", "Omzetten naar Kijkerstand 1", ""},
    {"fraStdDevCoordinates", "StdAfw. Co\xF6rdinaten", ""},
    {"lblStdAfw", "StdAfw.", ""},
    {"lblXY", "X / Y-co\xF6rdinaten: (m)", ""},
    {"txtSDXY", "", kXYTip},
    {"lblZ", "Z-co\xF6rdinaat: (m)", ""},
    {"txtSDZ", "", kHeightTip},
    {"chkXYZ", "X, Y en Z dezelfde StdAfw.", "Std.Afw. van X+Y wordt ook toegepast op de Hoogte"},
    {"fraStdDevOther", "Overige Std.Afw.", ""},
    {"lblSigmaCent", "Sigma Centrering:", ""},
    {"txtSigmaCent", "", kXYTip},
    {"lblSigmaInst", "Sigma Instr.Hoogte:", ""},
    {"txtSigmaInst", "", kHeightTip},
    {"fraSelCodes", "Code Selecties", kSelCodeTip},
    {"txtSelCode1", "", kSelCodeTip},
    {"txtSelCode2", "", kSelCodeTip},
    {"txtSelCode3", "", kSelCodeTip},
    {"txtSelCode4", "", kSelCodeTip},
    {"txtSelCode5", "", kSelCodeTip},
    {"txtSelCode6", "", kSelCodeTip},
    {"txtSelCode7", "", kSelObjectTip},
    {"txtSelCode8", "", kSelCodeTip},
    {"txtSelCode9", "", kSelObjectTip},
    {"txtSelCode10", "", kSelCodeTip},
    {"txtSelCode11", "", kSelObjectTip},
    {"txtSelCode12", "", kSelCodeTip},
    {"txtSelCode13", "", kSelObjectTip},
    {"txtSelCode14", "", kSelCodeTip},
    {"txtSelCode15", "", kSelObjectTip},
    {"txtSelCode16", "", kSelCodeTip},
    {"lblSelSet", "Selectie Set", ""},
    {"txtSelNr", "", kSelNrTip},
    {"UpDown1", "", kSelNrTip},
    {"cmdExport", "Start &Export Zonder KORVU",
     "De Kavrin Gegevens verzamelen en exporteren naar een KORVU project; KORVU wordt niet "
     "gestart."},
    {"cmdStart", "&Start Export + Start KORVU",
     "De Kavrin Gegevens verzamelen en exporteren naar een KORVU project; KORVU meteen "
     "opstarten met dit project."},
    {"cmdCheck", "&Netwerk controleren",
     "De waarnemingen controleren en het netwerk schetsen; er wordt niets geschreven."},
    {"lblProgressCaption", kProgress, ""},
};

inline constexpr ControlText kCheck[] = {
    {"lblFindings", "Bevindingen:", ""},
    {"cmdFit", "&Passend", "De hele schets in het venster; ook met dubbelklikken in de schets"},
    {"cmdCopy", "&Kopi\xEBren",
     "De gekozen bevindingen, of alle, als tekst met tabs (voor een rekenblad); ook Ctrl+C"},
    {"cmdCoordinates", "&Co\xF6rdinaten",
     "De co\xF6rdinaten van alle geplaatste punten (punt, x, y, h, sx, sy, sh; vereffend waar de "
     "vereffening liep) naar het klembord, met tabs tussen de kolommen"},
    {"cmdClose", "&Sluiten", ""},
    {"lblUnplaced", "niet geplaatst:", ""},
    {"txtFinding", "", "De gekozen bevinding in haar geheel"},
};

inline constexpr ControlText kImport[] = {
    {"lblAction", "KORVU Co\xF6rdinaten Inlezen", ""},
    {"Label2", "KORVU file (COR):", ""},
    {"txtCoordfile", "", "De Naam van de KORVU Co\xF6rdinatenfile"},
    {"cmdCoord", "Bladeren", "Opzoeken van KORVU Co\xF6rdinatenfile"},
    {"Frame3", "Import Instellingen", "Laagnaam/Code tbv. Import in Kavrin"},
    {"Label1", "Kavrin Laagnaam:", ""},
    {"txtKVLayer", "", "Kavrin Laag waarin KORVU Stations worden opgeslagen"},
    {"Label4", "Kavrin Grondslagcode:", ""},
    {"txtKVCode", "", "Kavrin Code waarin KORVU Stations worden opgeslagen"},
    {"Label3", "Import Set", ""},
    {"txtSelNr", "", "Tot 9 verschillende Sets met Laagnaam/Code zijn beschikbaar"},
    {"UpDown1", "", kSelNrTip},
    {"lblTolerance", "Tolerantie (m):", ""},
    {"txtTolerance", "",
     "Verschuivingen groter dan deze waarde (meter, met een punt) worden gemarkeerd in het "
     "verslag na de import"},
    {"cmdStart", "&Start Import", "De KORVU Stations nu verzamelen en importeren in Kavrin"},
    {"lblProgressCaption", kProgress, ""},
};

inline constexpr ControlText kShifts[] = {
    {"lstShifts", "",
     "Alle punten, de gemarkeerde eerst; klik op een kolomkop om erop te sorteren"},
    {"cmdCopy", "&Kopi\xEBren", "De tabel naar het klembord, met tabs tussen de kolommen"},
    {"cmdClose", "&Sluiten", "Het verslag sluiten; Kavrin kan de IDEX file nu inlezen"},
};

inline constexpr ControlText kAbout[] = {
    {"lblTitle", kAppTitle, ""},  {"lblVersion", "Version", ""}, {"Label5", "Korvu Interface", ""},
    {"Label1", "Kavrin ZEV", ""}, {"cmdOK", "OK", ""},
};

}  // namespace detail

inline constexpr WindowText kSplash{"frmTALVIK", kAppTitle, "Start-up window",
                                    "Shown while the export or the import window opens.",
                                    detail::kSplash};
inline constexpr WindowText kExport{
    "frmKORVUX", kInterfaceTitle, "Export window",
    "Makes a KORVU project of the field file and the IDEX file (mode 0). The heading and the "
    "emblem open the About box.",
    detail::kExport};
inline constexpr WindowText kCheck{
    "frmCheck", "Netwerk controleren", "Network check window",
    "Opened by cmdCheck of the export window, one per export window: the sketch of the network "
    "(wheel, + and - zoom, dragging and the arrow keys pan, Home or a double click fits; a click "
    "on a point chooses its findings) and the table of findings (severity, what, points, size, "
    "tolerance; a click on a column heading sorts). Choosing a finding marks its points in full "
    "red, the other findings' points stay a softer red. Escape closes the window. The unplaced "
    "points are listed in the sketch after lblUnplaced.",
    detail::kCheck};
inline constexpr WindowText kImport{
    "frmKORVUI", kInterfaceTitle, "Import window",
    "Reads KORVU's coordinates into an IDEX file (mode 1). Its progress line shows the run's "
    "texts and a bar with the percentage, as in the export window. txtTolerance is the shift "
    "report's tolerance in metres (stored for every set); once the file is written the shift "
    "report window opens.",
    detail::kImport};
inline constexpr WindowText kShifts{
    "frmShifts", "Verschuivingen", "Shift report window",
    "Opened by the import window once the IDEX file is written: the summary (lblShifts: the "
    "counts, the largest shifts, the flagged points) above the table of every point, flagged "
    "points first and in red. Closing it ends the program.",
    detail::kShifts};
inline constexpr WindowText kAbout{
    "frmAbout", "About Talvik", "About box",
    "The program's name and version: lblVersion shows its caption followed by the version number.",
    detail::kAbout};
static_assert(kAbout.title.ends_with(kAppTitle));

inline constexpr const WindowText* kWindows[] = {&kSplash, &kExport, &kImport,
                                                 &kAbout,  &kCheck,  &kShifts};

// The texts of a control of the window; empty ones for a control it does not list.
constexpr ControlText Find(const WindowText& window, std::string_view name) {
    for (const ControlText& control : window.controls) {
        if (control.name == name) return control;
    }
    return {name, "", ""};
}

// "Version 3.1.71": lblVersion's caption and the three numbers as plain decimals.
inline std::string VersionLine(int major, int minor, int revision) {
    return std::string(Find(kAbout, "lblVersion").caption) + ' ' + std::to_string(major) + '.' +
           std::to_string(minor) + '.' + std::to_string(revision);
}

}  // namespace talvik::texts
