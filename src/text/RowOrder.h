#pragma once
// The order in which a window shows a table's rows: by a column when its header is clicked, the
// same column again reversing it; rows that compare equal keep their order. And the table as tab-
// separated text for the clipboard.

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace talvik {

// Two cells in sorting order: numbers by their value with empty cells last, other text by its
// bytes.
bool CellBefore(const std::string& p, const std::string& q, bool numbers);

class RowOrder {
  public:
    // The rows 0 .. rows-1 in their first order.
    explicit RowOrder(std::size_t rows = 0);

    std::size_t Rows() const { return order_.size(); }
    // The table's own index of the row shown at `shown`.
    std::size_t operator[](std::size_t shown) const { return order_[shown]; }

    // Sorts by `column` with `before`, a strict weak order on the table's own indices; the
    // column sorted last again reverses the order instead.
    void SortBy(std::size_t column, const std::function<bool(std::size_t, std::size_t)>& before);
    int Column() const { return column_; }  // -1: the first order
    bool Descending() const { return descending_; }

  private:
    std::vector<std::size_t> order_;
    int column_ = -1;
    bool descending_ = false;
};

// The header and `rows` rows (cell(row, column) in the order shown), cells apart by tabs, every
// line ending CR LF.
std::string TabText(std::span<const std::string_view> header, std::size_t rows,
                    const std::function<const std::string&(std::size_t, std::size_t)>& cell);

}  // namespace talvik
