#pragma once
// What the export and import windows share: each runs one job and ends once; a close request
// stores the dialog's choices and ends it, except while the job runs (the run ends the process
// itself when it is done).

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

    bool running_ = false;
    bool ended_ = false;
};

}  // namespace talvik::gui
