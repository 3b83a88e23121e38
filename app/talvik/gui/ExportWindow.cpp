#include "gui/ExportWindow.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>
#include <tuple>
#include <utility>

#include "check/CheckReading.h"
#include "gui/AboutWindow.h"
#include "gui/CheckWindow.h"
#include "gui/Logo.h"
#include "gui/ScreenText.h"
#include "gui/Widgets.h"
#include "texts/WindowTexts.h"

namespace talvik::gui {

namespace {

QLineEdit* MakeBox(const QString& name, QWidget* parent, int width = 0) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    if (width > 0) box->setFixedWidth(width);
    return box;
}

QGroupBox* MakeFrame(const QString& name, QWidget* parent) {
    auto* frame = new QGroupBox(parent);
    frame->setObjectName(name);
    return frame;
}

template <typename Button>
Button* MakeButton(const QString& name, QWidget* parent) {
    auto* button = new Button(parent);
    button->setObjectName(name);
    return button;
}

}  // namespace

ExportWindow::ExportWindow(JobContext& context, QWidget* parent)
    : JobWindow(parent), context_(context), model_(context.settings) {
    setObjectName(QStringLiteral("frmKORVUX"));
    setWindowIcon(AppIcon());
    BuildLayout();
    Bind();
}

void ExportWindow::BuildLayout() {
    const int valueWidth = 78;
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 10, 12, 8);
    outer->setSpacing(8);

    // The body: the form, which scrolls on a small screen, and the start buttons below it, which
    // stay in view. Disabled as a whole while the run works.
    body_ = new QWidget(this);
    auto* bodyColumn = new QVBoxLayout(body_);
    bodyColumn->setContentsMargins(0, 0, 0, 0);
    bodyColumn->setSpacing(10);
    outer->addWidget(body_, 1);
    auto* form = new QWidget;
    auto* column = new QVBoxLayout(form);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(10);
    bodyColumn->addWidget(MakeBodyScrollArea(form, body_), 1);

    // Heading with the emblem; both open the About box.
    auto* head = new QHBoxLayout;
    head->setSpacing(12);
    auto* picture = new LogoWidget(44, form);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setCursor(Qt::PointingHandCursor);
    connect(picture, &LogoWidget::clicked, this, &ExportWindow::ShowAboutBox);
    head->addWidget(picture);
    auto* action = new ClickableLabel(form);
    action->setObjectName(QStringLiteral("lblAction"));
    QFont headFont = action->font();
    headFont.setPointSizeF(headFont.pointSizeF() * 1.5);
    headFont.setBold(true);
    action->setFont(headFont);
    // The heading's blue, lighter on a dark theme's window.
    const QColor window = palette().color(QPalette::Window);
    action->setStyleSheet(window.lightness() < 128 ? QStringLiteral("color: #8cc4de;")
                                                   : QStringLiteral("color: #12465c;"));
    connect(action, &ClickableLabel::clicked, this, &ExportWindow::ShowAboutBox);
    head->addWidget(action, 1);
    column->addLayout(head);

    // Files and package version.
    QGroupBox* files = MakeFrame(QStringLiteral("fraFiles"), form);
    auto* fileGrid = new QGridLayout(files);
    fileGrid->setHorizontalSpacing(8);
    fileGrid->addWidget(MakeLabel(QStringLiteral("lblFieldfile"), files), 0, 0);
    txtFieldfile_ = MakeBox(QStringLiteral("txtFieldfile"), files);
    txtFieldfile_->setMinimumWidth(380);
    fileGrid->addWidget(txtFieldfile_, 0, 1);
    cmdField_ = MakeButton<QPushButton>(QStringLiteral("cmdField"), files);
    fileGrid->addWidget(cmdField_, 0, 2);
    fileGrid->addWidget(MakeLabel(QStringLiteral("lblProjectfile"), files), 1, 0);
    txtProjectfile_ = MakeBox(QStringLiteral("txtProjectfile"), files);
    fileGrid->addWidget(txtProjectfile_, 1, 1);
    cmdProject_ = MakeButton<QPushButton>(QStringLiteral("cmdProject"), files);
    fileGrid->addWidget(cmdProject_, 1, 2);
    fileGrid->addWidget(MakeLabel(QStringLiteral("lblSaveAs"), files), 2, 0);
    auto* versions = new QHBoxLayout;
    versions->setSpacing(18);
    optV3_ = MakeButton<QRadioButton>(QStringLiteral("optV3"), files);
    optV1_ = MakeButton<QRadioButton>(QStringLiteral("optV1"), files);
    auto* versionGroup = new QButtonGroup(this);
    versionGroup->addButton(optV3_);
    versionGroup->addButton(optV1_);
    versions->addWidget(optV3_);
    versions->addWidget(optV1_);
    versions->addStretch();
    fileGrid->addLayout(versions, 2, 1, 1, 2);
    column->addWidget(files);

    // Standard deviations and the second face, in two columns.
    auto* middle = new QHBoxLayout;
    middle->setSpacing(10);
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    left->setSpacing(10);
    right->setSpacing(10);
    middle->addLayout(left, 1);
    middle->addLayout(right, 1);
    column->addLayout(middle);

    QGroupBox* observations = MakeFrame(QStringLiteral("fraStdDevObservations"), form);
    auto* obsGrid = new QGridLayout(observations);
    obsGrid->setColumnStretch(0, 1);
    QLabel* abs = MakeLabel(QStringLiteral("lblAbs"), observations);
    QLabel* rel = MakeLabel(QStringLiteral("lblRel"), observations);
    abs->setAlignment(Qt::AlignCenter);
    rel->setAlignment(Qt::AlignCenter);
    obsGrid->addWidget(abs, 0, 1);
    obsGrid->addWidget(rel, 0, 2);
    // One row of the frame: its label, then the absolute and the relative box.
    const auto row = [&](int at, const char* label, const char* absName, const char* relName) {
        obsGrid->addWidget(MakeLabel(QString::fromLatin1(label), observations), at, 0);
        QLineEdit* absBox = MakeBox(QString::fromLatin1(absName), observations, valueWidth);
        QLineEdit* relBox = MakeBox(QString::fromLatin1(relName), observations, valueWidth);
        obsGrid->addWidget(absBox, at, 1);
        obsGrid->addWidget(relBox, at, 2);
        return std::pair{absBox, relBox};
    };
    std::tie(txtAbsHor_, txtRelHor_) = row(1, "lblHz", "txtAbsHor", "txtRelHor");
    std::tie(txtAbsVer_, txtRelVer_) = row(2, "lblV", "txtAbsVer", "txtRelVer");
    std::tie(txtAbsDis_, txtRelDis_) = row(3, "lblDis", "txtAbsDis", "txtRelDis");
    chkHVD_ = MakeButton<QCheckBox>(QStringLiteral("chkHVD"), observations);
    obsGrid->addWidget(chkHVD_, 4, 0, 1, 3);
    left->addWidget(observations);

    QGroupBox* face2 = MakeFrame(QStringLiteral("fraFace2"), form);
    auto* faceColumn = new QVBoxLayout(face2);
    optFace2Series_ = MakeButton<QRadioButton>(QStringLiteral("optFace2Series"), face2);
    optFace2to1_ = MakeButton<QRadioButton>(QStringLiteral("optFace2to1"), face2);
    faceColumn->addWidget(optFace2Series_);
    faceColumn->addWidget(optFace2to1_);
    left->addWidget(face2);
    left->addStretch();

    QGroupBox* coordinates = MakeFrame(QStringLiteral("fraStdDevCoordinates"), form);
    auto* coordGrid = new QGridLayout(coordinates);
    coordGrid->setColumnStretch(0, 1);
    QLabel* stdAfw = MakeLabel(QStringLiteral("lblStdAfw"), coordinates);
    stdAfw->setAlignment(Qt::AlignCenter);
    coordGrid->addWidget(stdAfw, 0, 1);
    coordGrid->addWidget(MakeLabel(QStringLiteral("lblXY"), coordinates), 1, 0);
    txtSDXY_ = MakeBox(QStringLiteral("txtSDXY"), coordinates, valueWidth);
    coordGrid->addWidget(txtSDXY_, 1, 1);
    coordGrid->addWidget(MakeLabel(QStringLiteral("lblZ"), coordinates), 2, 0);
    txtSDZ_ = MakeBox(QStringLiteral("txtSDZ"), coordinates, valueWidth);
    coordGrid->addWidget(txtSDZ_, 2, 1);
    chkXYZ_ = MakeButton<QCheckBox>(QStringLiteral("chkXYZ"), coordinates);
    coordGrid->addWidget(chkXYZ_, 3, 0, 1, 2);
    right->addWidget(coordinates);

    QGroupBox* other = MakeFrame(QStringLiteral("fraStdDevOther"), form);
    auto* otherGrid = new QGridLayout(other);
    otherGrid->setColumnStretch(0, 1);
    otherGrid->addWidget(MakeLabel(QStringLiteral("lblSigmaCent"), other), 0, 0);
    txtSigmaCent_ = MakeBox(QStringLiteral("txtSigmaCent"), other, valueWidth);
    otherGrid->addWidget(txtSigmaCent_, 0, 1);
    otherGrid->addWidget(MakeLabel(QStringLiteral("lblSigmaInst"), other), 1, 0);
    txtSigmaInst_ = MakeBox(QStringLiteral("txtSigmaInst"), other, valueWidth);
    otherGrid->addWidget(txtSigmaInst_, 1, 1);
    right->addWidget(other);
    right->addStretch();

    // Code selections: 16 boxes and the set number with its arrows.
    QGroupBox* codes = MakeFrame(QStringLiteral("fraSelCodes"), form);
    auto* codeRow = new QHBoxLayout(codes);
    codeRow->setSpacing(16);
    auto* codeGrid = new QGridLayout;
    codeGrid->setHorizontalSpacing(6);
    codeGrid->setVerticalSpacing(6);
    for (int i = 1; i <= 16; ++i) {
        txtSelCode_[i] = MakeBox(QStringLiteral("txtSelCode%1").arg(i), codes, 64);
        codeGrid->addWidget(txtSelCode_[i], (i - 1) / 8, (i - 1) % 8);
    }
    codeRow->addLayout(codeGrid);
    codeRow->addStretch();
    auto* setColumn = new QVBoxLayout;
    setColumn->setSpacing(4);
    QLabel* setLabel = MakeLabel(QStringLiteral("lblSelSet"), codes);
    setLabel->setAlignment(Qt::AlignCenter);
    setColumn->addWidget(setLabel);
    auto* setRow = new QHBoxLayout;
    setRow->setSpacing(2);
    txtSelNr_ = MakeBox(QStringLiteral("txtSelNr"), codes, 36);
    txtSelNr_->setAlignment(Qt::AlignCenter);
    setRow->addStretch();
    setRow->addWidget(txtSelNr_);
    upDown1_ = new UpDownArrows(codes);
    upDown1_->setObjectName(QStringLiteral("UpDown1"));
    upDown1_->ServeBox(txtSelNr_);
    setRow->addWidget(upDown1_);
    setRow->addStretch();
    setColumn->addLayout(setRow);
    setColumn->addStretch();
    codeRow->addLayout(setColumn);
    column->addWidget(codes);

    // Start buttons.
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdExport_ = MakeButton<QPushButton>(QStringLiteral("cmdExport"), body_);
    cmdStart_ = MakeButton<QPushButton>(QStringLiteral("cmdStart"), body_);
    for (QPushButton* button : {cmdExport_, cmdStart_}) {
        button->setMinimumHeight(30);
        button->setMinimumWidth(200);
        buttons->addWidget(button);
    }
    // The network check on the left, after the start buttons in the tab order.
    cmdCheck_ = MakeButton<QPushButton>(QStringLiteral("cmdCheck"), body_);
    cmdCheck_->setMinimumHeight(30);
    buttons->insertWidget(0, cmdCheck_);
    bodyColumn->addLayout(buttons);

    // Progress line, outside the body so it stays readable while the body is disabled.
    const ProgressPanel progress = MakeProgressPanel(this);
    lblProgress_ = progress.label;
    prbProgress_ = progress.bar;
    outer->addWidget(progress.frame);
    ApplyTexts(this, texts::kExport);
    NoDefaultButtons(this);
    ArrowsStayInGroups(this);
}

