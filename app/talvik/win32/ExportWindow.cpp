#include "win32/ExportWindow.h"

#include "check/CheckReading.h"
#include "win32/AboutWindow.h"
#include "win32/CheckWindow.h"

namespace talvik::win32 {

namespace {

using enum ControlId;

constexpr UINT_PTR kOpenTimer = 1;

// The box of each plain model field.
struct PlainBox {
    ControlId id;
    std::string ExportDialogModel::*field;
};
constexpr PlainBox kPlainBoxes[] = {
    {txtFieldfile, &ExportDialogModel::fieldFile},
    {txtProjectfile, &ExportDialogModel::projectFile},
    {txtAbsDis, &ExportDialogModel::absDis},
    {txtRelDis, &ExportDialogModel::relDis},
    {txtSigmaCent, &ExportDialogModel::sigmaCent},
    {txtSigmaInst, &ExportDialogModel::sigmaInst},
};

// The box of each coupled value, its getter and setter.
struct CoupledBox {
    ControlId id;
    const std::string& (ExportDialogModel::*get)() const;
    void (ExportDialogModel::*set)(std::string);
};
constexpr CoupledBox kCoupledBoxes[] = {
    {txtAbsHor, &ExportDialogModel::AbsHor, &ExportDialogModel::SetAbsHor},
    {txtRelHor, &ExportDialogModel::RelHor, &ExportDialogModel::SetRelHor},
    {txtAbsVer, &ExportDialogModel::AbsVer, &ExportDialogModel::SetAbsVer},
    {txtRelVer, &ExportDialogModel::RelVer, &ExportDialogModel::SetRelVer},
    {txtSDXY, &ExportDialogModel::SdXY, &ExportDialogModel::SetSdXY},
    {txtSDZ, &ExportDialogModel::SdZ, &ExportDialogModel::SetSdZ},
};

}  // namespace

ExportWindow::ExportWindow(JobContext& context) : context_(context), model_(context.settings) {}

ExportWindow::~ExportWindow() = default;

bool ExportWindow::Create() {
    return Form::Create(nullptr, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_3DLOOK,
                        WS_EX_CONTROLPARENT | WS_EX_APPWINDOW, texts::kExport, 660, 584);
}

void ExportWindow::Build() {
    // Heading with the emblem; both open the About box.
    Add("STATIC", Picture1, SS_OWNERDRAW | SS_NOTIFY, {12, 10, 44, 44});
    Add("STATIC", lblAction, SS_NOTIFY | SS_NOPREFIX | SS_CENTERIMAGE, {68, 14, 420, 36},
        FontRole::Heading);

    // Files and package version.
    AddFrame(fraFiles, {12, 58, 636, 104});
    AddLabel(lblFieldfile, {24, 79, 150, 20});
    AddEdit(txtFieldfile, {176, 76, 368, 23});
    AddButton(cmdField, {552, 75, 84, 25});
    AddLabel(lblProjectfile, {24, 107, 150, 20});
    AddEdit(txtProjectfile, {176, 104, 368, 23});
    AddButton(cmdProject, {552, 103, 84, 25});
    AddLabel(lblSaveAs, {24, 135, 150, 20});
    AddOption(optV3, true, {176, 133, 110, 20});
    AddOption(optV1, false, {296, 133, 110, 20});

    // Standard deviations of the observations.
    AddFrame(fraStdDevObservations, {12, 170, 330, 148});
    AddLabel(lblAbs, {178, 186, 76, 18}, SS_CENTER);
    AddLabel(lblRel, {260, 186, 76, 18}, SS_CENTER);
    const struct {
        ControlId label, abs, rel;
    } rows[] = {
        {lblHz, txtAbsHor, txtRelHor},
        {lblV, txtAbsVer, txtRelVer},
        {lblDis, txtAbsDis, txtRelDis},
    };
    int y = 206;
    for (const auto& row : rows) {
        AddLabel(row.label, {24, y + 3, 150, 20});
        AddEdit(row.abs, {178, y, 76, 23});
        AddEdit(row.rel, {260, y, 76, 23});
        y += 28;
    }
    AddCheck(chkHVD, {24, y + 2, 300, 20});

    // The second face.
    AddFrame(fraFace2, {12, 326, 330, 72});
    AddOption(optFace2Series, true, {24, 346, 300, 20});
    AddOption(optFace2to1, false, {24, 370, 300, 20});

    // Standard deviations of the coordinates, and the others.
    AddFrame(fraStdDevCoordinates, {352, 170, 296, 120});
    AddLabel(lblStdAfw, {560, 186, 76, 18}, SS_CENTER);
    AddLabel(lblXY, {364, 209, 190, 20});
    AddEdit(txtSDXY, {560, 206, 76, 23});
    AddLabel(lblZ, {364, 237, 190, 20});
    AddEdit(txtSDZ, {560, 234, 76, 23});
    AddCheck(chkXYZ, {364, 264, 270, 20});

    AddFrame(fraStdDevOther, {352, 298, 296, 80});
    AddLabel(lblSigmaCent, {364, 321, 190, 20});
    AddEdit(txtSigmaCent, {560, 318, 76, 23});
    AddLabel(lblSigmaInst, {364, 349, 190, 20});
    AddEdit(txtSigmaInst, {560, 346, 76, 23});

    // Code selections: 16 boxes and the set number with its arrows.
    AddFrame(fraSelCodes, {12, 406, 636, 88});
    for (int i = 1; i <= 16; ++i)
        AddEdit(SelCodeId(i), {24 + ((i - 1) % 8) * 62, 428 + ((i - 1) / 8) * 30, 56, 23});
    AddLabel(lblSelSet, {536, 426, 100, 18}, SS_CENTER);
    Add("EDIT", txtSelNr, ES_CENTER | ES_READONLY | ES_AUTOHSCROLL, {562, 448, 32, 23},
        FontRole::Normal, WS_EX_CLIENTEDGE);
    AddArrows(UpDown1, {594, 448, 18, 23});

    // Start buttons, and the check beside them. None is the default: Enter in a box starts
    // nothing.
    AddButton(cmdExport, {236, 504, 202, 30});
    AddButton(cmdStart, {446, 504, 202, 30});
    AddButton(cmdCheck, {12, 504, 180, 30});

    // Progress line, outside the body so it stays readable while the body is disabled.
    AddProgressLine(546, 636);
}

COLORREF ExportWindow::TextColour(ControlId id) const {
    return id == lblAction ? kHeadingColour : CLR_INVALID;
}

void ExportWindow::Open(std::string packageFile, std::string idexFile, bool askForIdex, HWND splash,
                        UINT delayMs) {
    packageFile_ = std::move(packageFile);
    idexFile_ = std::move(idexFile);
    askForIdex_ = askForIdex;
    splash_ = splash;
    SetTimer(Handle(), kOpenTimer, delayMs, nullptr);
}

void ExportWindow::FinishOpening() {
    if (splash_ && IsWindow(splash_)) ShowWindow(splash_, SW_HIDE);
    if (askForIdex_ && !AskForIdexFile(context_, packageFile_, idexFile_)) {
        End(0);
        return;
    }
    model_.Open(packageFile_);
    Refresh();
    ShowWithFocus(txtFieldfile);
}

void ExportWindow::Refresh() {
    refreshing_ = true;
    for (const PlainBox& box : kPlainBoxes)
        ShowText(Item(box.id), model_.*box.field);
    CheckRadioButton(Handle(), static_cast<int>(optV3), static_cast<int>(optV1),
                     static_cast<int>(model_.version3 ? optV3 : optV1));
    CheckRadioButton(Handle(), static_cast<int>(optFace2Series), static_cast<int>(optFace2to1),
                     static_cast<int>(model_.face2to1 ? optFace2to1 : optFace2Series));
    refreshing_ = false;
    RefreshCoupled();
    RefreshCodes();
}

void ExportWindow::RefreshCoupled() {
    refreshing_ = true;
    for (const CoupledBox& box : kCoupledBoxes)
        ShowText(Item(box.id), (model_.*box.get)());
    CheckDlgButton(Handle(), static_cast<int>(chkHVD),
                   model_.CoupleHorVer() ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(Handle(), static_cast<int>(chkXYZ),
                   model_.CoupleXyZ() ? BST_CHECKED : BST_UNCHECKED);
    if (!running_) {
        EnableWindow(Item(txtAbsVer), model_.AbsVerEnabled());
        EnableWindow(Item(txtRelVer), model_.RelVerEnabled());
        EnableWindow(Item(txtSDZ), model_.SdZEnabled());
    }
    refreshing_ = false;
}

void ExportWindow::RefreshCodes() {
    refreshing_ = true;
    const int set = model_.SelectionSetNumber();
    ShowText(Item(txtSelNr), std::to_string(set));
    SendMessageA(Item(UpDown1), UDM_SETPOS32, 0, set);
    for (int i = 1; i <= 16; ++i)
        ShowText(Item(SelCodeId(i)), model_.selectionCodes[static_cast<std::size_t>(i)]);
    refreshing_ = false;
}

void ExportWindow::Edited(ControlId id) {
    for (const PlainBox& box : kPlainBoxes) {
        if (box.id == id) model_.*box.field = TextOf(Item(id));
    }
    for (const CoupledBox& box : kCoupledBoxes) {
        if (box.id != id) continue;
        (model_.*box.set)(TextOf(Item(id)));
        RefreshCoupled();
    }
    const int code = static_cast<int>(id) - static_cast<int>(txtSelCode1) + 1;
    if (code >= 1 && code <= 16)
        model_.selectionCodes[static_cast<std::size_t>(code)] = TextOf(Item(id));
}

void ExportWindow::Clicked(ControlId id) {
    const auto checked = [this](ControlId button) {
        return IsDlgButtonChecked(Handle(), static_cast<int>(button)) == BST_CHECKED;
    };
    switch (id) {
        case chkHVD:
            model_.SetCoupleHorVer(checked(chkHVD));
            RefreshCoupled();
            break;
        case chkXYZ:
            model_.SetCoupleXyZ(checked(chkXYZ));
            RefreshCoupled();
            break;
        case optV3:
        case optV1:
            model_.version3 = checked(optV3);
            break;
        case optFace2Series:
        case optFace2to1:
            model_.face2to1 = checked(optFace2to1);
            break;
        case cmdField:
            Browse(model_.fieldFile, ExportDialogModel::kFieldFilter,
                   ExportDialogModel::kFieldPattern, txtFieldfile);
            break;
        case cmdProject:
            Browse(model_.projectFile, ExportDialogModel::kProjectFilter,
                   ExportDialogModel::kProjectPattern, txtProjectfile);
            break;
        case cmdExport:
            RunExport(false);
            break;
        case cmdStart:
            RunExport(true);
            break;
        case cmdCheck:
            RunCheck();
            break;
        case Picture1:
        case lblAction:
            ShowAboutBox();
            break;
        default:
            break;
    }
}

bool ExportWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_TIMER:
            if (wParam != kOpenTimer) return false;
            KillTimer(Handle(), kOpenTimer);
            FinishOpening();
            return true;
        case WM_COMMAND: {
            const auto id = static_cast<ControlId>(LOWORD(wParam));
            if (HIWORD(wParam) == EN_CHANGE && !refreshing_) Edited(id);
            if (HIWORD(wParam) == BN_CLICKED && lParam != 0) Clicked(id);
            return true;
        }
        case WM_SETCURSOR: {
            const auto over = static_cast<ControlId>(GetDlgCtrlID(reinterpret_cast<HWND>(wParam)));
            if (over != Picture1 && over != lblAction) return false;
            SetCursor(LoadCursor(nullptr, IDC_HAND));
            result = TRUE;
            return true;
        }
        default:
            return JobWindow::OnMessage(message, wParam, lParam, result);
    }
}

