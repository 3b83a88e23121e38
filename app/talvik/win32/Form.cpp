#include "win32/Form.h"

#include <algorithm>

#include "win32/Resources.h"

namespace talvik::win32 {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);

// A function of user32 that older systems lack; null when missing.
template <typename Function>
Function User32Function(const char* name) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    FARPROC found = user32 ? GetProcAddress(user32, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

UINT SystemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

// The message font of the system at the given scale. (The scaled query exists in the wide
// form only.)
LOGFONTW MessageFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    static const auto forDpi =
        User32Function<SystemParametersInfoForDpiFn>("SystemParametersInfoForDpi");
    if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi))
        return metrics.lfMessageFont;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        metrics.lfMessageFont.lfHeight = MulDiv(
            metrics.lfMessageFont.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
        return metrics.lfMessageFont;
    }
    LOGFONTW fallback{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(fallback), &fallback);
    return fallback;
}

// An empty dialog template: the form adds its controls itself.
struct EmptyTemplate {
    DLGTEMPLATE head;
    WORD menu = 0;
    WORD windowClass = 0;
    WORD title = 0;
    WORD pad = 0;
};

}  // namespace

UINT DpiOf(HWND hwnd) {
    static const auto forWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    const UINT dpi = forWindow && hwnd ? forWindow(hwnd) : 0;
    return dpi != 0 ? dpi : SystemDpi();
}

