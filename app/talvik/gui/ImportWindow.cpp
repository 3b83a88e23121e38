#include "gui/ImportWindow.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/Logo.h"
#include "gui/ScreenText.h"
#include "gui/ShiftWindow.h"
#include "gui/Widgets.h"
#include "texts/WindowTexts.h"

namespace talvik::gui {

ImportWindow::ImportWindow(JobContext& context, QWidget* parent)
    : JobWindow(parent), context_(context), model_(context.settings) {
    setObjectName(QStringLiteral("frmKORVUI"));
    setWindowIcon(AppIcon());
    BuildLayout();
    Bind();
}

void ImportWindow::BuildLayout() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 10, 12, 8);
    outer->setSpacing(8);
    body_ = new QWidget(this);
    outer->addWidget(body_);
    auto* column = new QVBoxLayout(body_);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(10);

    auto* head = new QHBoxLayout;
    head->setSpacing(12);
    head->addWidget(new LogoWidget(44, body_));
    QLabel* action = MakeLabel(QStringLiteral("lblAction"), body_);
    QFont headFont = action->font();
    headFont.setPointSizeF(headFont.pointSizeF() * 1.5);
    headFont.setBold(true);
    action->setFont(headFont);
    action->setStyleSheet(QStringLiteral("color: #12465c;"));
    head->addWidget(action, 1);
    column->addLayout(head);

    auto* fileRow = new QHBoxLayout;
    fileRow->setSpacing(8);
    fileRow->addWidget(MakeLabel(QStringLiteral("Label2"), body_));
    txtCoordfile_ = new QLineEdit(body_);
    txtCoordfile_->setObjectName(QStringLiteral("txtCoordfile"));
    txtCoordfile_->setMinimumWidth(340);
    fileRow->addWidget(txtCoordfile_, 1);
    cmdCoord_ = new QPushButton(body_);
    cmdCoord_->setObjectName(QStringLiteral("cmdCoord"));
    fileRow->addWidget(cmdCoord_);
    column->addLayout(fileRow);

    auto* frame = new QGroupBox(body_);
    frame->setObjectName(QStringLiteral("Frame3"));
    auto* grid = new QGridLayout(frame);
    grid->setHorizontalSpacing(10);
    grid->setColumnStretch(2, 1);
    grid->addWidget(MakeLabel(QStringLiteral("Label1"), frame), 0, 0);
    txtKVLayer_ = new QLineEdit(frame);
    txtKVLayer_->setObjectName(QStringLiteral("txtKVLayer"));
    txtKVLayer_->setFixedWidth(180);
    grid->addWidget(txtKVLayer_, 0, 1);
    grid->addWidget(MakeLabel(QStringLiteral("Label4"), frame), 1, 0);
    txtKVCode_ = new QLineEdit(frame);
    txtKVCode_->setObjectName(QStringLiteral("txtKVCode"));
    txtKVCode_->setFixedWidth(180);
    grid->addWidget(txtKVCode_, 1, 1);
    grid->addWidget(MakeLabel(QStringLiteral("Label3"), frame), 2, 0);
    auto* setRow = new QHBoxLayout;
    setRow->setSpacing(2);
    txtSelNr_ = new QLineEdit(frame);
    txtSelNr_->setObjectName(QStringLiteral("txtSelNr"));
    txtSelNr_->setAlignment(Qt::AlignCenter);
    txtSelNr_->setFixedWidth(36);
    setRow->addWidget(txtSelNr_);
    upDown1_ = new UpDownArrows(frame);
    upDown1_->setObjectName(QStringLiteral("UpDown1"));
    upDown1_->ServeBox(txtSelNr_);
    setRow->addWidget(upDown1_);
    setRow->addStretch();
    grid->addLayout(setRow, 2, 1);
    grid->addWidget(MakeLabel(QStringLiteral("lblTolerance"), frame), 3, 0);
    txtTolerance_ = new QLineEdit(frame);
    txtTolerance_->setObjectName(QStringLiteral("txtTolerance"));
    txtTolerance_->setFixedWidth(80);
    grid->addWidget(txtTolerance_, 3, 1);
    column->addWidget(frame);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdStart_ = new QPushButton(body_);
    cmdStart_->setObjectName(QStringLiteral("cmdStart"));
    cmdStart_->setMinimumSize(160, 30);
    buttons->addWidget(cmdStart_);
    column->addLayout(buttons);

    const ProgressPanel progress = MakeProgressPanel(this);
    lblProgress_ = progress.label;
    prbProgress_ = progress.bar;
    outer->addWidget(progress.frame);
    ApplyTexts(this, texts::kImport);
    NoDefaultButtons(this);
    ArrowsStayInGroups(this);
}

