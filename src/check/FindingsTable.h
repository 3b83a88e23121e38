#pragma once
// The check's findings as the windows show them, without a window: one row per finding with
// the texts of its cells (what, the points, the size and the tolerance apart), the notes and
// the count of the findings left out after them; sorted by any column on request, copied as
// tab-separated text, and the rows that name a point for a click in the sketch.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "check/NetworkCheck.h"
#include "text/RowOrder.h"

namespace talvik {

// "1 fout, 2 waarschuwingen": the count as talvik-cli writes it under the findings.
std::string CountText(const CheckReport& report);

class FindingsTable {
  public:
    static constexpr std::array<std::string_view, 5> kColumns = {"ernst", "bevinding", "punten",
                                                                 "grootte", "toegestaan"};
    static constexpr std::size_t kWhat = 1;
    static constexpr std::size_t kSize = 3;
    static constexpr std::size_t kTolerance = 4;
    // What a window shows in place of the table when the check found nothing.
    static constexpr std::string_view kEmpty = "geen bevindingen";

    explicit FindingsTable(const CheckReport& report);

    std::size_t Rows() const { return order_.Rows(); }
    // The text of a cell of the row shown at `row` (Windows-1252, whole).
    const std::string& Cell(std::size_t row, std::size_t column) const {
        return rows_[order_[row]].cells[column];
    }
    bool IsError(std::size_t row) const { return rows_[order_[row]].error; }
    // The points the finding of the row names (indices into the report's points); none for a
    // note.
    const std::vector<std::size_t>& Points(std::size_t row) const {
        return rows_[order_[row]].points;
    }
    // The rows, in the order shown, whose finding names `point`.
    std::vector<std::size_t> RowsOf(std::size_t point) const;

    // Sorts by a column: size and tolerance by their numbers (empty cells last), the severity
    // errors first, the others by their bytes; equal rows keep their order. The same column
    // again reverses the order.
    void SortBy(std::size_t column);
    int SortColumn() const { return order_.Column(); }  // -1: the check's own order
    bool Descending() const { return order_.Descending(); }

    // One row's cells apart by tabs, ending CR LF (for a spreadsheet).
    std::string RowText(std::size_t row) const;
    // The header and every row in the order shown.
    std::string TabText() const;

  private:
    struct Row {
        std::array<std::string, kColumns.size()> cells;
        std::vector<std::size_t> points;
        bool error = false;
        int rank = 0;  // of the severity: error, warning, note, the count left out
    };
    std::vector<Row> rows_;
    RowOrder order_;
};

}  // namespace talvik
