#include "gui/Logo.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace talvik::gui {

void PaintLogo(QPainter& painter, const QRectF& area) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = qMin(area.width(), area.height());
    painter.translate(area.center().x() - side / 2, area.center().y() - side / 2);
    painter.scale(side / 64.0, side / 64.0);

    // Tile.
    QLinearGradient tile(0, 0, 0, 64);
    tile.setColorAt(0, QColor(0x1f, 0x6f, 0x8b));
    tile.setColorAt(1, QColor(0x12, 0x46, 0x5c));
    painter.setPen(Qt::NoPen);
    painter.setBrush(tile);
    painter.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);

    // Sight lines between the three stations.
    const QPointF a(16, 46), b(48, 42), c(30, 16);
    QPen line(QColor(0xe8, 0xf4, 0xf8), 2.4);
    line.setCapStyle(Qt::RoundCap);
    painter.setPen(line);
    painter.drawLine(a, b);
    painter.drawLine(b, c);
    painter.drawLine(c, a);
    QPen dashed(QColor(0xf2, 0xb1, 0x34), 1.6, Qt::DashLine);
    painter.setPen(dashed);
    painter.drawLine(c, QPointF((a.x() + b.x()) / 2, (a.y() + b.y()) / 2));

    // Stations.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xf2, 0xb1, 0x34));
    for (const QPointF& p : {a, b})
        painter.drawEllipse(p, 4.2, 4.2);

    // Crosshair on the occupied station.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0xff, 0xff, 0xff), 2.2));
    painter.drawEllipse(c, 7, 7);
    painter.setPen(QPen(QColor(0xff, 0xff, 0xff), 1.6));
    painter.drawLine(QPointF(c.x() - 10, c.y()), QPointF(c.x() + 10, c.y()));
    painter.drawLine(QPointF(c.x(), c.y() - 10), QPointF(c.x(), c.y() + 10));
    painter.restore();
}

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        PaintLogo(painter, QRectF(0, 0, size, size));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

LogoWidget::LogoWidget(int size, QWidget* parent) : QWidget(parent) {
    setFixedSize(size, size);
}

void LogoWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintLogo(painter, rect());
}

void LogoWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QWidget::mouseReleaseEvent(event);
}

}  // namespace talvik::gui
