#pragma once
// The network check's window: the sketch drawn with GDI (wheel zooms, dragging pans, a double
// click or the fit button fits the network) beside the table of findings (a list view in report
// mode: a click on a column's heading sorts by it, again the other way; Ctrl+C or the copy
// button puts the chosen rows, or all with the headings, on the clipboard apart by tabs);
// choosing findings marks their points red in the sketch. Modeless; the export window keeps one
// instance.

#include <optional>

#include "check/FindingsTable.h"
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
    HWND List() const { return Item(ControlId::lstFindings); }
    // Chooses the row `index` of the table (as shown), as a click on it does.
    void Choose(int index);
    // Sorts by a column as a click on its heading does.
    void SortBy(int column);
    // Puts the chosen rows, or the whole table, on the clipboard as Ctrl+C does.
    void Copy();

    // Draws the sketch into `dc` over the sketch control's client area.
    void Paint(HDC dc) const;

  protected:
    void Build() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    static LRESULT CALLBACK SketchProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Fit();
    void Fill();
    // Marks the chosen rows' points and shows the first one's text whole.
    void Chosen();
    void Redraw() const { InvalidateRect(Sketch(), nullptr, FALSE); }

    bool built_ = false;
    CheckReport report_;
    std::optional<FindingsTable> table_;
    SketchView view_;
    SketchMarks marks_;
    POINT drag_{};
    bool dragged_ = false;
};

}  // namespace talvik::win32
