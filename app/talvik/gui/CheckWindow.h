#pragma once
// The network check's window: the sketch (wheel zooms, dragging pans, + and - zoom, the arrows
// pan, Home, a double click or the fit button fits the network; clicking a point chooses its
// findings) beside the table of findings (sortable by a column, Ctrl+C or the copy button
// copies as tab-separated text); choosing a finding marks its points in full red. Escape
// closes it.

#include <QWidget>
#include <optional>

#include "check/FindingsTable.h"
#include "check/NetworkCheck.h"
#include "check/Sketch.h"

class QLabel;
class QTableWidget;

namespace talvik::gui {

// Draws a check report with QPainter through the core's SketchView, in the palette's colours.
class SketchWidget : public QWidget {
    Q_OBJECT
  public:
    explicit SketchWidget(const CheckReport& report, QWidget* parent = nullptr);
    void SetMarks(SketchMarks marks);
    void Fit();
    const SketchView& View() const { return view_; }

  signals:
    // A click (not a drag) on a drawn point.
    void pointClicked(std::size_t point);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    const CheckReport& report_;
    SketchView view_;
    SketchMarks marks_;
    QPointF drag_;
    bool dragged_ = false;
    bool moved_ = false;  // zoomed or panned by the user: a resize keeps the view
};

class CheckWindow : public QWidget {
    Q_OBJECT
  public:
    explicit CheckWindow(CheckReport report, QWidget* parent = nullptr);
    SketchWidget* Sketch() const { return sketch_; }
    QTableWidget* Findings() const { return tblFindings_; }
    const FindingsTable& Table() const { return table_; }
    // Copies the chosen rows, or all with the header when none or every row is chosen.
    void Copy() const;
    void CopyCoordinates() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Fill();
    void Chosen();

    CheckReport report_;
    FindingsTable table_;
    SketchWidget* sketch_ = nullptr;
    QTableWidget* tblFindings_ = nullptr;
    QLabel* empty_ = nullptr;
};

}  // namespace talvik::gui
