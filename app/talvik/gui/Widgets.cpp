#include "gui/Widgets.h"

#include <QAbstractButton>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QProgressBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "gui/ScreenText.h"
#include "texts/WindowTexts.h"

namespace talvik::gui {

ClickableLabel::ClickableLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setCursor(Qt::PointingHandCursor);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

UpDownArrows::UpDownArrows(QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    for (QToolButton* arrow : {up_, down_}) {
        arrow->setAutoRepeat(true);
        arrow->setFocusPolicy(Qt::NoFocus);
        arrow->setFixedSize(18, 13);
        arrow->setIconSize(QSize(8, 8));
        column->addWidget(arrow);
    }
    up_->setObjectName(QStringLiteral("up"));
    down_->setObjectName(QStringLiteral("down"));
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    connect(up_, &QToolButton::clicked, this, &UpDownArrows::up);
    connect(down_, &QToolButton::clicked, this, &UpDownArrows::down);
}

void UpDownArrows::SetToolTip(const QString& text) {
    setToolTip(text);
    up_->setToolTip(text);
    down_->setToolTip(text);
}

void UpDownArrows::ServeBox(QLineEdit* box) {
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::StrongFocus);
    box->installEventFilter(this);
}

bool UpDownArrows::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
            case Qt::Key_Up:
            case Qt::Key_PageUp:
                emit up();
                return true;
            case Qt::Key_Down:
            case Qt::Key_PageDown:
                emit down();
                return true;
            default:
                break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

ProgressPanel MakeProgressPanel(QWidget* parent) {
    ProgressPanel panel;
    panel.frame = new QFrame(parent);
    panel.frame->setObjectName(QStringLiteral("fraProgress"));
    panel.frame->setFrameShape(QFrame::StyledPanel);
    panel.frame->setFrameShadow(QFrame::Sunken);
    auto* row = new QHBoxLayout(panel.frame);
    row->setContentsMargins(6, 3, 6, 3);
    row->addWidget(MakeLabel(QStringLiteral("lblProgressCaption"), parent));
    panel.label = MakeLabel(QStringLiteral("lblProgress"), parent);
    panel.label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    row->addWidget(panel.label, 1);
    panel.bar = new QProgressBar(parent);
    panel.bar->setObjectName(QStringLiteral("prbProgress"));
    panel.bar->setRange(0, 100);
    panel.bar->setValue(0);
    panel.bar->setFormat(QStringLiteral("%p%"));
    panel.bar->setFixedWidth(160);
    panel.bar->setMaximumHeight(16);
    panel.bar->setVisible(false);
    row->addWidget(panel.bar);
    return panel;
}

QLabel* MakeLabel(const QString& name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

void ApplyTexts(QWidget* window, const texts::WindowText& texts) {
    window->setWindowTitle(ScreenText(texts.title));
    for (const texts::ControlText& control : texts.controls) {
        auto* widget = window->findChild<QWidget*>(QString::fromLatin1(control.name));
        if (!widget) continue;
        const QString caption = ScreenText(control.caption);
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            label->setText(caption);
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            button->setText(caption);
        } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
            frame->setTitle(caption);
        }
        if (auto* arrows = qobject_cast<UpDownArrows*>(widget)) {
            arrows->SetToolTip(ScreenText(control.tip));
        } else {
            widget->setToolTip(ScreenText(control.tip));
        }
    }
}

}  // namespace talvik::gui