void ExportWindow::StepSet(bool up) {
    if (up ? model_.StepUp() : model_.StepDown()) RefreshCodes();
}

void ExportWindow::Browse(std::string& field, std::string_view filter, std::string_view pattern,
                          ControlId box) {
    const std::optional<std::string> picked = LocateFile(context_, filter, pattern);
    if (!picked) {
        End(0);
        return;
    }
    field = *picked;
    refreshing_ = true;
    ShowText(Item(box), field);
    refreshing_ = false;
}

void ExportWindow::RunExport(bool kickKorvu) {
    if (running_ || ended_) return;
    running_ = true;
    SetBodyEnabled(false);
    // The choices the run stores (and the package path it may store) reach the store in one
    // write, at the end of the run.
    const ConversionOutcome outcome = [this, kickKorvu] {
        const OneWrite oneWrite(context_.registry);
        const ExportOptions options = model_.Start(idexFile_);
        const LaunchChoice launch{kickKorvu ? Launch::Always : Launch::No, model_.projectFile};
        return RunExportJob(context_, options, launch).conversion;
    }();
    running_ = false;
    End(DesktopExitCode(outcome));
}

void ExportWindow::RunCheck() {
    if (running_ || ended_) return;
    std::optional<CheckReport> report =
        CheckFiles(model_.FillExportOptions(idexFile_), context_.ui);
    if (!report) return;
    if (!check_) check_ = std::make_unique<CheckWindow>();
    check_->Show(Handle(), std::move(*report));
}

void ExportWindow::BeforeEnd() {
    KillTimer(Handle(), kOpenTimer);
    if (about_) about_->Close();
    if (check_) check_->Close();
}

void ExportWindow::ShowAboutBox() {
    if (!about_) about_ = std::make_unique<AboutWindow>();
    about_->Show(Handle());
}

}  // namespace talvik::win32
