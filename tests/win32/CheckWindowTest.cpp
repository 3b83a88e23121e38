// The Win32 check window under Wine, printed with PrintWindow: each mark where the model places
// its point (known points filled triangles, placed points ringed circles, red when flagged), and
// choosing a finding turns its points red.

#include <gtest/gtest.h>

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
        PrintWindow(hwnd, dc_, PW_CLIENTONLY);
    }
    ~Printed() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    COLORREF At(double u, double v) const {
        return GetPixel(dc_, static_cast<int>(u), static_cast<int>(v));
    }

  private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
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
    EXPECT_EQ(colour(1000.0, 2000.0), RGB(0, 0, 0));
    EXPECT_EQ(colour(1100.0, 2000.0), RGB(255, 0, 0));
    EXPECT_EQ(colour(1000.0, 2060.0), RGB(255, 255, 255));  // inside the ring
    EXPECT_EQ(colour(1000.0, 2060.0, 6.0), RGB(0, 0, 0));   // the ring
    // The warning names K1 and P3: both red once it is chosen.
    window.Choose(1);
    EXPECT_EQ(colour(1000.0, 2000.0), RGB(255, 0, 0));
    EXPECT_EQ(colour(1000.0, 2060.0, 6.0), RGB(255, 0, 0));
    window.Choose(0);
    EXPECT_EQ(colour(1000.0, 2000.0), RGB(0, 0, 0));
    window.Close();
}

}  // namespace
}  // namespace talvik::win32
