#include "win32/CheckWindow.h"

#include <windowsx.h>

#include <cctype>
#include <cstdlib>
#include <string>

#include "check/CoordinateTable.h"
#include "win32/ListTable.h"

namespace talvik::win32 {

namespace {

using enum ControlId;

constexpr const char* kSketchClass = "TalvikSketch";
constexpr double kMargin = 40.0;
constexpr int kSize = 6;  // half the size of a mark
// Severity, what, points, size, tolerance: the numbers narrow, what is found widest.
constexpr int kColumnWidths[] = {84, 190, 80, 60, 60};

void Text(HDC dc, double u, double v, const std::string& text) {
    TextOutA(dc, static_cast<int>(u), static_cast<int>(v), text.data(),
             static_cast<int>(text.size()));
}

}  // namespace

void CheckWindow::Show(HWND owner, CheckReport report) {
    if (built_) DestroyWindow(Handle());
    report_ = std::move(report);
    table_.emplace(report_);
    marks_.clear();
    static const bool registered = [] {
        // The table is a list view: its class is there whoever shows the window.
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
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
    Add(kSketchClass, picSketch, WS_BORDER | WS_TABSTOP, {8, 8, 440, 544});
    SetWindowLongPtrA(Sketch(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    AddLabel(lblFindings, {456, 8, 496, 18});
    Add(WC_LISTVIEWA, lstFindings, LVS_REPORT | LVS_SHOWSELALWAYS | WS_TABSTOP, {456, 28, 496, 360},
        FontRole::Normal, WS_EX_CLIENTEDGE);
    // The chosen finding's whole text, wrapped.
    Add("EDIT", txtFinding, ES_MULTILINE | ES_READONLY | WS_VSCROLL | ES_AUTOVSCROLL,
        {456, 394, 496, 84}, FontRole::Normal, WS_EX_CLIENTEDGE);
    AddLabel(lblCount, {456, 484, 496, 18});
    AddButton(cmdFit, {456, 514, 120, 30});
    AddButton(cmdCopy, {584, 514, 120, 30});
    AddButton(cmdCoordinates, {712, 514, 112, 30});
    AddButton(cmdClose, {832, 514, 120, 30}, true);
    SendMessageA(Handle(), DM_SETDEFID, static_cast<WPARAM>(cmdClose), 0);

    std::vector<ListColumn> columns;
    for (std::size_t c = 0; c < FindingsTable::kColumns.size(); ++c) {
        std::string heading(FindingsTable::kColumns[c]);
        heading[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(heading[0])));
        columns.push_back({heading, Scale(kColumnWidths[c]),
                           c == FindingsTable::kSize || c == FindingsTable::kTolerance});
    }
    SetColumns(List(), columns);
    Fill();
    ShowText(Item(lblCount), CountText(report_));
    Fit();
}

void CheckWindow::Fit() {
    RECT area{};
    GetClientRect(Sketch(), &area);
    view_ = SketchView::Fit(report_, area.right, area.bottom, kMargin);
    Redraw();
}

void CheckWindow::Fill() {
    HWND list = List();
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    for (std::size_t r = 0; r < table_->Rows(); ++r) {
        for (std::size_t c = 0; c < FindingsTable::kColumns.size(); ++c)
            SetCell(list, static_cast<int>(r), static_cast<int>(c), table_->Cell(r, c));
    }
    if (table_->Rows() == 0) {
        SetCell(list, 0, 0, "");
        SetCell(list, 0, FindingsTable::kWhat, std::string(FindingsTable::kEmpty));
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    Chosen();
}

void CheckWindow::Choose(int index) {
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&state));
    if (index >= 0) {
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&state));
        SendMessageA(List(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
    }
    Chosen();
}

void CheckWindow::Chosen() {
    marks_.clear();
    std::string text;
    for (const int chosen : ChosenRows(List())) {
        const auto row = static_cast<std::size_t>(chosen);
        if (row >= table_->Rows()) continue;
        const auto& points = table_->Points(row);
        marks_.insert(marks_.end(), points.begin(), points.end());
        if (!text.empty()) continue;
        for (std::size_t c = 0; c < FindingsTable::kColumns.size(); ++c) {
            const std::string& cell = table_->Cell(row, c);
            if (!cell.empty())
                text += (text.empty() ? "" : "\r\n") + std::string(FindingsTable::kColumns[c]) +
                        ": " + cell;
        }
    }
    ShowText(Item(txtFinding), text);
    Redraw();
}

void CheckWindow::SortBy(int column) {
    if (column < 0) return;
    table_->SortBy(static_cast<std::size_t>(column));
    Fill();
}

void CheckWindow::Copy() {
    const std::vector<int> rows = ChosenRows(List());
    std::string text;
    if (rows.empty() || rows.size() >= table_->Rows()) {
        text = table_->TabText();
    } else {
        for (const int row : rows)
            if (static_cast<std::size_t>(row) < table_->Rows())
                text += table_->RowText(static_cast<std::size_t>(row));
    }
    PutOnClipboard(Handle(), text);
}

void CheckWindow::Paint(HDC dc) const {
    RECT area{};
    GetClientRect(Sketch(), &area);
    const COLORREF base = GetSysColor(COLOR_WINDOW);
    const COLORREF ink = GetSysColor(COLOR_WINDOWTEXT);
    const auto mix = [](COLORREF a, COLORREF b, int part) {  // part of a in percent
        return RGB((GetRValue(a) * part + GetRValue(b) * (100 - part)) / 100,
                   (GetGValue(a) * part + GetGValue(b) * (100 - part)) / 100,
                   (GetBValue(a) * part + GetBValue(b) * (100 - part)) / 100);
    };
    const COLORREF softRed = mix(RGB(255, 0, 0), base, 45);
    const HBRUSH baseFill = CreateSolidBrush(base);
    FillRect(dc, &area, baseFill);
    SetBkMode(dc, TRANSPARENT);
    const HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    const HPEN grey = CreatePen(PS_SOLID, 1, mix(ink, base, 45));
    const HPEN redLine = CreatePen(PS_SOLID, 1, softRed);
    const HPEN black = CreatePen(PS_SOLID, 2, ink);
    const HPEN soft = CreatePen(PS_SOLID, 2, softRed);
    const HPEN red = CreatePen(PS_SOLID, 3, RGB(255, 0, 0));
    const HBRUSH blackFill = CreateSolidBrush(ink);
    const HBRUSH softFill = CreateSolidBrush(softRed);
    const HBRUSH redFill = CreateSolidBrush(RGB(255, 0, 0));
    const HGDIOBJ oldPen = SelectObject(dc, grey);
    const HGDIOBJ oldBrush = SelectObject(dc, baseFill);
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
    // The chosen finding's points in full red and larger, over the others; the points another
    // error names in a softer red.
    for (const bool chosenPass : {false, true}) {
        for (std::size_t n = 0; n < report_.points.size(); ++n) {
            const CheckPoint& p = report_.points[n];
            const Mark mark = MarkOf(report_, n, marks_);
            if (!IsDrawn(p) || (mark == Mark::Chosen) != chosenPass) continue;
            const int size = mark == Mark::Chosen ? kSize * 3 / 2 : kSize;
            SelectObject(dc, mark == Mark::Chosen ? red : mark == Mark::Named ? soft : black);
            SetTextColor(dc, mark == Mark::Chosen  ? RGB(255, 0, 0)
                             : mark == Mark::Named ? softRed
                                                   : ink);
            const int x = u(p);
            const int y = v(p);
            if (p.state == PointState::Known) {
                SelectObject(dc, mark == Mark::Chosen  ? redFill
                                 : mark == Mark::Named ? softFill
                                                       : blackFill);
                const POINT corners[] = {{x, y - size}, {x + size, y + size}, {x - size, y + size}};
                Polygon(dc, corners, 3);
            } else {
                SelectObject(dc, baseFill);
                Ellipse(dc, x - size, y - size, x + size + 1, y + size + 1);
            }
            Text(dc, x + size + 3, y - 2 * size - 4, p.name);
        }
    }
    // Scale bar at the bottom left, north arrow at the top right.
    SelectObject(dc, black);
    SelectObject(dc, blackFill);
    SetTextColor(dc, ink);
    const double bar = view_.ScaleBarMetres(area.right / 4.0);
    const int barEnd = 20 + static_cast<int>(bar * view_.Scale());
    MoveToEx(dc, 20, area.bottom - 20, nullptr);
    LineTo(dc, barEnd, area.bottom - 20);
    for (const int tick : {20, (20 + barEnd) / 2, barEnd}) {
        MoveToEx(dc, tick, area.bottom - (tick == (20 + barEnd) / 2 ? 24 : 27), nullptr);
        LineTo(dc, tick, area.bottom - 20);
    }
    Text(dc, barEnd + 6, area.bottom - 28, ScaleBarText(bar));
    const int nu = area.right - 30;
    const POINT arrow[] = {{nu, 20}, {nu + 8, 50}, {nu, 42}, {nu - 8, 50}};
    Polygon(dc, arrow, 4);
    Text(dc, nu - 4, 52, "N");
    if (const std::string unplaced = UnplacedNames(report_); !unplaced.empty()) {
        SetTextColor(dc, softRed);
        Text(dc, 20, 8,
             std::string(texts::Find(texts::kCheck, "lblUnplaced").caption) + " " + unplaced);
    }
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldFont);
    for (HGDIOBJ object :
         {static_cast<HGDIOBJ>(grey), static_cast<HGDIOBJ>(redLine), static_cast<HGDIOBJ>(black),
          static_cast<HGDIOBJ>(red), static_cast<HGDIOBJ>(blackFill), static_cast<HGDIOBJ>(redFill),
          static_cast<HGDIOBJ>(soft), static_cast<HGDIOBJ>(softFill),
          static_cast<HGDIOBJ>(baseFill)})
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
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_KEYDOWN: {
            RECT area{};
            GetClientRect(hwnd, &area);
            using Key = SketchView::Key;
            Key key{};
            switch (wParam) {
                case VK_ADD:
                case VK_OEM_PLUS:
                    key = Key::ZoomIn;
                    break;
                case VK_SUBTRACT:
                case VK_OEM_MINUS:
                    key = Key::ZoomOut;
                    break;
                case VK_LEFT:
                    key = Key::Left;
                    break;
                case VK_RIGHT:
                    key = Key::Right;
                    break;
                case VK_UP:
                    key = Key::Up;
                    break;
                case VK_DOWN:
                    key = Key::Down;
                    break;
                case VK_HOME:
                    self->Fit();
                    return 0;
                default:
                    return DefWindowProcA(hwnd, message, wParam, lParam);
            }
            self->view_.Step(key, area.right, area.bottom);
            self->Redraw();
            return 0;
        }
        case WM_LBUTTONDOWN:
            self->drag_ = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            self->dragged_ = false;
            SetCapture(hwnd);
            SetFocus(hwnd);
            return 0;
        case WM_MOUSEMOVE:
            if (wParam & MK_LBUTTON) {
                const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                if (!self->dragged_ &&
                    std::abs(at.x - self->drag_.x) + std::abs(at.y - self->drag_.y) < 4)
                    return 0;
                self->view_.Pan(at.x - self->drag_.x, at.y - self->drag_.y);
                self->drag_ = at;
                self->dragged_ = true;
                self->Redraw();
            }
            return 0;
        case WM_LBUTTONUP: {
            ReleaseCapture();
            if (self->dragged_) return 0;
            // A click on a point chooses the findings that name it.
            const std::size_t point = PointAt(self->report_, self->view_, GET_X_LPARAM(lParam),
                                              GET_Y_LPARAM(lParam), 10.0);
            if (point >= self->report_.points.size()) return 0;
            const std::vector<std::size_t> rows = self->table_->RowsOf(point);
            if (rows.empty()) return 0;
            self->Choose(static_cast<int>(rows.front()));
            LVITEMA state{};
            state.stateMask = state.state = LVIS_SELECTED;
            for (const std::size_t row : rows)
                SendMessageA(self->List(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
            self->Chosen();
            return 0;
        }
        case WM_LBUTTONDBLCLK:
            self->Fit();
            return 0;
        default:
            return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

bool CheckWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == static_cast<WORD>(cmdFit)) Fit();
            if (LOWORD(wParam) == static_cast<WORD>(cmdCopy)) Copy();
            if (LOWORD(wParam) == static_cast<WORD>(cmdCoordinates))
                PutOnClipboard(Handle(), CoordinateTabText(report_));
            if (LOWORD(wParam) == static_cast<WORD>(cmdClose) || LOWORD(wParam) == IDCANCEL)
                Close();
            return true;
        case WM_CLOSE:
            Close();
            return true;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->hwndFrom != List()) return false;
            switch (header->code) {
                case LVN_COLUMNCLICK:
                    SortBy(reinterpret_cast<const NMLISTVIEW*>(lParam)->iSubItem);
                    return true;
                case LVN_ITEMCHANGED:
                    if ((reinterpret_cast<const NMLISTVIEW*>(lParam)->uChanged & LVIF_STATE) != 0)
                        Chosen();
                    return true;
                case LVN_KEYDOWN:
                    if (reinterpret_cast<const NMLVKEYDOWN*>(lParam)->wVKey == 'C' &&
                        GetKeyState(VK_CONTROL) < 0)
                        Copy();
                    return true;
                case NM_CUSTOMDRAW: {
                    // The severity of an error in red.
                    result = DrawRedCells(reinterpret_cast<NMLVCUSTOMDRAW*>(lParam),
                                          [this](std::size_t row, int column) {
                                              return column == 0 && row < table_->Rows() &&
                                                     table_->IsError(row);
                                          });
                    return true;
                }
                default:
                    return false;
            }
        }
        default:
            return false;
    }
}

}  // namespace talvik::win32
