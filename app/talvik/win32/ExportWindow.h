#pragma once
// The export window: shows the export dialog model, passes the user's edits back to it and
// runs its operations on the window's events. It holds no rules of its own.

#include <memory>
#include <string>

#include "export/ExportDialogModel.h"
#include "export/ExportRun.h"
#include "win32/JobWindow.h"

namespace talvik::win32 {

class AboutWindow;
class CheckWindow;

class ExportWindow : public JobWindow {
  public:
    explicit ExportWindow(JobContext& context);
    ~ExportWindow() override;

    bool Create();
    ExportDialogModel& Model() { return model_; }
    AboutWindow* About() const { return about_.get(); }
    CheckWindow* Check() const { return check_.get(); }
    const std::string& IdexFile() const { return idexFile_; }

    // Opening: after delayMs (messages keep flowing) hides `splash`, asks for the IDEX file
    // when askForIdex, loads the model and shows the window. Reports finished instead when the
    // prompt is cancelled or no host is installed.
    void Open(std::string packageFile, std::string idexFile, bool askForIdex, HWND splash,
              UINT delayMs);
    // Shows every value of the model.
    void Refresh();

  protected:
    void Build() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    COLORREF TextColour(ControlId id) const override;
    void BeforeEnd() override;
    void StoreOnClose() override { model_.Close(); }
    void StepSet(bool up) override;

  private:
    void FinishOpening();
    void RefreshCoupled();
    void RefreshCodes();
    void Edited(ControlId id);
    void Clicked(ControlId id);
    void Browse(std::string& field, std::string_view filter, std::string_view pattern,
                ControlId box);
    void RunExport(bool kickKorvu);
    // The network check with the window's choices, in a window of its own.
    void RunCheck();
    void ShowAboutBox();

    JobContext& context_;
    ExportDialogModel model_;
    std::string packageFile_;
    std::string idexFile_;
    bool askForIdex_ = false;
    HWND splash_ = nullptr;
    std::unique_ptr<AboutWindow> about_;
    std::unique_ptr<CheckWindow> check_;
};

}  // namespace talvik::win32
