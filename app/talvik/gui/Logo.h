#pragma once
// The program's emblem: a small survey network (three stations, their sight lines and a
// crosshair) on a rounded tile. Painted, so it stays sharp at every size.

#include <QIcon>
#include <QWidget>

class QPainter;

namespace talvik::gui {

void PaintLogo(QPainter& painter, const QRectF& area);
QIcon AppIcon();

// The emblem as a widget; emits clicked() on a left click.
class LogoWidget : public QWidget {
    Q_OBJECT
  public:
    explicit LogoWidget(int size, QWidget* parent = nullptr);

  signals:
    void clicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace talvik::gui
