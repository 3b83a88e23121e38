#pragma once
// The export window: shows the export dialog model, passes the user's edits back to it and
// runs its operations on the window's events. It holds no rules of its own.

#include <QPointer>
#include <array>
#include <string>

#include "export/ExportDialogModel.h"
#include "export/ExportRun.h"
#include "gui/CheckWindow.h"
#include "gui/JobWindow.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace talvik::gui {

class AboutWindow;
class UpDownArrows;

class ExportWindow : public JobWindow {
    Q_OBJECT
  public:
    explicit ExportWindow(JobContext& context, QWidget* parent = nullptr);

    ExportDialogModel& Model() { return model_; }
    // The check window of this export window, while it is open (one at a time).
    CheckWindow* Check() const { return check_; }
    // The progress line, for the user interface that reports the run's progress.
    QLabel* ProgressLabel() const { return lblProgress_; }
    QProgressBar* ProgressBar() const { return prbProgress_; }

    // Opening: after delayMs (the event loop keeps running) hides `splash`, asks for the IDEX
    // file when askForIdex, loads the model and shows the window. Emits finished() instead when
    // the prompt is cancelled or no host is installed.
    void Open(std::string packageFile, std::string idexFile, bool askForIdex, QWidget* splash,
              int delayMs);

    // Shows every value of the model.
    void Refresh();
    const std::string& IdexFile() const { return idexFile_; }

  protected:
    void BeforeEnd() override;
    void StoreOnClose() override { model_.Close(); }

  private:
    void BuildLayout();
    void Bind();
    void FinishOpening(QWidget* splash, bool askForIdex);
    void RefreshCoupled();
    void RefreshCodes();
    void Browse(std::string& field, std::string_view filter, std::string_view pattern,
                QLineEdit* box);
    void RunExport(bool kickKorvu);
    // The network check with the window's choices, in a window of its own.
    void RunCheck();
    void ShowAboutBox();

    JobContext& context_;
    ExportDialogModel model_;
    std::string packageFile_;
    std::string idexFile_;
    QPointer<AboutWindow> about_;
    QPointer<CheckWindow> check_;

    QWidget* body_ = nullptr;
    QLineEdit* txtFieldfile_ = nullptr;
    QLineEdit* txtProjectfile_ = nullptr;
    QPushButton* cmdField_ = nullptr;
    QPushButton* cmdProject_ = nullptr;
    QRadioButton* optV3_ = nullptr;
    QRadioButton* optV1_ = nullptr;
    QRadioButton* optFace2Series_ = nullptr;
    QRadioButton* optFace2to1_ = nullptr;
    QLineEdit* txtAbsHor_ = nullptr;
    QLineEdit* txtRelHor_ = nullptr;
    QLineEdit* txtAbsVer_ = nullptr;
    QLineEdit* txtRelVer_ = nullptr;
    QLineEdit* txtAbsDis_ = nullptr;
    QLineEdit* txtRelDis_ = nullptr;
    QCheckBox* chkHVD_ = nullptr;
    QLineEdit* txtSDXY_ = nullptr;
    QLineEdit* txtSDZ_ = nullptr;
    QCheckBox* chkXYZ_ = nullptr;
    QLineEdit* txtSigmaCent_ = nullptr;
    QLineEdit* txtSigmaInst_ = nullptr;
    std::array<QLineEdit*, 17> txtSelCode_{};  // 1..16
    QLineEdit* txtSelNr_ = nullptr;
    UpDownArrows* upDown1_ = nullptr;
    QPushButton* cmdExport_ = nullptr;
    QPushButton* cmdStart_ = nullptr;
    QPushButton* cmdCheck_ = nullptr;
    QLabel* lblProgress_ = nullptr;
    QProgressBar* prbProgress_ = nullptr;
};

}  // namespace talvik::gui
