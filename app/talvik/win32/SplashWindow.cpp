#include "win32/SplashWindow.h"

namespace talvik::win32 {

namespace {

using enum ControlId;

}  // namespace

SplashWindow::~SplashWindow() {
    DeleteObject(background_);
}

bool SplashWindow::Create() {
    if (!Form::Create(nullptr, WS_POPUP | WS_BORDER, WS_EX_TOOLWINDOW, texts::kSplash, 560, 156))
        return false;
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    UpdateWindow(Handle());
    return true;
}

void SplashWindow::Build() {
    Add("STATIC", fraSplash, SS_ETCHEDFRAME, {12, 12, 536, 132});
    Add("STATIC", imgLogo, SS_OWNERDRAW, {36, 30, 96, 96});
    Add("STATIC", lblProductName, SS_NOPREFIX | SS_CENTERIMAGE, {156, 58, 380, 40},
        FontRole::Large);
}

COLORREF SplashWindow::TextColour(ControlId id) const {
    return id == lblProductName ? kHeadingColour : CLR_INVALID;
}

bool SplashWindow::OnMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message != WM_DRAWITEM) return false;
    DrawLogo(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    result = TRUE;
    return true;
}

}  // namespace talvik::win32
