#include "gui/CheckWindow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "gui/ScreenText.h"
#include "gui/Widgets.h"
#include "texts/WindowTexts.h"

namespace talvik::gui {

namespace {

constexpr double kMargin = 40.0;
constexpr double kSize = 6.0;  // half the size of a mark

}  // namespace

SketchWidget::SketchWidget(const CheckReport& report, QWidget* parent)
    : QWidget(parent), report_(report) {
    setObjectName(QStringLiteral("picSketch"));
    setMinimumSize(420, 360);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    Fit();
}

void SketchWidget::SetMarks(SketchMarks marks) {
    marks_ = std::move(marks);
    update();
}

void SketchWidget::Fit() {
    view_ = SketchView::Fit(report_, width(), height(), kMargin);
    update();
}

void SketchWidget::resizeEvent(QResizeEvent*) {
    Fit();
}

void SketchWidget::wheelEvent(QWheelEvent* event) {
    const QPointF at = event->position();
    view_.Zoom(event->angleDelta().y() > 0 ? 1.25 : 0.8, at.x(), at.y());
    update();
}

void SketchWidget::mousePressEvent(QMouseEvent* event) {
    drag_ = event->position();
}

void SketchWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    view_.Pan(at.x() - drag_.x(), at.y() - drag_.y());
    drag_ = at;
    update();
}

void SketchWidget::mouseDoubleClickEvent(QMouseEvent*) {
    Fit();
}

void SketchWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const auto red = [&](std::size_t n) { return IsRed(report_, n, marks_); };
    for (const CheckLine& line : report_.lines) {
        const CheckPoint& a = report_.points[line.from];
        const CheckPoint& b = report_.points[line.to];
        if (!IsDrawn(a) || !IsDrawn(b)) continue;
        painter.setPen(QPen(line.flagged ? QColor(Qt::red) : QColor(0x88, 0x88, 0x88), 1));
        painter.drawLine(QPointF(view_.U(a.x), view_.V(a.y)), QPointF(view_.U(b.x), view_.V(b.y)));
    }
    for (std::size_t n = 0; n < report_.points.size(); ++n) {
        const CheckPoint& p = report_.points[n];
        if (!IsDrawn(p)) continue;
        const QPointF at(view_.U(p.x), view_.V(p.y));
        const QColor colour = red(n) ? QColor(Qt::red) : QColor(Qt::black);
        painter.setPen(QPen(colour, 1.5));
        if (p.state == PointState::Known) {
            QPainterPath triangle;
            triangle.moveTo(at + QPointF(0, -kSize));
            triangle.lineTo(at + QPointF(kSize, kSize));
            triangle.lineTo(at + QPointF(-kSize, kSize));
            triangle.closeSubpath();
            painter.fillPath(triangle, colour);
            painter.drawPath(triangle);
        } else {
            painter.setBrush(Qt::white);
            painter.drawEllipse(at, kSize, kSize);
            painter.setBrush(Qt::NoBrush);
        }
        painter.drawText(at + QPointF(kSize + 3, -kSize), ScreenText(p.name));
    }
    // Scale bar at the bottom left, north arrow at the top right.
    painter.setPen(QPen(Qt::black, 2));
    const double bar = view_.ScaleBarMetres(width() / 4.0);
    const double v = height() - 20.0;
    painter.drawLine(QPointF(20, v), QPointF(20 + bar * view_.Scale(), v));
    painter.drawText(QPointF(26 + bar * view_.Scale(), v + 4),
                     QString::fromStdString(ScaleBarText(bar)));
    const double nu = width() - 30.0;
    QPainterPath arrow;
    arrow.moveTo(nu, 20);
    arrow.lineTo(nu + 8, 50);
    arrow.lineTo(nu, 42);
    arrow.lineTo(nu - 8, 50);
    arrow.closeSubpath();
    painter.fillPath(arrow, Qt::black);
    painter.drawText(QPointF(nu - 4, 64), QStringLiteral("N"));
    if (const std::string unplaced = UnplacedNames(report_); !unplaced.empty()) {
        painter.setPen(Qt::red);
        painter.drawText(QPointF(20, 20),
                         ScreenText(texts::Find(texts::kCheck, "lblUnplaced").caption) +
                             QLatin1Char(' ') + ScreenText(unplaced));
    }
}

CheckWindow::CheckWindow(CheckReport report, QWidget* parent)
    : QWidget(parent, Qt::Window), report_(std::move(report)) {
    setObjectName(QStringLiteral("frmCheck"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* outer = new QHBoxLayout(this);
    sketch_ = new SketchWidget(report_, this);
    outer->addWidget(sketch_, 3);
    auto* side = new QVBoxLayout;
    side->addWidget(MakeLabel(QStringLiteral("lblFindings"), this));
    lstFindings_ = new QListWidget(this);
    lstFindings_->setObjectName(QStringLiteral("lstFindings"));
    for (const Finding& f : report_.findings) {
        auto* item = new QListWidgetItem(
            ScreenText(f.severity == Severity::Error ? "fout: " : "waarschuwing: ") +
                ScreenText(f.text),
            lstFindings_);
        item->setForeground(f.severity == Severity::Error ? QColor(Qt::red) : QColor(Qt::black));
    }
    if (const std::size_t more = report_.errorsLeftOut + report_.warningsLeftOut)
        new QListWidgetItem(QStringLiteral("... en nog %1 niet getoond").arg(more), lstFindings_);
    for (const std::string& note : report_.notes)
        new QListWidgetItem(ScreenText("opmerking: " + note), lstFindings_);
    side->addWidget(lstFindings_, 1);
    auto* count = new QLabel(QStringLiteral("%1 fouten, %2 waarschuwingen")
                                 .arg(report_.Errors())
                                 .arg(report_.Warnings()),
                             this);
    count->setObjectName(QStringLiteral("lblCount"));
    side->addWidget(count);
    auto* buttons = new QHBoxLayout;
    auto* fit = new QPushButton(this);
    fit->setObjectName(QStringLiteral("cmdFit"));
    auto* close = new QPushButton(this);
    close->setObjectName(QStringLiteral("cmdClose"));
    buttons->addWidget(fit);
    buttons->addStretch();
    buttons->addWidget(close);
    side->addLayout(buttons);
    outer->addLayout(side, 2);
    ApplyTexts(this, texts::kCheck);
    resize(960, 560);

    connect(fit, &QPushButton::clicked, sketch_, &SketchWidget::Fit);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(lstFindings_, &QListWidget::currentRowChanged, this, [this](int row) {
        const auto at = static_cast<std::size_t>(row);
        sketch_->SetMarks(row >= 0 && at < report_.findings.size() ? report_.findings[at].points
                                                                   : SketchMarks{});
    });
}

}  // namespace talvik::gui
