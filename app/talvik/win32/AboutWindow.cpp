#include "win32/AboutWindow.h"

#include "Version.h"

namespace talvik::win32 {

namespace {

using enum ControlId;

}  // namespace

void AboutWindow::Show(HWND owner) {
    if (built_ && !IsWindowVisible(Handle())) {
        DestroyWindow(Handle());
        built_ = false;
    }
    if (!built_) {
        built_ = Create(owner, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK, 0,
                        texts::kAbout, 340, 204);
    }
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
    SendMessageA(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(cmdOK)), TRUE);
}

void AboutWindow::Close() {
    if (built_) ShowWindow(Handle(), SW_HIDE);
}

void AboutWindow::Build() {
    Add("STATIC", Picture1, SS_OWNERDRAW, {18, 18, 64, 64});
    Add("STATIC", lblTitle, SS_NOPREFIX, {98, 18, 224, 32}, FontRole::Title);
    AddLabel(lblVersion, {98, 54, 224, 20});
    ShowText(Item(lblVersion), texts::VersionLine(kVersionMajor, kVersionMinor, kVersionRevision));
    Add("STATIC", lineTop, SS_ETCHEDHORZ, {18, 94, 304, 2});
    AddLabel(Label5, {18, 104, 304, 20});
    AddLabel(Label1, {18, 126, 304, 20});
    Add("STATIC", lineBottom, SS_ETCHEDHORZ, {18, 154, 304, 2});
    AddButton(cmdOK, {232, 166, 90, 26}, true);
    SendMessageA(Handle(), DM_SETDEFID, static_cast<WPARAM>(cmdOK), 0);
}

COLORREF AboutWindow::TextColour(ControlId id) const {
    return id == Label5 || id == Label1 ? RGB(0, 0, 0xc0) : CLR_INVALID;
}

bool AboutWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == static_cast<WORD>(cmdOK) || LOWORD(wParam) == IDCANCEL) Close();
            return true;
        case WM_CLOSE:
            Close();
            return true;
        case WM_DRAWITEM:
            DrawLogo(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            result = TRUE;
            return true;
        default:
            return false;
    }
}

}  // namespace talvik::win32
