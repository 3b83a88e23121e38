#pragma once
// The network check's window: the sketch (wheel zooms, dragging pans, a double click or the
// fit button fits the network) beside the list of findings; choosing a finding marks its
// points red in the sketch.

#include <QWidget>

#include "check/NetworkCheck.h"
#include "check/Sketch.h"

class QListWidget;
class QPushButton;

namespace talvik::gui {

// Draws a check report with QPainter through the core's SketchView.
class SketchWidget : public QWidget {
    Q_OBJECT
  public:
    explicit SketchWidget(const CheckReport& report, QWidget* parent = nullptr);
    void SetMarks(SketchMarks marks);
    void Fit();
    const SketchView& View() const { return view_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    const CheckReport& report_;
    SketchView view_;
    SketchMarks marks_;
    QPointF drag_;
};

class CheckWindow : public QWidget {
    Q_OBJECT
  public:
    explicit CheckWindow(CheckReport report, QWidget* parent = nullptr);
    SketchWidget* Sketch() const { return sketch_; }
    QListWidget* Findings() const { return lstFindings_; }

  private:
    CheckReport report_;
    SketchWidget* sketch_ = nullptr;
    QListWidget* lstFindings_ = nullptr;
};

}  // namespace talvik::gui
