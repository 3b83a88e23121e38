#pragma once
// The import window: shows the import dialog model, passes the user's edits back to it and
// runs its operations on the window's events.

#include <memory>
#include <string>

#include "host/JobContext.h"
#include "interchange/ImportModel.h"
#include "win32/JobWindow.h"
#include "win32/ShiftWindow.h"

namespace talvik::win32 {

class ImportWindow : public JobWindow {
  public:
    // Uses the context's user interface, settings, registry, releases and file prompt.
    explicit ImportWindow(JobContext& context);

    bool Create();
    ImportModel& Model() { return model_; }

    // Opening: after delayMs (messages keep flowing) hides `splash`, loads the model and shows
    // the window.
    void Open(std::string packageFile, std::string idexFile, HWND splash, UINT delayMs);
    void Refresh();
    // The shift report shown after the import; null before.
    ShiftWindow* Shifts() const { return shifts_.get(); }

  protected:
    void Build() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    COLORREF TextColour(ControlId id) const override;
    // After the import the process ends without the closing steps: the set number is not
    // stored.
    void StoreOnClose() override {
        if (!imported_) model_.Close();
    }
    void BeforeEnd() override;
    void StepSet(bool up) override;

  private:
    void Browse();
    void RunImport();

    JobContext& context_;
    ImportModel model_;
    std::string packageFile_;
    std::string idexFile_;
    HWND splash_ = nullptr;
    std::unique_ptr<ShiftWindow> shifts_;
    bool imported_ = false;
};

}  // namespace talvik::win32
