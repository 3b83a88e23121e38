#pragma once
// The shift report after an import: the summary above the table of every point, the flagged
// points first and in red. A click on a column's heading sorts by it (again: the other way);
// the copy button puts the table on the clipboard with tabs between the columns, as a
// spreadsheet takes it. Closing the window ends the import.

#include <QWidget>

#include "shift/ShiftReport.h"
#include "shift/ShiftTable.h"

class QLabel;
class QTableWidget;

namespace talvik::gui {

class ShiftWindow : public QWidget {
    Q_OBJECT
  public:
    explicit ShiftWindow(const ShiftReport& report, QWidget* parent = nullptr);

    QLabel* Summary() const { return lblShifts_; }
    QTableWidget* Table() const { return lstShifts_; }
    ShiftTable& Model() { return table_; }
    // Sorts by a column as a click on its heading does.
    void SortBy(int column);
    // Puts the table on the clipboard as the copy button does.
    void Copy();

  signals:
    void closed();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void Fill();

    ShiftTable table_;
    QLabel* lblShifts_ = nullptr;
    QTableWidget* lstShifts_ = nullptr;
};

}  // namespace talvik::gui
