#pragma once
// What the export and import windows share: each runs one job and ends once; a close request
// stores the dialog's choices and ends it. Closing is never refused: during a run the choices
// are stored at once and the window ends when the run is done, so the files being written are
// never cut off half-way.

#include <QWidget>

class QCloseEvent;

namespace talvik::gui {

class JobWindow : public QWidget {
    Q_OBJECT
  public:
    using QWidget::QWidget;

  signals:
    // The window is loaded and shown.
    void opened();
    // The job is over; the process ends with this code.
    void finished(int exitCode);

  protected:
    // Hides the window and reports the exit code, the first time only.
    void End(int exitCode);
    // Called by End before the window hides.
    virtual void BeforeEnd() {}
    // Stores the dialog's choices when the user closes the window.
    virtual void StoreOnClose() = 0;
    void closeEvent(QCloseEvent* event) override;

    // Called by a run when it is done: ends the window when a close was requested meanwhile.
    void RunDone();

    bool running_ = false;
    bool ended_ = false;
    bool closeRequested_ = false;
};

}  // namespace talvik::gui
