#include "win32/JobWindow.h"

#include <algorithm>

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

void JobWindow::SetBodyEnabled(bool enabled, std::initializer_list<ControlId> outside) {
    for (HWND child = GetWindow(Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const auto id = static_cast<ControlId>(GetDlgCtrlID(child));
        if (std::find(outside.begin(), outside.end(), id) == outside.end())
            EnableWindow(child, enabled);
    }
}

void JobWindow::ShowWithFocus(ControlId focus) {
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
    SendMessageA(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(focus)), TRUE);
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