void ExportWindow::Bind() {
    auto plain = [this](QLineEdit* box, std::string& field) {
        connect(box, &QLineEdit::textEdited, this,
                [&field](const QString& text) { field = ModelText(text); });
    };
    auto path = [this](QLineEdit* box, std::string& field) {
        connect(box, &QLineEdit::textEdited, this,
                [&field](const QString& text) { field = ModelPath(text); });
    };
    using Setter = void (ExportDialogModel::*)(std::string);
    auto coupled = [this](QLineEdit* box, Setter setter) {
        connect(box, &QLineEdit::textEdited, this, [this, setter](const QString& text) {
            (model_.*setter)(ModelText(text));
            RefreshCoupled();
        });
    };

    path(txtFieldfile_, model_.fieldFile);
    path(txtProjectfile_, model_.projectFile);
    plain(txtAbsDis_, model_.absDis);
    plain(txtRelDis_, model_.relDis);
    plain(txtSigmaCent_, model_.sigmaCent);
    plain(txtSigmaInst_, model_.sigmaInst);
    for (int i = 1; i <= 16; ++i)
        plain(txtSelCode_[i], model_.selectionCodes[i]);
    coupled(txtAbsHor_, &ExportDialogModel::SetAbsHor);
    coupled(txtRelHor_, &ExportDialogModel::SetRelHor);
    coupled(txtAbsVer_, &ExportDialogModel::SetAbsVer);
    coupled(txtRelVer_, &ExportDialogModel::SetRelVer);
    coupled(txtSDXY_, &ExportDialogModel::SetSdXY);
    coupled(txtSDZ_, &ExportDialogModel::SetSdZ);

    connect(chkHVD_, &QCheckBox::clicked, this, [this](bool checked) {
        model_.SetCoupleHorVer(checked);
        RefreshCoupled();
    });
    connect(chkXYZ_, &QCheckBox::clicked, this, [this](bool checked) {
        model_.SetCoupleXyZ(checked);
        RefreshCoupled();
    });
    connect(optV3_, &QRadioButton::toggled, this, [this](bool on) { model_.version3 = on; });
    connect(optFace2to1_, &QRadioButton::toggled, this, [this](bool on) { model_.face2to1 = on; });

    connect(upDown1_, &UpDownArrows::up, this, [this] {
        if (model_.StepUp()) RefreshCodes();
    });
    connect(upDown1_, &UpDownArrows::down, this, [this] {
        if (model_.StepDown()) RefreshCodes();
    });

    connect(cmdField_, &QPushButton::clicked, this, [this] {
        Browse(model_.fieldFile, ExportDialogModel::kFieldFilter, ExportDialogModel::kFieldPattern,
               txtFieldfile_);
    });
    connect(cmdProject_, &QPushButton::clicked, this, [this] {
        Browse(model_.projectFile, ExportDialogModel::kProjectFilter,
               ExportDialogModel::kProjectPattern, txtProjectfile_);
    });
    connect(cmdExport_, &QPushButton::clicked, this, [this] { RunExport(false); });
    connect(cmdStart_, &QPushButton::clicked, this, [this] { RunExport(true); });
    connect(cmdCheck_, &QPushButton::clicked, this, [this] { RunCheck(); });
}

