#include "win32/JobWindow.h"

#include <algorithm>
#include <iterator>

namespace talvik::win32 {

void JobWindow::End(int exitCode) {
    if (ended_) return;
    ended_ = true;
    BeforeEnd();
    ShowWindow(Handle(), SW_HIDE);
    if (finished) finished(exitCode);
}

void JobWindow::RunDone() {
    running_ = false;
    if (closeRequested_) End(0);
}

namespace {

constexpr ControlId kProgressLine[] = {ControlId::fraProgress, ControlId::lblProgressCaption,
                                       ControlId::lblProgress, ControlId::prbProgress,
                                       ControlId::lblPercent};

}  // namespace

void JobWindow::AddProgressLine(int y, int width) {
    using enum ControlId;
    Add("STATIC", fraProgress, WS_GROUP | SS_ETCHEDFRAME, {12, y, width, 28});
    AddLabel(lblProgressCaption, {18, y + 5, 70, 18});
    AddLabel(lblProgress, {90, y + 5, width - 200, 18}, SS_ENDELLIPSIS);
    Add(PROGRESS_CLASSA, prbProgress, 0, {width - 102, y + 6, 66, 16});
    ShowWindow(Item(prbProgress), SW_HIDE);
    AddLabel(lblPercent, {width - 32, y + 5, 38, 18}, SS_RIGHT);
}

void JobWindow::SetBodyEnabled(bool enabled) {
    for (HWND child = GetWindow(Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const auto id = static_cast<ControlId>(GetDlgCtrlID(child));
        if (std::find(std::begin(kProgressLine), std::end(kProgressLine), id) ==
            std::end(kProgressLine))
            EnableWindow(child, enabled);
    }
}

void JobWindow::FocusOn(ControlId id) {
    SendMessageA(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE);
}

void JobWindow::ShowWithFocus(ControlId focus) {
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
    FocusOn(focus);
}

bool JobWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom != static_cast<UINT_PTR>(ControlId::UpDown1) ||
            header->code != UDN_DELTAPOS)
            return false;
        StepSet(reinterpret_cast<const NMUPDOWN*>(lParam)->iDelta > 0);
        result = TRUE;  // the control's own position follows the model, not the press
        return true;
    }
    if (message == WM_DRAWITEM) {
        if (wParam != static_cast<WPARAM>(ControlId::Picture1)) return false;
        DrawLogo(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        result = TRUE;
        return true;
    }
    if (message != WM_CLOSE) return false;
    result = 0;
    if (running_) {
        if (!closeRequested_) StoreOnClose();
        closeRequested_ = true;
        return true;
    }
    if (!ended_) {
        StoreOnClose();
        End(0);
    }
    return true;
}

}  // namespace talvik::win32