void ImportWindow::Bind() {
    connect(txtKVLayer_, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.SetLayer(ModelText(text)); });
    connect(txtKVCode_, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.SetCode(ModelText(text)); });
    connect(txtTolerance_, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.SetToleranceText(ModelText(text)); });
    connect(txtCoordfile_, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.SetCoordFile(ModelPath(text)); });
    connect(upDown1_, &UpDownArrows::up, this, [this] {
        if (model_.StepUp()) Refresh();
    });
    connect(upDown1_, &UpDownArrows::down, this, [this] {
        if (model_.StepDown()) Refresh();
    });
    connect(cmdCoord_, &QPushButton::clicked, this, &ImportWindow::Browse);
    connect(cmdStart_, &QPushButton::clicked, this, &ImportWindow::RunImport);
}

void ImportWindow::Open(std::string packageFile, std::string idexFile, QWidget* splash,
                        int delayMs) {
    packageFile_ = std::move(packageFile);
    idexFile_ = std::move(idexFile);
    QPointer<QWidget> splashWindow(splash);
    QTimer::singleShot(delayMs, this, [this, splashWindow] { FinishOpening(splashWindow); });
}

void ImportWindow::FinishOpening(QWidget* splash) {
    if (splash) splash->hide();
    model_.Load(packageFile_);
    Refresh();
    FitToScreen(this);
    show();
    raise();
    activateWindow();
    txtCoordfile_->setFocus();
    emit opened();
}

void ImportWindow::Refresh() {
    Show(txtKVLayer_, BoxText(model_.Layer()));
    Show(txtKVCode_, BoxText(model_.Code()));
    Show(txtSelNr_, QString::number(model_.SelectionSetNumber()));
    Show(txtTolerance_, BoxText(model_.ToleranceText()));
    Show(txtCoordfile_, PathText(model_.CoordFile()));
}

void ImportWindow::Browse() {
    const std::optional<std::string> picked =
        LocateFile(context_, ImportModel::kCoordFilter, ImportModel::kCoordPattern);
    if (!picked) {
        End(0);
        return;
    }
    model_.SetCoordFile(*picked);
    Refresh();
}

void ImportWindow::RunImport() {
    if (running_ || ended_) return;
    running_ = true;
    body_->setEnabled(false);
    // The shift report reads the IDEX file as it is before the import replaces it.
    ShiftReport report;
    const ImportOutcome outcome = [this, &report] {
        const OneWrite oneWrite(context_.registry);
        report.ReadBase(idexFile_, false, context_.ui);
        return model_.Start(idexFile_, context_.ui, &report);
    }();
    // After a written file the report shows; closing it (or this window) ends the process.
    if (outcome == ImportOutcome::Written) {
        imported_ = true;
        report.Compare(model_.Tolerance().value_or(0.0));
        shifts_ = new ShiftWindow(report, this);
        connect(shifts_, &ShiftWindow::closed, this, [this] { End(0); });
        shifts_->show();
        shifts_->raise();
        shifts_->activateWindow();
        RunDone();
        return;
    }
    body_->setEnabled(true);
    RunDone();
    if (ended_) return;
    // The focus goes back to the box the message was about: an empty layer or code, else the
    // coordinate file that could not be read.
    const bool noLayer = model_.Layer().find_first_not_of(' ') == std::string::npos;
    QLineEdit* about = outcome == ImportOutcome::Failed ? txtCoordfile_
                       : !model_.Tolerance()            ? txtTolerance_
                       : noLayer                        ? txtKVLayer_
                                                        : txtKVCode_;
    about->setFocus();
    about->selectAll();
}

void ImportWindow::BeforeEnd() {
    if (shifts_) shifts_->hide();
}

}  // namespace talvik::gui