void ExportWindow::Open(std::string packageFile, std::string idexFile, bool askForIdex,
                        QWidget* splash, int delayMs) {
    packageFile_ = std::move(packageFile);
    idexFile_ = std::move(idexFile);
    QPointer<QWidget> splashWindow(splash);
    QTimer::singleShot(delayMs, this, [this, splashWindow, askForIdex] {
        FinishOpening(splashWindow, askForIdex);
    });
}

void ExportWindow::FinishOpening(QWidget* splash, bool askForIdex) {
    if (splash) splash->hide();
    if (askForIdex && !AskForIdexFile(context_, packageFile_, idexFile_)) {
        End(0);
        return;
    }
    model_.Open(packageFile_);
    Refresh();
    FitToScreen(this);
    show();
    raise();
    activateWindow();
    txtFieldfile_->setFocus();
    emit opened();
}

void ExportWindow::Refresh() {
    Show(txtFieldfile_, PathText(model_.fieldFile));
    Show(txtProjectfile_, PathText(model_.projectFile));
    (model_.version3 ? optV3_ : optV1_)->setChecked(true);
    (model_.face2to1 ? optFace2to1_ : optFace2Series_)->setChecked(true);
    Show(txtAbsDis_, BoxText(model_.absDis));
    Show(txtRelDis_, BoxText(model_.relDis));
    Show(txtSigmaCent_, BoxText(model_.sigmaCent));
    Show(txtSigmaInst_, BoxText(model_.sigmaInst));
    RefreshCoupled();
    RefreshCodes();
}

