#pragma once
// The desktop's UserInterface on Windows: message boxes, the export dialog's progress line,
// and message processing while the core works. The box itself can be replaced by a presenter,
// so tests answer messages without a modal window.

#include "win32/Win32.h"

#include <functional>
#include <string>

#include "platform/UserInterface.h"

namespace talvik::win32 {

// Everything a message box shows: the text with its lines ending in CR LF, and the flags of
// MessageBoxA (buttons, icon, default button).
struct MessageBoxSetup {
    std::string text;
    std::string title;
    UINT flags = MB_OK;
};

MessageBoxSetup MakeMessageBoxSetup(std::string_view text, Buttons buttons, Icon icon,
                                    std::string_view title);

using MessagePresenter = std::function<Answer(const MessageBoxSetup&)>;

class Win32UserInterface : public UserInterface {
  public:
    // Without a presenter every message shows a real modal box.
    explicit Win32UserInterface(MessagePresenter presenter = {});

    void SetPresenter(MessagePresenter presenter) { presenter_ = std::move(presenter); }
    // Owner of the boxes, so they centre over the dialog.
    void SetParentWindow(HWND parent) { parent_ = parent; }
    // The label that shows progress texts; none means progress is dropped.
    void SetProgressLabel(HWND label) { progress_ = label; }
    // The bar and the label that show how far a phase is, in percent; hidden until an amount
    // is known.
    void SetProgressBar(HWND bar, HWND percent) { bar_ = bar, percent_ = percent; }

    Answer Message(std::string_view text, Buttons buttons, Icon icon,
                   std::string_view title) override;
    void Progress(std::string_view text) override;
    void ProgressAmount(std::uint64_t done, std::uint64_t total) override;
    // Repaints and handles the window system's messages, but leaves the user's keys and mouse
    // clicks queued: nothing the user does may start a second job while one runs.
    void Yield() override;

  private:
    MessagePresenter presenter_;
    HWND parent_ = nullptr;
    HWND progress_ = nullptr;
    HWND bar_ = nullptr;
    HWND percent_ = nullptr;
};

}  // namespace talvik::win32