std::string TextOf(HWND control) {
    const int length = GetWindowTextLengthA(control);
    std::string text(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
    const int got = GetWindowTextA(control, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return text;
}

void ShowText(HWND control, std::string_view text) {
    if (TextOf(control) != text) SetWindowTextA(control, std::string(text).c_str());
}

Form::~Form() {
    if (hwnd_) DestroyWindow(hwnd_);
    for (HFONT font : fonts_) {
        if (font) DeleteObject(font);
    }
    if (logo_) DestroyIcon(logo_);
}

bool Form::Create(HWND owner, DWORD style, DWORD exStyle, const texts::WindowText& texts, int width,
                  int height) {
    texts_ = &texts;
    width_ = width;
    height_ = height;
    entries_.clear();
    EmptyTemplate empty{};
    empty.head.style = style;
    empty.head.dwExtendedStyle = exStyle;
    CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &empty.head, owner, &Form::DialogProc,
                               reinterpret_cast<LPARAM>(this));
    if (!hwnd_) return false;
    SetWindowTextA(hwnd_, std::string(texts.title).c_str());
    HICON big = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kIconId),
                                              IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                              GetSystemMetrics(SM_CYICON), LR_SHARED));
    HICON small = static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kIconId), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));

    tooltips_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    SendMessageA(tooltips_, TTM_SETMAXTIPWIDTH, 0, 600);
    dpi_ = DpiOf(hwnd_);
    Build();
    Layout();
    // Centred on the screen of the owner, or of the mouse.
    RECT window{};
    GetWindowRect(hwnd_, &window);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoA(MonitorFromWindow(owner ? owner : hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    const int w = window.right - window.left;
    const int h = window.bottom - window.top;
    SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - w) / 2,
                 work.top + (work.bottom - work.top - h) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

HWND Form::Add(const char* windowClass, ControlId id, DWORD style, Place place, FontRole font,
               DWORD exStyle) {
    const texts::ControlText text = texts::Find(*texts_, ControlName(id));
    HWND control = CreateWindowExA(exStyle, windowClass, std::string(text.caption).c_str(),
                                   WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, hwnd_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   GetModuleHandleA(nullptr), nullptr);
    entries_.push_back(Entry{id, place, font});
    if (!text.tip.empty()) AddToolTip(id, text.tip);
    return control;
}

void Form::AddFrame(ControlId id, Place place) {
    HWND frame = Add("BUTTON", id, WS_GROUP | BS_GROUPBOX, place);
    SetWindowSubclass(frame, &Form::FrameProc, 0, 0);
}

namespace {

// A frame's etched line and its caption on the window's background, the caption drawn as
// plain text in the frame's font. (The system's own frame, under Wine at 96 dpi, drew its
// caption a few pixels short: "StdAfw. Waarneminger", "Overige Std.Afw" without its point.)
void PaintFrame(HWND frame, HDC dc) {
    RECT area{};
    GetClientRect(frame, &area);
    const auto font = reinterpret_cast<HFONT>(SendMessageA(frame, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    auto brush = reinterpret_cast<HBRUSH>(SendMessageA(GetParent(frame), WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(frame)));
    if (!brush) brush = GetSysColorBrush(COLOR_BTNFACE);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    RECT line = area;
    line.top += metrics.tmHeight / 2 - 1;
    DrawEdge(dc, &line, EDGE_ETCHED, BF_RECT);
    const std::string caption = TextOf(frame);
    if (!caption.empty()) {
        SIZE size{};
        GetTextExtentPoint32A(dc, caption.data(), static_cast<int>(caption.size()), &size);
        const int indent = std::max(8, static_cast<int>(metrics.tmAveCharWidth));
        RECT behind{indent - 2, area.top, indent + size.cx + 2, area.top + size.cy};
        FillRect(dc, &behind, brush);
        if (!IsWindowEnabled(frame)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        const int oldMode = SetBkMode(dc, TRANSPARENT);
        TextOutA(dc, indent, area.top, caption.data(), static_cast<int>(caption.size()));
        SetBkMode(dc, oldMode);
    }
    if (oldFont) SelectObject(dc, oldFont);
}

}  // namespace

LRESULT CALLBACK Form::FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(hwnd, &paint);
            PaintFrame(hwnd, dc);
            EndPaint(hwnd, &paint);
            return 0;
        }
        case WM_PRINTCLIENT:
            PaintFrame(hwnd, reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_SETTEXT:
        case WM_ENABLE:
        case WM_SETFONT: {
            // The system's frame paints at once on these; the whole frame is painted again.
            const LRESULT done = DefSubclassProc(hwnd, message, wParam, lParam);
            InvalidateRect(hwnd, nullptr, TRUE);
            return done;
        }
        default:
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

void Form::AddLabel(ControlId id, Place place, DWORD style) {
    // The kind of a static is a number, not a set of flags: centred or right-aligned text
    // replaces the left-aligned kind (added to it, it would make an owner-drawn static).
    const DWORD kind = (style & SS_TYPEMASK) != 0 ? 0 : SS_LEFTNOWORDWRAP;
    Add("STATIC", id, WS_GROUP | SS_NOPREFIX | kind | style, place);
}

void Form::AddEdit(ControlId id, Place place) {
    Add("EDIT", id, WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL, place, FontRole::Normal,
        WS_EX_CLIENTEDGE);
}

void Form::AddButton(ControlId id, Place place, bool isDefault) {
    Add("BUTTON", id, WS_TABSTOP | WS_GROUP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
        place);
}

void Form::AddOption(ControlId id, bool first, Place place) {
    Add("BUTTON", id, BS_AUTORADIOBUTTON | (first ? WS_TABSTOP | WS_GROUP : 0), place);
}

void Form::AddCheck(ControlId id, Place place) {
    Add("BUTTON", id, WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX, place);
}

void Form::AddArrows(ControlId id, Place place) {
    HWND arrows = Add(UPDOWN_CLASSA, id, WS_TABSTOP | WS_GROUP | UDS_ARROWKEYS, place);
    SendMessageA(arrows, UDM_SETRANGE32, 1, 9);
    SetWindowSubclass(arrows, &Form::ArrowsProc, 0, 0);
}

// The arrows ask the dialog for the arrow keys and show where the focus is.
LRESULT CALLBACK Form::ArrowsProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR) {
    switch (message) {
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRect(hwnd, nullptr, TRUE);
            break;
        case WM_PAINT:
            if (GetFocus() == hwnd) {
                const LRESULT done = DefSubclassProc(hwnd, message, wParam, lParam);
                HDC dc = GetDC(hwnd);
                RECT area{};
                GetClientRect(hwnd, &area);
                InflateRect(&area, -1, -1);
                DrawFocusRect(dc, &area);
                ReleaseDC(hwnd, dc);
                return done;
            }
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

void Form::AddToolTip(ControlId id, std::string_view text) {
    HWND control = Item(id);
    char className[16] = {};
    GetClassNameA(control, className, sizeof(className));
    const bool frame = lstrcmpiA(className, "Button") == 0 &&
                       (GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
    std::string tip(text);
    TOOLINFOA info{};
    info.cbSize = sizeof(info);
    info.hwnd = hwnd_;
    info.lpszText = tip.data();
    if (frame) {
        info.uFlags = TTF_SUBCLASS;
        info.uId = static_cast<UINT_PTR>(id);
        for (Entry& entry : entries_) {
            if (entry.id == id) entry.frameTip = true;
        }
    } else {
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.uId = reinterpret_cast<UINT_PTR>(control);
    }
    SendMessageA(tooltips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

void Form::MakeFonts() {
    for (HFONT& font : fonts_) {
        if (font) DeleteObject(font);
        font = nullptr;
    }
    LOGFONTW base = MessageFont(layoutDpi_);
    fonts_[0] = CreateFontIndirectW(&base);
    const struct {
        FontRole role;
        int tenths;
    } larger[] = {{FontRole::Heading, 15}, {FontRole::Large, 17}, {FontRole::Title, 16}};
    for (const auto& [role, tenths] : larger) {
        LOGFONTW big = base;
        big.lfHeight = MulDiv(base.lfHeight, tenths, 10);
        big.lfWeight = FW_BOLD;
        fonts_[static_cast<int>(role)] = CreateFontIndirectW(&big);
    }
}

HFONT Form::FontFor(FontRole role) const {
    return fonts_[static_cast<int>(role)];
}

void Form::SetWorkArea(const RECT& area) {
    workArea_ = area;
    Layout();
}

RECT Form::WorkArea() const {
    if (!IsRectEmpty(&workArea_)) return workArea_;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoA(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    return monitor.rcWork;
}

void Form::Layout() {
    const auto style = static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_EXSTYLE));
    RECT frame{};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const RECT work = WorkArea();
    const int fitWidth = MulDiv(work.right - work.left - (frame.right - frame.left), 96, width_);
    const int fitHeight = MulDiv(work.bottom - work.top - (frame.bottom - frame.top), 96, height_);
    // MulDiv rounds; one less keeps the scaled size inside the area.
    const int fit = std::min(fitWidth, fitHeight) - 1;
    layoutDpi_ = static_cast<UINT>(std::max(48, std::min(fit, static_cast<int>(dpi_))));
    MakeFonts();

    HDWP moves = BeginDeferWindowPos(static_cast<int>(entries_.size()));
    for (const Entry& entry : entries_) {
        HWND control = Item(entry.id);
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(entry.font)), FALSE);
        if (moves) {
            moves = DeferWindowPos(moves, control, nullptr, Scale(entry.place.x),
                                   Scale(entry.place.y), Scale(entry.place.w), Scale(entry.place.h),
                                   SWP_NOZORDER | SWP_NOACTIVATE);
        }
        if (entry.frameTip) {
            TOOLINFOA info{};
            info.cbSize = sizeof(info);
            info.hwnd = hwnd_;
            info.uId = static_cast<UINT_PTR>(entry.id);
            info.rect =
                RECT{Scale(entry.place.x), Scale(entry.place.y),
                     Scale(entry.place.x + entry.place.w), Scale(entry.place.y + entry.place.h)};
            SendMessageA(tooltips_, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&info));
        }
    }
    if (moves) EndDeferWindowPos(moves);
    RECT size{0, 0, Scale(width_), Scale(height_)};
    AdjustWindowRectEx(&size, style, FALSE, exStyle);
    SetWindowPos(hwnd_, nullptr, 0, 0, size.right - size.left, size.bottom - size.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void Form::DrawLogo(const DRAWITEMSTRUCT& item) const {
    const int side =
        std::min(item.rcItem.right - item.rcItem.left, item.rcItem.bottom - item.rcItem.top);
    if (!logo_ || logoSize_ != side) {
        if (logo_) DestroyIcon(logo_);
        logo_ = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kIconId),
                                              IMAGE_ICON, side, side, 0));
        logoSize_ = side;
    }
    if (logo_)
        DrawIconEx(item.hDC, item.rcItem.left, item.rcItem.top, logo_, side, side, 0, nullptr,
                   DI_NORMAL);
}

bool Form::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

INT_PTR CALLBACK Form::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* form = reinterpret_cast<Form*>(lParam);
        form->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, lParam);
        return FALSE;  // the form sets the focus when it shows
    }
    auto* form = reinterpret_cast<Form*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!form) return FALSE;
    switch (message) {
        case WM_DPICHANGED: {
            form->dpi_ = HIWORD(wParam);
            form->Layout();
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            return TRUE;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            const auto id = static_cast<ControlId>(GetDlgCtrlID(reinterpret_cast<HWND>(lParam)));
            HDC dc = reinterpret_cast<HDC>(wParam);
            const COLORREF colour = form->TextColour(id);
            HBRUSH background = form->Background();
            if (colour == CLR_INVALID && !background) break;
            if (colour != CLR_INVALID) SetTextColor(dc, colour);
            if (!background) {
                SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
                return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
            }
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<INT_PTR>(background);
        }
        case WM_CTLCOLORDLG:
            if (HBRUSH background = form->Background())
                return reinterpret_cast<INT_PTR>(background);
            break;
        default:
            break;
    }
    LRESULT result = 0;
    if (!form->OnMessage(message, wParam, lParam, result)) return FALSE;
    SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

}  // namespace talvik::win32
