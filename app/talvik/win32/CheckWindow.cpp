#include "win32/CheckWindow.h"

#include <windowsx.h>

#include <string>

namespace talvik::win32 {

namespace {

using enum ControlId;

constexpr const char* kSketchClass = "TalvikSketch";
constexpr double kMargin = 40.0;
constexpr int kSize = 6;  // half the size of a mark

void Text(HDC dc, double u, double v, const std::string& text) {
    TextOutA(dc, static_cast<int>(u), static_cast<int>(v), text.data(),
             static_cast<int>(text.size()));
}

}  // namespace

void CheckWindow::Show(HWND owner, CheckReport report) {
    if (built_) DestroyWindow(Handle());
    report_ = std::move(report);
    marks_.clear();
    static const bool registered = [] {
        WNDCLASSA sketch{};
        sketch.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
        sketch.lpfnWndProc = SketchProc;
        sketch.hInstance = GetModuleHandleA(nullptr);
        sketch.hCursor = LoadCursor(nullptr, IDC_CROSS);
        sketch.lpszClassName = kSketchClass;
        return RegisterClassA(&sketch) != 0;
    }();
    (void)registered;
    built_ = Create(owner, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_3DLOOK, 0,
                    texts::kCheck, 960, 560);
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
}

void CheckWindow::Close() {
    if (built_) ShowWindow(Handle(), SW_HIDE);
}

void CheckWindow::Build() {
    Add(kSketchClass, picSketch, WS_BORDER, {8, 8, 560, 544});
    SetWindowLongPtrA(Sketch(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    AddLabel(lblFindings, {576, 8, 376, 18});
    Add("LISTBOX", lstFindings,
        LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
        {576, 28, 376, 450}, FontRole::Normal, WS_EX_CLIENTEDGE);
    AddLabel(lblCount, {576, 484, 376, 18});
    AddButton(cmdFit, {576, 514, 120, 30});
    AddButton(cmdClose, {832, 514, 120, 30}, true);
    SendMessageA(Handle(), DM_SETDEFID, static_cast<WPARAM>(cmdClose), 0);

    HWND list = Item(lstFindings);
    for (const Finding& f : report_.findings) {
        const std::string line =
            (f.severity == Severity::Error ? "fout: " : "waarschuwing: ") + f.text;
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
    if (const std::size_t more = report_.errorsLeftOut + report_.warningsLeftOut) {
        const std::string line = "... en nog " + std::to_string(more) + " niet getoond";
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
    for (const std::string& note : report_.notes) {
        const std::string line = "opmerking: " + note;
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
    SendMessageA(list, LB_SETHORIZONTALEXTENT, 2000, 0);
    ShowText(Item(lblCount), std::to_string(report_.Errors()) + " fouten, " +
                                 std::to_string(report_.Warnings()) + " waarschuwingen");
    Fit();
}

void CheckWindow::Fit() {
    RECT area{};
    GetClientRect(Sketch(), &area);
    view_ = SketchView::Fit(report_, area.right, area.bottom, kMargin);
    Redraw();
}

void CheckWindow::Choose(int index) {
    SendMessageA(Item(lstFindings), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    const auto at = static_cast<std::size_t>(index);
    marks_ =
        index >= 0 && at < report_.findings.size() ? report_.findings[at].points : SketchMarks{};
    Redraw();
}

void CheckWindow::Paint(HDC dc) const {
    RECT area{};
    GetClientRect(Sketch(), &area);
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(dc, TRANSPARENT);
    const HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    const HPEN grey = CreatePen(PS_SOLID, 1, RGB(0x88, 0x88, 0x88));
    const HPEN redLine = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    const HPEN black = CreatePen(PS_SOLID, 2, RGB(0, 0, 0));
    const HPEN red = CreatePen(PS_SOLID, 2, RGB(255, 0, 0));
    const HBRUSH blackFill = CreateSolidBrush(RGB(0, 0, 0));
    const HBRUSH redFill = CreateSolidBrush(RGB(255, 0, 0));
    const HGDIOBJ oldPen = SelectObject(dc, grey);
    const HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(WHITE_BRUSH));
    const auto u = [this](const CheckPoint& p) { return static_cast<int>(view_.U(p.x)); };
    const auto v = [this](const CheckPoint& p) { return static_cast<int>(view_.V(p.y)); };
    for (const CheckLine& line : report_.lines) {
        const CheckPoint& a = report_.points[line.from];
        const CheckPoint& b = report_.points[line.to];
        if (!IsDrawn(a) || !IsDrawn(b)) continue;
        SelectObject(dc, line.flagged ? redLine : grey);
        MoveToEx(dc, u(a), v(a), nullptr);
        LineTo(dc, u(b), v(b));
    }
    for (std::size_t n = 0; n < report_.points.size(); ++n) {
        const CheckPoint& p = report_.points[n];
        if (!IsDrawn(p)) continue;
        const bool marked = IsRed(report_, n, marks_);
        SelectObject(dc, marked ? red : black);
        SetTextColor(dc, marked ? RGB(255, 0, 0) : RGB(0, 0, 0));
        const int x = u(p);
        const int y = v(p);
        if (p.state == PointState::Known) {
            SelectObject(dc, marked ? redFill : blackFill);
            const POINT corners[] = {
                {x, y - kSize}, {x + kSize, y + kSize}, {x - kSize, y + kSize}};
            Polygon(dc, corners, 3);
        } else {
            SelectObject(dc, GetStockObject(WHITE_BRUSH));
            Ellipse(dc, x - kSize, y - kSize, x + kSize + 1, y + kSize + 1);
        }
        Text(dc, x + kSize + 3, y - 2 * kSize - 4, p.name);
    }
    // Scale bar at the bottom left, north arrow at the top right.
    SelectObject(dc, black);
    SelectObject(dc, blackFill);
    SetTextColor(dc, RGB(0, 0, 0));
    const double bar = view_.ScaleBarMetres(area.right / 4.0);
    const int barEnd = 20 + static_cast<int>(bar * view_.Scale());
    MoveToEx(dc, 20, area.bottom - 20, nullptr);
    LineTo(dc, barEnd, area.bottom - 20);
    Text(dc, barEnd + 6, area.bottom - 28, ScaleBarText(bar));
    const int nu = area.right - 30;
    const POINT arrow[] = {{nu, 20}, {nu + 8, 50}, {nu, 42}, {nu - 8, 50}};
    Polygon(dc, arrow, 4);
    Text(dc, nu - 4, 52, "N");
    if (const std::string unplaced = UnplacedNames(report_); !unplaced.empty()) {
        SetTextColor(dc, RGB(255, 0, 0));
        Text(dc, 20, 8,
             std::string(texts::Find(texts::kCheck, "lblUnplaced").caption) + " " + unplaced);
    }
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldFont);
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(grey), static_cast<HGDIOBJ>(redLine),
                           static_cast<HGDIOBJ>(black), static_cast<HGDIOBJ>(red),
                           static_cast<HGDIOBJ>(blackFill), static_cast<HGDIOBJ>(redFill)})
        DeleteObject(object);
}

LRESULT CALLBACK CheckWindow::SketchProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CheckWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcA(hwnd, message, wParam, lParam);
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(hwnd, &paint);
            // Drawn off screen first, so the sketch does not flicker while it is dragged.
            RECT area{};
            GetClientRect(hwnd, &area);
            HDC memory = CreateCompatibleDC(dc);
            HBITMAP bitmap = CreateCompatibleBitmap(dc, area.right, area.bottom);
            const HGDIOBJ old = SelectObject(memory, bitmap);
            self->Paint(memory);
            BitBlt(dc, 0, 0, area.right, area.bottom, memory, 0, 0, SRCCOPY);
            SelectObject(memory, old);
            DeleteObject(bitmap);
            DeleteDC(memory);
            EndPaint(hwnd, &paint);
            return 0;
        }
        case WM_PRINTCLIENT:
            self->Paint(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_SIZE:
            self->Fit();
            return 0;
        case WM_MOUSEWHEEL: {
            POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ScreenToClient(hwnd, &at);
            self->view_.Zoom(GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? 1.25 : 0.8, at.x, at.y);
            self->Redraw();
            return 0;
        }
        case WM_LBUTTONDOWN:
            self->drag_ = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            SetCapture(hwnd);
            SetFocus(hwnd);
            return 0;
        case WM_MOUSEMOVE:
            if (wParam & MK_LBUTTON) {
                const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                self->view_.Pan(at.x - self->drag_.x, at.y - self->drag_.y);
                self->drag_ = at;
                self->Redraw();
            }
            return 0;
        case WM_LBUTTONUP:
            ReleaseCapture();
            return 0;
        case WM_LBUTTONDBLCLK:
            self->Fit();
            return 0;
        default:
            return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

bool CheckWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    (void)lParam;
    (void)result;
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == static_cast<WORD>(lstFindings) && HIWORD(wParam) == LBN_SELCHANGE)
                Choose(static_cast<int>(SendMessageA(Item(lstFindings), LB_GETCURSEL, 0, 0)));
            if (LOWORD(wParam) == static_cast<WORD>(cmdFit)) Fit();
            if (LOWORD(wParam) == static_cast<WORD>(cmdClose) || LOWORD(wParam) == IDCANCEL)
                Close();
            return true;
        case WM_CLOSE:
            Close();
            return true;
        default:
            return false;
    }
}

}  // namespace talvik::win32
