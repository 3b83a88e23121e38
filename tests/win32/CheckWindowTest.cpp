// The Win32 check window under Wine, printed with PrintWindow: each mark where the model places
// its point (known points filled triangles, placed points ringed circles, red when flagged), and
// choosing a finding turns its points red. The findings' table: its columns and whole cells read
// back from the list view, sorting by a click on a heading, copying, the empty report.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "check/FindingsTable.h"
#include "support/CheckReportSample.h"
#include "win32/CheckWindow.h"
#include "win32/ListTable.h"

namespace talvik::win32 {
namespace {

// The sketch as PrintWindow draws it, read back pixel by pixel.
class Printed {
  public:
    explicit Printed(HWND hwnd) {
        RECT area{};
        GetClientRect(hwnd, &area);
        HDC screen = GetDC(hwnd);
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, area.right, area.bottom);
        ReleaseDC(hwnd, screen);
        old_ = SelectObject(dc_, bitmap_);
        width_ = area.right, height_ = area.bottom;
        PrintWindow(hwnd, dc_, PW_CLIENTONLY);
    }
    ~Printed() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    int Width() const { return width_; }
    int Height() const { return height_; }
    COLORREF At(double u, double v) const {
        return GetPixel(dc_, static_cast<int>(u), static_cast<int>(v));
    }

  private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    int width_ = 0, height_ = 0;
};

TEST(CheckWindow, MarksStandWhereTheModelPutsThem) {
    const CheckReport report = testing::SampleCheckReport();
    CheckWindow window;
    window.Show(nullptr, report);
    const SketchView& view = window.View();
    const auto colour = [&](double x, double y, double du = 0.0) {
        return Printed(window.Sketch()).At(view.U(x) + du, view.V(y) + 2.0);
    };
    // North up, east right: K2 right of K1, P3 above it.
    EXPECT_GT(view.U(1100.0), view.U(1000.0));
    EXPECT_LT(view.V(2060.0), view.V(2000.0));
    const COLORREF ink = GetSysColor(COLOR_WINDOWTEXT);
    EXPECT_EQ(colour(1000.0, 2000.0), ink);
    // K2, named by the error, in a softer red before anything is chosen: nothing full red.
    const COLORREF named = colour(1100.0, 2000.0);
    EXPECT_NE(named, RGB(255, 0, 0));
    EXPECT_GT(GetRValue(named), GetGValue(named));
    EXPECT_EQ(colour(1000.0, 2060.0), GetSysColor(COLOR_WINDOW));  // inside the ring
    EXPECT_EQ(colour(1000.0, 2060.0, 6.0), ink);                   // the ring
    // The warning names K1 and P3: full red once it is chosen, and the picture changes there
    // only (the marks and their names).
    const Printed before(window.Sketch());
    window.Choose(1);
    const Printed after(window.Sketch());
    EXPECT_EQ(colour(1000.0, 2000.0), RGB(255, 0, 0));
    EXPECT_EQ(colour(1100.0, 2000.0), named);
    int changed = 0;
    for (int y = 0; y < after.Height(); ++y) {
        for (int x = 0; x < after.Width(); ++x) {
            if (after.At(x, y) == before.At(x, y)) continue;
            ++changed;
            const auto beside = [&](double px, double py) {
                const double du = x - view.U(px), dv = y - view.V(py);
                return du > -14 && du < 60 && dv > -34 && dv < 14;
            };
            EXPECT_TRUE(beside(1000.0, 2000.0) || beside(1000.0, 2060.0)) << x << "," << y;
        }
    }
    EXPECT_GT(changed, 40);
    // The chosen finding whole in the box below the list; the count as the command line says it.
    char text[512] = {};
    GetWindowTextA(GetDlgItem(window.Handle(), static_cast<int>(ControlId::txtFinding)), text,
                   sizeof text);
    EXPECT_EQ(std::string(text),
              "ernst: waarschuwing\r\nbevinding: standplaats K1: slechts \xE9\xE9n richting (naar "
              "P3); zonder bekende ori\xEBntatie voegt die niets toe\r\npunten: K1, P3");
    GetWindowTextA(GetDlgItem(window.Handle(), static_cast<int>(ControlId::lblCount)), text,
                   sizeof text);
    EXPECT_EQ(std::string(text), "1 fout, 1 waarschuwing");
    window.Choose(0);
    EXPECT_EQ(colour(1000.0, 2000.0), ink);
    // + zooms about the middle, Home fits again.
    const double fitted = view.Scale();
    SendMessageA(window.Sketch(), WM_KEYDOWN, VK_ADD, 0);
    EXPECT_GT(window.View().Scale(), fitted * 1.2);
    SendMessageA(window.Sketch(), WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(window.View().Scale(), fitted);
    window.Close();
}

// The clipboard's text (CF_TEXT), or "-" when it holds none.
std::string Clipboard(HWND owner) {
    std::string text = "-";
    if (!OpenClipboard(owner)) return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

void EmptyTheClipboard(HWND owner) {
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    CloseClipboard();
}

// A click of the mouse on the heading of `column`, as the header control gets it.
void ClickHeading(HWND list, int column) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    RECT place{};
    SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&place));
    const LPARAM at = MAKELPARAM((place.left + place.right) / 2, (place.top + place.bottom) / 2);
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(header, WM_LBUTTONUP, 0, at);
}

