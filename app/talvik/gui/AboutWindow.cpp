#include "gui/AboutWindow.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "Version.h"
#include "gui/Logo.h"
#include "gui/ScreenText.h"
#include "gui/Widgets.h"
#include "texts/WindowTexts.h"

namespace talvik::gui {

namespace {

QFrame* Separator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

}  // namespace

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowIcon(AppIcon());
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(18, 18, 18, 14);
    column->setSpacing(10);

    auto* head = new QHBoxLayout;
    head->setSpacing(16);
    auto* icon = new LogoWidget(64, this);
    icon->setObjectName(QStringLiteral("Picture1"));
    head->addWidget(icon, 0, Qt::AlignTop);

    auto* lines = new QVBoxLayout;
    lines->setSpacing(2);
    QLabel* lblTitle = MakeLabel(QStringLiteral("lblTitle"), this);
    QFont big = lblTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    lblTitle->setFont(big);
    lines->addWidget(lblTitle);
    QLabel* lblVersion = MakeLabel(QStringLiteral("lblVersion"), this);
    lines->addWidget(lblVersion);
    lines->addStretch();
    head->addLayout(lines, 1);
    column->addLayout(head);

    column->addWidget(Separator(this));
    const QString blue = QStringLiteral("color: #0000c0;");
    QLabel* label5 = MakeLabel(QStringLiteral("Label5"), this);
    label5->setStyleSheet(blue);
    QLabel* label1 = MakeLabel(QStringLiteral("Label1"), this);
    label1->setStyleSheet(blue);
    column->addWidget(label5);
    column->addWidget(label1);
    column->addWidget(Separator(this));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = new QPushButton(this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    ok->setMinimumWidth(90);
    connect(ok, &QPushButton::clicked, this, &QDialog::close);
    buttons->addWidget(ok);
    column->addLayout(buttons);

    ApplyTexts(this, texts::kAbout);
    lblVersion->setText(
        ScreenText(texts::VersionLine(kVersionMajor, kVersionMinor, kVersionRevision)));
    // A fixed size: nothing in the box would use more room, so it cannot be enlarged or
    // maximised.
    column->addStrut(320 - 36);  // 320 wide with the margins
    column->setSizeConstraint(QLayout::SetFixedSize);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    adjustSize();
}

AboutWindow* ShowAbout(QPointer<AboutWindow>& slot, QWidget* owner) {
    // A closed box deletes itself; until then it is hidden and a new one takes its place.
    if (!slot || !slot->isVisible()) slot = new AboutWindow(owner);
    slot->show();
    slot->raise();
    slot->activateWindow();
    return slot;
}

}  // namespace talvik::gui
