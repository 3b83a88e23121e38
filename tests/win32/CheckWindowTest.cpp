// The Win32 check window under Wine, printed with PrintWindow: each mark where the model places
// its point (known points filled triangles, placed points ringed circles, red when flagged), and
// choosing a finding turns its points red.

#include <gtest/gtest.h>

#include <string>

#include "support/CheckReportSample.h"
#include "win32/CheckWindow.h"

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

}  // namespace
}  // namespace talvik::win32
