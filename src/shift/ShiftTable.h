#pragma once
// The shift report as the windows show it, without a window: one row per point with the texts
// of its cells, the flagged points first and the largest shifts first, sorted again by any
// column on request, and copied as tab-separated text.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "shift/ShiftReport.h"
#include "text/RowOrder.h"

namespace talvik {

class ShiftTable {
  public:
    static constexpr std::array<std::string_view, 9> kColumns = {
        "punt", "x", "y", "h", "dx", "dy", "dh", "verschuiving", "status"};

    explicit ShiftTable(const ShiftReport& report);

    std::size_t Rows() const { return order_.Rows(); }
    // The text of a cell of the row shown at `row` (Windows-1252).
    const std::string& Cell(std::size_t row, std::size_t column) const {
        return cells_[order_[row]][column];
    }
    // The point is flagged (shown in red).
    bool Flagged(std::size_t row) const { return flagged_[order_[row]]; }

    // Sorts by a column: the numbers of x to verschuiving by value (empty cells last), name and
    // status by their bytes; rows that are equal keep their order. The same column again
    // reverses the order.
    void SortBy(std::size_t column);
    // The column sorted by last, -1 for the first order (flagged first, largest shift first).
    int SortColumn() const { return order_.Column(); }
    bool Descending() const { return order_.Descending(); }

    // The header and every row in the order shown, cells apart by tabs, lines ending CR LF.
    std::string TabText() const;

  private:
    std::vector<std::array<std::string, kColumns.size()>> cells_;
    std::vector<bool> flagged_;
    RowOrder order_;
};

}  // namespace talvik
