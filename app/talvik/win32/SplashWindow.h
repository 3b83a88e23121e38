#pragma once
// The start-up window: the logo and the product name, shown while a dialog prepares to open.

#include "win32/Form.h"

namespace talvik::win32 {

class SplashWindow : public Form {
  public:
    ~SplashWindow() override;
    bool Create();

  protected:
    void Build() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    COLORREF TextColour(ControlId id) const override;
    HBRUSH Background() const override { return background_; }

  private:
    HBRUSH background_ = CreateSolidBrush(RGB(0xf3, 0xf8, 0xfa));
};

}  // namespace talvik::win32
