#pragma once
// What the export and import windows share: each runs one job and ends once; a close request
// stores the dialog's choices and ends it. Closing is never refused: during a run the choices
// are stored at once and the window ends when the run is done, so the files being written are
// never cut off half-way.

#include <functional>

#include "win32/Form.h"

namespace talvik::win32 {

class JobWindow : public Form {
  public:
    // Called once, when the job is over, with the exit code of the process.
    std::function<void(int)> finished;

    bool Ended() const { return ended_; }
    // The progress line: its text, the bar and the percentage beside it.
    HWND ProgressLabel() const { return Item(ControlId::lblProgress); }
    HWND ProgressBar() const { return Item(ControlId::prbProgress); }
    HWND PercentLabel() const { return Item(ControlId::lblPercent); }

  protected:
    // Hides the window and reports the exit code, the first time only.
    void End(int exitCode);
    // Called by End before the window hides.
    virtual void BeforeEnd() {}
    // Stores the dialog's choices when the user closes the window.
    virtual void StoreOnClose() = 0;
    // The set arrows were pressed: steps the model's set (up or down) and shows it.
    virtual void StepSet(bool up) = 0;
    // Called by a run when it is done: ends the window when a close was requested meanwhile.
    void RunDone();
    // Adds the progress line across the window at `y` (96-dpi pixels): a frame with the caption,
    // the text, and the bar with its percentage, which show once a run reports an amount.
    void AddProgressLine(int y, int width);
    // Disables every control but the progress line (and enables them again), so that nothing
    // can be used while a run works and the progress stays readable.
    void SetBodyEnabled(bool enabled);
    // Gives the keyboard focus to a control, as after a message about it.
    void FocusOn(ControlId id);
    // Shows the window after the opening wait and puts the focus on a control.
    void ShowWithFocus(ControlId focus);
    // The close request, the set arrows (UpDown1) and the logo (Picture1) of both dialogs.
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    bool running_ = false;
    bool ended_ = false;
    bool closeRequested_ = false;
    // True while the window itself writes into its boxes; edits are then not passed back.
    bool refreshing_ = false;
};

}  // namespace talvik::win32
