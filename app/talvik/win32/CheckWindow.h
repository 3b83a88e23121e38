#pragma once
// The network check's window: the sketch drawn with GDI (wheel zooms, dragging pans, a double
// click or the fit button fits the network) beside the list of findings; choosing a finding
// marks its points red in the sketch. Modeless; the export window keeps one instance.

#include "check/NetworkCheck.h"
#include "check/Sketch.h"
#include "win32/Form.h"

namespace talvik::win32 {

class CheckWindow : public Form {
  public:
    // Shows `report` over `owner` (built afresh each time).
    void Show(HWND owner, CheckReport report);
    void Close();

    HWND Sketch() const { return Item(ControlId::picSketch); }
    const SketchView& View() const { return view_; }
    // Chooses finding `index` of the list, as a click on it does.
    void Choose(int index);

    // Draws the sketch into `dc` over the sketch control's client area.
    void Paint(HDC dc) const;

  protected:
    void Build() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    static LRESULT CALLBACK SketchProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Fit();
    void Redraw() const { InvalidateRect(Sketch(), nullptr, FALSE); }

    bool built_ = false;
    CheckReport report_;
    SketchView view_;
    SketchMarks marks_;
    POINT drag_{};
    bool dragged_ = false;
};

}  // namespace talvik::win32
