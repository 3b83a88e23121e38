#include "gui/SplashWindow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "gui/Logo.h"
#include "gui/Widgets.h"
#include "texts/WindowTexts.h"

namespace talvik::gui {

SplashWindow::SplashWindow(QWidget* parent)
    : QFrame(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmTALVIK"));
    setWindowIcon(AppIcon());
    setFrameShape(QFrame::Box);
    setLineWidth(1);
    setStyleSheet(QStringLiteral(
        "#frmTALVIK { background: #ffffff; border: 1px solid #12465c; }"
        "#fraSplash { background: #f3f8fa; border: 1px solid #c5d8e0; border-radius: 6px; }"));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(14, 14, 14, 14);

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("fraSplash"));
    auto* row = new QHBoxLayout(frame);
    row->setContentsMargins(24, 24, 32, 24);
    row->setSpacing(24);

    auto* logo = new LogoWidget(96, frame);
    logo->setObjectName(QStringLiteral("imgLogo"));
    row->addWidget(logo);

    QLabel* name = MakeLabel(QStringLiteral("lblProductName"), frame);
    QFont font = name->font();
    font.setPointSizeF(font.pointSizeF() * 1.7);
    font.setBold(true);
    name->setFont(font);
    name->setStyleSheet(QStringLiteral("color: #12465c;"));
    row->addWidget(name);

    outer->addWidget(frame);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    ApplyTexts(this, texts::kSplash);
    adjustSize();
    // In the middle of the screen, as are the messages shown over it.
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

}  // namespace talvik::gui
