#pragma once
// The desktop's UserInterface: message boxes, the dialog's progress line and bar, and event
// processing while the core works. The box itself can be replaced by a presenter, so tests
// answer messages without a modal window.

#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QString>
#include <functional>

#include "platform/UserInterface.h"

class QWidget;

namespace talvik::gui {

// Everything a message box shows, already converted for the screen.
struct MessageBoxSetup {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
};

MessageBoxSetup MakeMessageBoxSetup(std::string_view text, Buttons buttons, Icon icon,
                                    std::string_view title);

// Sets up a box from the setup (OK is the default button, Cancel the escape button).
void ConfigureMessageBox(QMessageBox& box, const MessageBoxSetup& setup);

// Shows the box modally and returns the answer; closing the box counts as Cancel when there is
// a Cancel button, else as OK.
Answer ShowMessageBox(const MessageBoxSetup& setup, QWidget* parent);

using MessagePresenter = std::function<Answer(const MessageBoxSetup&)>;

class QtUserInterface : public UserInterface {
  public:
    // Without a presenter every message shows a real modal box.
    explicit QtUserInterface(MessagePresenter presenter = {});

    void SetPresenter(MessagePresenter presenter) { presenter_ = std::move(presenter); }
    // Parent of the boxes, so they centre over the dialog.
    void SetParentWindow(QWidget* parent) { parent_ = parent; }
    // The parent window while it shows; none before any window is shown (or after it hid), so
    // the box centres on the screen rather than over a window that is not there.
    QWidget* BoxParent() const;
    // The label that shows progress texts; none means progress is dropped.
    void SetProgressLabel(QLabel* label) { progress_ = label; }
    // The bar that shows how far a phase is, in percent; it shows once an amount is known.
    void SetProgressBar(QProgressBar* bar) { bar_ = bar; }

    Answer Message(std::string_view text, Buttons buttons, Icon icon,
                   std::string_view title) override;
    void Progress(std::string_view text) override;
    void ProgressAmount(std::uint64_t done, std::uint64_t total) override;
    // Repaints and handles window-system events, but keeps clicks and keys queued: nothing the
    // user does may start a second job while one runs.
    void Yield() override;

  private:
    MessagePresenter presenter_;
    QPointer<QWidget> parent_;
    QPointer<QLabel> progress_;
    QPointer<QProgressBar> bar_;
};

}  // namespace talvik::gui
