#include "gui/Widgets.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLayout>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
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

namespace {

class BodyScrollArea : public QScrollArea {
  public:
    using QScrollArea::QScrollArea;
    QSize sizeHint() const override {
        return widget() ? widget()->sizeHint() : QScrollArea::sizeHint();
    }
    // As narrow as the body allows; a few lines high.
    QSize minimumSizeHint() const override {
        if (!widget()) return QScrollArea::minimumSizeHint();
        return {widget()->minimumSizeHint().width(), 4 * fontMetrics().height()};
    }
};

// Swallows the arrow keys of the controls it watches.
class ArrowKeyStop : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            switch (static_cast<QKeyEvent*>(event)->key()) {
                case Qt::Key_Up:
                case Qt::Key_Down:
                case Qt::Key_Left:
                case Qt::Key_Right:
                    return true;
                default:
                    break;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

// Room for a window manager's frame and title bar around a window.
constexpr QSize kFrameAllowance{16, 48};

}  // namespace

QScrollArea* MakeBodyScrollArea(QWidget* body, QWidget* parent) {
    auto* area = new BodyScrollArea(parent);
    area->setObjectName(QStringLiteral("scrBody"));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setFocusPolicy(Qt::NoFocus);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setWidget(body);
    return area;
}

void FitToScreen(QWidget* window) {
    window->ensurePolished();
    if (window->layout()) window->layout()->activate();
    const QSize natural = window->sizeHint().expandedTo(window->minimumSizeHint());
    // A body that has to scroll needs the width of its scroll bar besides.
    const int scrollBar = window->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    window->setMaximumSize(natural + QSize(scrollBar, 0));
    // The window manager's frame without a maximise button.
    window->setWindowFlags((window->windowFlags() & Qt::WindowType_Mask) | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    QScreen* screen = window->screen();
    if (!screen) {
        window->resize(natural);
        return;
    }
    const QRect room = screen->availableGeometry();
    QSize size =
        natural.boundedTo(room.size() - kFrameAllowance).expandedTo(window->minimumSizeHint());
    if (size.height() < natural.height()) size.rwidth() += scrollBar;
    window->resize(size);
    const QSize outer = size + kFrameAllowance;
    window->move(room.x() + qMax(0, (room.width() - outer.width()) / 2),
                 room.y() + qMax(0, (room.height() - outer.height()) / 2));
}

void NoDefaultButtons(QWidget* window) {
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
}

void ArrowsStayInGroups(QWidget* window) {
    auto* stop = new ArrowKeyStop(window);
    for (QCheckBox* box : window->findChildren<QCheckBox*>())
        box->installEventFilter(stop);
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
