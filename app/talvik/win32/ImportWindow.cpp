#include "win32/ImportWindow.h"

#include "text/Text.h"

namespace talvik::win32 {

namespace {

using enum ControlId;
constexpr UINT_PTR kOpenTimer = 1;

}  // namespace

ImportWindow::ImportWindow(JobContext& context) : context_(context), model_(context.settings) {}

bool ImportWindow::Create() {
    return Form::Create(nullptr, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_3DLOOK,
                        WS_EX_CONTROLPARENT | WS_EX_APPWINDOW, texts::kImport, 560, 332);
}

void ImportWindow::Build() {
    Add("STATIC", Picture1, SS_OWNERDRAW, {12, 10, 44, 44});
    Add("STATIC", lblAction, SS_NOPREFIX | SS_CENTERIMAGE, {68, 14, 460, 36}, FontRole::Heading);

    AddLabel(Label2, {12, 73, 120, 20});
    AddEdit(txtCoordfile, {136, 70, 320, 23});
    AddButton(cmdCoord, {464, 69, 84, 25});

    AddFrame(Frame3, {12, 106, 536, 140});
    AddLabel(Label1, {24, 131, 150, 20});
    AddEdit(txtKVLayer, {180, 128, 180, 23});
    AddLabel(Label4, {24, 159, 150, 20});
    AddEdit(txtKVCode, {180, 156, 180, 23});
    AddLabel(Label3, {24, 187, 150, 20});
    // The set number only moves with the arrows, as in the export window.
    Add("EDIT", txtSelNr, ES_CENTER | ES_READONLY | ES_AUTOHSCROLL, {180, 184, 36, 23},
        FontRole::Normal, WS_EX_CLIENTEDGE);
    AddArrows(UpDown1, {216, 184, 18, 23});
    AddLabel(lblTolerance, {24, 215, 150, 20});
    AddEdit(txtTolerance, {180, 212, 80, 23});

    // Not the default button: Enter in a box starts nothing.
    AddButton(cmdStart, {388, 256, 160, 30});
    AddProgressLine(294, 536);
}

COLORREF ImportWindow::TextColour(ControlId id) const {
    return id == lblAction ? kHeadingColour : CLR_INVALID;
}

void ImportWindow::Open(std::string packageFile, std::string idexFile, HWND splash, UINT delayMs) {
    packageFile_ = std::move(packageFile);
    idexFile_ = std::move(idexFile);
    splash_ = splash;
    SetTimer(Handle(), kOpenTimer, delayMs, nullptr);
}

void ImportWindow::Refresh() {
    refreshing_ = true;
    ShowText(Item(txtKVLayer), model_.Layer());
    ShowText(Item(txtKVCode), model_.Code());
    const int set = model_.SelectionSetNumber();
    ShowText(Item(txtSelNr), std::to_string(set));
    ShowText(Item(txtCoordfile), model_.CoordFile());
    ShowText(Item(txtTolerance), model_.ToleranceText());
    SendMessageA(Item(UpDown1), UDM_SETPOS32, 0, set);
    refreshing_ = false;
}

bool ImportWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_TIMER:
            if (wParam != kOpenTimer) return false;
            KillTimer(Handle(), kOpenTimer);
            if (splash_ && IsWindow(splash_)) ShowWindow(splash_, SW_HIDE);
            model_.Load(packageFile_);
            Refresh();
            ShowWithFocus(txtCoordfile);
            return true;
        case WM_COMMAND: {
            const auto id = static_cast<ControlId>(LOWORD(wParam));
            if (HIWORD(wParam) == EN_CHANGE && !refreshing_) {
                const std::string text = TextOf(Item(id));
                if (id == txtKVLayer) model_.SetLayer(text);
                if (id == txtKVCode) model_.SetCode(text);
                if (id == txtCoordfile) model_.SetCoordFile(text);
                if (id == txtTolerance) model_.SetToleranceText(text);
            }
            if (HIWORD(wParam) == BN_CLICKED && id == cmdCoord) Browse();
            if (HIWORD(wParam) == BN_CLICKED && id == cmdStart) RunImport();
            return true;
        }
        default:
            return JobWindow::OnMessage(message, wParam, lParam, result);
    }
}

void ImportWindow::StepSet(bool up) {
    if (up ? model_.StepUp() : model_.StepDown()) Refresh();
}

void ImportWindow::Browse() {
    const std::optional<std::string> picked =
        LocateFile(context_, ImportModel::kCoordFilter, ImportModel::kCoordPattern);
    if (!picked) {
        End(0);
        return;
    }
    model_.SetCoordFile(*picked);
    Refresh();
}

void ImportWindow::RunImport() {
    if (running_ || ended_) return;
    running_ = true;
    SetBodyEnabled(false);
    // The shift report reads the IDEX file as it is before the import replaces it.
    ShiftReport report;
    const ImportOutcome outcome = [this, &report] {
        const OneWrite oneWrite(context_.registry);
        report.ReadBase(idexFile_, false, context_.ui);
        return model_.Start(idexFile_, context_.ui, &report);
    }();
    // After a written file the report shows; closing it (or this window) ends the process.
    if (outcome == ImportOutcome::Written) {
        imported_ = true;
        report.Compare(model_.Tolerance().value_or(0.0));
        shifts_ = std::make_unique<ShiftWindow>();
        shifts_->closed = [this] { End(0); };
        shifts_->Show(Handle(), report);
        RunDone();
        return;
    }
    SetBodyEnabled(true);
    RunDone();
    if (ended_) return;
    // The focus goes back to the box the message was about: a bad tolerance first, then a
    // refusal names the layer, then the code; a failed run names a file, and the coordinate
    // file is the one shown here.
    if (outcome == ImportOutcome::Refused && !model_.Tolerance())
        FocusOn(txtTolerance);
    else if (outcome == ImportOutcome::Refused)
        FocusOn(TrimBlanks(model_.Layer()).empty() ? txtKVLayer : txtKVCode);
    else
        FocusOn(txtCoordfile);
}

void ImportWindow::BeforeEnd() {
    if (shifts_) ShowWindow(shifts_->Handle(), SW_HIDE);
}

}  // namespace talvik::win32
