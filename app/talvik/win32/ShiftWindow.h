#pragma once
// The shift report after an import: the summary above the table of every point (a list view
// in report mode), the flagged points first and drawn red. A click on a column's heading sorts
// by it (again: the other way); the copy button puts the table on the clipboard with tabs
// between the columns. Closing the window ends the import.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "shift/ShiftReport.h"
#include "shift/ShiftTable.h"
#include "win32/Form.h"

namespace talvik::win32 {

class ShiftWindow : public Form {
  public:
    // Called once when the window is closed.
    std::function<void()> closed;

    // Shows `report` over `owner`.
    void Show(HWND owner, const ShiftReport& report);
    void Close();

    HWND List() const { return Item(ControlId::lstShifts); }
    // The rows as the list shows them: cells apart by "|", "!" before a row drawn red.
    std::vector<std::string> Lines() const;
    // Sorts by a column as a click on its heading does.
    void SortBy(int column);
    // Puts the table on the clipboard as the copy button does.
    void Copy();

  protected:
    void Build() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    void Fill();

    std::optional<ShiftTable> table_;
    std::string summary_;
    bool shown_ = false;
};

}  // namespace talvik::win32
