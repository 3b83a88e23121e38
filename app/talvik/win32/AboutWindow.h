#pragma once
// The About box: program name and version. Modeless; the export window keeps one instance.

#include "win32/Form.h"

namespace talvik::win32 {

class AboutWindow : public Form {
  public:
    // Shows the box over `owner`, or brings it forward when it is showing already.
    void Show(HWND owner);
    // Hides the box; the next Show builds it afresh.
    void Close();

  protected:
    void Build() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    COLORREF TextColour(ControlId id) const override;

  private:
    bool built_ = false;
};

}  // namespace talvik::win32