TEST(CheckWindow, FindingsStandInATable) {
    const CheckReport report = testing::SampleCheckReport();
    const FindingsTable table(report);
    CheckWindow window;
    window.Show(nullptr, report);
    HWND list = window.List();
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    ASSERT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 5);
    std::string headings;
    for (int c = 0; c < 5; ++c) {
        char text[64] = {};
        HDITEMA item{};
        item.mask = HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&item));
        headings += std::string(text) + "|";
    }
    EXPECT_EQ(headings, "Ernst|Bevinding|Punten|Grootte|Toegestaan|");
    // A row per finding, every cell whole.
    ASSERT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 2);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 5; ++c)
            EXPECT_EQ(CellText(list, r, c),
                      table.Cell(static_cast<std::size_t>(r), static_cast<std::size_t>(c)))
                << r << "," << c;
    EXPECT_EQ(CellText(list, 0, 0), "fout");
    EXPECT_EQ(CellText(list, 0, 1),
              "bekend punt K2: vanuit K1 berekend op 0.120 m van de bekende co\xF6rdinaten");
    EXPECT_EQ(CellText(list, 0, 3), "0.120 m");
    EXPECT_EQ(CellText(list, 0, 4), "0.010 m");

    // The severity of an error in red, and nothing else: not the warning's, not the error's text.
    const auto redIn = [&](int row, int column) {
        RECT cell{};
        cell.top = column;
        cell.left = LVIR_LABEL;
        SendMessageA(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&cell));
        const Printed printed(list);
        int red = 0;
        for (int y = cell.top; y < cell.bottom; ++y)
            for (int x = cell.left; x < std::min<LONG>(cell.right, printed.Width()); ++x) {
                const COLORREF c = printed.At(x, y);
                red += GetRValue(c) > 180 && GetGValue(c) < 90 && GetBValue(c) < 90;
            }
        return red;
    };
    EXPECT_GT(redIn(0, 0), 10);
    EXPECT_EQ(redIn(0, 1), 0);
    EXPECT_EQ(redIn(1, 0), 0);

    // Nothing chosen: the copy button puts every row on the clipboard, under the headings.
    EmptyTheClipboard(window.Handle());
    SendMessageA(GetDlgItem(window.Handle(), static_cast<int>(ControlId::cmdCopy)), BM_CLICK, 0, 0);
    EXPECT_EQ(Clipboard(window.Handle()), table.TabText());
    EXPECT_NE(table.TabText().find("ernst\tbevinding\tpunten\tgrootte\ttoegestaan\r\n"
                                   "fout\tbekend punt K2"),
              std::string::npos);
    EXPECT_NE(table.TabText().find("\r\nwaarschuwing\tstandplaats K1"), std::string::npos);
    // The coordinates button: every placed point, tab-separated.
    EmptyTheClipboard(window.Handle());
    SendMessageA(GetDlgItem(window.Handle(), static_cast<int>(ControlId::cmdCoordinates)), BM_CLICK,
                 0, 0);
    EXPECT_EQ(Clipboard(window.Handle()),
              "punt\tx\ty\th\tsx\tsy\tsh\r\n"
              "K1\t1000.0000\t2000.0000\t0.0000\t\t\t\r\n"
              "K2\t1100.0000\t2000.0000\t0.0000\t\t\t\r\n"
              "P3\t1000.0000\t2060.0000\t\t\t\t\r\n");

    // A click on the severity's heading: errors first, as the check gives them; again: the other
    // way. The row chosen then is the warning, its points marked.
    ClickHeading(list, 0);
    EXPECT_EQ(CellText(list, 0, 0), "fout");
    ClickHeading(list, 0);
    EXPECT_EQ(CellText(list, 0, 0), "waarschuwing");
    EXPECT_EQ(CellText(list, 1, 0), "fout");
    window.Choose(0);
    char text[512] = {};
    GetWindowTextA(GetDlgItem(window.Handle(), static_cast<int>(ControlId::txtFinding)), text,
                   sizeof text);
    EXPECT_TRUE(std::string(text).starts_with("ernst: waarschuwing\r\nbevinding: standplaats K1"));
    const SketchView& view = window.View();
    EXPECT_EQ(Printed(window.Sketch()).At(view.U(1000.0), view.V(2000.0) + 2.0), RGB(255, 0, 0));

    // Ctrl+C in the table copies the chosen row only, without the headings.
    EmptyTheClipboard(window.Handle());
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageA(list, WM_KEYDOWN, 'C', 0);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(Clipboard(window.Handle()),
              "waarschuwing\tstandplaats K1: slechts \xE9\xE9n richting (naar P3); zonder "
              "bekende ori\xEBntatie voegt die niets toe\tK1, P3\t\t\r\n");
    window.Close();
}

TEST(CheckWindow, NothingFoundSaysSo) {
    CheckReport report = testing::SampleCheckReport();
    report.findings.clear();
    CheckWindow window;
    window.Show(nullptr, report);
    ASSERT_EQ(SendMessageA(window.List(), LVM_GETITEMCOUNT, 0, 0), 1);
    EXPECT_EQ(CellText(window.List(), 0, 1), "geen bevindingen");
    // Choosing it marks nothing and shows no text.
    window.Choose(0);
    char text[64] = {"-"};
    GetWindowTextA(GetDlgItem(window.Handle(), static_cast<int>(ControlId::txtFinding)), text,
                   sizeof text);
    EXPECT_EQ(std::string(text), "");
    window.Close();
}

}  // namespace
}  // namespace talvik::win32