void ExportWindow::RefreshCoupled() {
    Show(txtAbsHor_, BoxText(model_.AbsHor()));
    Show(txtRelHor_, BoxText(model_.RelHor()));
    Show(txtAbsVer_, BoxText(model_.AbsVer()));
    Show(txtRelVer_, BoxText(model_.RelVer()));
    Show(txtSDXY_, BoxText(model_.SdXY()));
    Show(txtSDZ_, BoxText(model_.SdZ()));
    chkHVD_->setChecked(model_.CoupleHorVer());
    chkXYZ_->setChecked(model_.CoupleXyZ());
    txtAbsVer_->setEnabled(model_.AbsVerEnabled());
    txtRelVer_->setEnabled(model_.RelVerEnabled());
    txtSDZ_->setEnabled(model_.SdZEnabled());
}

void ExportWindow::RefreshCodes() {
    Show(txtSelNr_, QString::number(model_.SelectionSetNumber()));
    for (int i = 1; i <= 16; ++i)
        Show(txtSelCode_[i], BoxText(model_.selectionCodes[i]));
}

void ExportWindow::Browse(std::string& field, std::string_view filter, std::string_view pattern,
                          QLineEdit* box) {
    const std::optional<std::string> picked = LocateFile(context_, filter, pattern);
    if (!picked) {
        End(0);
        return;
    }
    field = *picked;
    Show(box, PathText(field));
}

