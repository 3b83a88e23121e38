#pragma once
// The import window: shows the import dialog model, passes the user's edits back to it and
// runs its operations on the window's events.

#include <QPointer>
#include <string>

#include "gui/JobWindow.h"
#include "gui/ShiftWindow.h"
#include "host/JobContext.h"
#include "interchange/ImportModel.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace talvik::gui {

class UpDownArrows;

class ImportWindow : public JobWindow {
    Q_OBJECT
  public:
    // Uses the context's user interface, settings, registry, releases and file prompt.
    explicit ImportWindow(JobContext& context, QWidget* parent = nullptr);

    ImportModel& Model() { return model_; }
    // The progress line and its bar, for the user interface that reports the run's progress.
    QLabel* ProgressLabel() const { return lblProgress_; }
    QProgressBar* ProgressBar() const { return prbProgress_; }

    // Opening: after delayMs (the event loop keeps running) hides `splash`, loads the model and
    // shows the window.
    void Open(std::string packageFile, std::string idexFile, QWidget* splash, int delayMs);
    void Refresh();
    // The shift report shown after the import; null before.
    ShiftWindow* Shifts() const { return shifts_; }

  protected:
    // After the import the process ends without the closing steps: the set number is not
    // stored.
    void StoreOnClose() override {
        if (!imported_) model_.Close();
    }
    void BeforeEnd() override;

  private:
    void BuildLayout();
    void Bind();
    void FinishOpening(QWidget* splash);
    void Browse();
    void RunImport();

    JobContext& context_;
    ImportModel model_;
    std::string packageFile_;
    std::string idexFile_;

    QWidget* body_ = nullptr;
    QLineEdit* txtCoordfile_ = nullptr;
    QPushButton* cmdCoord_ = nullptr;
    QLineEdit* txtKVLayer_ = nullptr;
    QLineEdit* txtKVCode_ = nullptr;
    QLineEdit* txtSelNr_ = nullptr;
    QLineEdit* txtTolerance_ = nullptr;
    UpDownArrows* upDown1_ = nullptr;
    QPushButton* cmdStart_ = nullptr;
    QLabel* lblProgress_ = nullptr;
    QProgressBar* prbProgress_ = nullptr;
    QPointer<ShiftWindow> shifts_;
    bool imported_ = false;
};

}  // namespace talvik::gui
