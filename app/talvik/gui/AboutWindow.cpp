#include "gui/AboutWindow.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "Version.h"
#include "gui/Logo.h"
#include "gui/Widgets.h"
#include "platform/UserInterface.h"

namespace talvik::gui {

namespace {

QFrame* Separator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

}  // namespace

QString VersionLine(int major, int minor, int revision) {
    return QStringLiteral("Version %1.%2.%3").arg(major).arg(minor).arg(revision);
}

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent) {
    const QString title = QString::fromUtf8(kAppTitle.data(), qsizetype(kAppTitle.size()));
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About ") + title);
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

    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    QLabel* lblTitle = MakeLabel(QStringLiteral("lblTitle"), title, this);
    QFont big = lblTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    lblTitle->setFont(big);
    texts->addWidget(lblTitle);
    texts->addWidget(MakeLabel(QStringLiteral("lblVersion"),
                               VersionLine(kVersionMajor, kVersionMinor, kVersionRevision), this));
    texts->addStretch();
    head->addLayout(texts, 1);
    column->addLayout(head);

    column->addWidget(Separator(this));
    const QString blue = QStringLiteral("color: #0000c0;");
    QLabel* label5 = MakeLabel(QStringLiteral("Label5"), QStringLiteral("Korvu Interface"), this);
    label5->setStyleSheet(blue);
    QLabel* label1 = MakeLabel(QStringLiteral("Label1"), QStringLiteral("Kavrin ZEV"), this);
    label1->setStyleSheet(blue);
    column->addWidget(label5);
    column->addWidget(label1);
    column->addWidget(Separator(this));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    ok->setMinimumWidth(90);
    connect(ok, &QPushButton::clicked, this, &QDialog::close);
    buttons->addWidget(ok);
    column->addLayout(buttons);

    setMinimumWidth(320);
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