void ExportWindow::RunExport(bool kickKorvu) {
    if (running_ || ended_) return;
    running_ = true;
    body_->setEnabled(false);
    // The choices the run stores (and the package path it may store) reach the store in one
    // write, at the end of the run.
    const ConversionOutcome outcome = [this, kickKorvu] {
        const OneWrite oneWrite(context_.registry);
        const ExportOptions options = model_.Start(idexFile_);
        const LaunchChoice launch{kickKorvu ? Launch::Always : Launch::No, model_.projectFile};
        return RunExportJob(context_, options, launch).conversion;
    }();
    running_ = false;
    End(DesktopExitCode(outcome));
}

void ExportWindow::RunCheck() {
    if (running_ || ended_) return;
    std::optional<CheckReport> report =
        CheckFiles(model_.FillExportOptions(idexFile_), context_.ui);
    if (!report) return;
    // One check window: a second check takes the place of the first.
    auto* window = new CheckWindow(std::move(*report), this);
    if (check_) {
        window->setGeometry(check_->geometry());
        check_->close();
    }
    check_ = window;
    window->show();
}

void ExportWindow::BeforeEnd() {
    if (about_) about_->close();
    if (check_) check_->close();
}

void ExportWindow::ShowAboutBox() {
    ShowAbout(about_, this);
}

}  // namespace talvik::gui
