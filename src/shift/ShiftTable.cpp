#include "shift/ShiftTable.h"

#include "text/Text.h"

namespace talvik {

namespace {

constexpr std::size_t kFirstNumber = 1;
constexpr std::size_t kLastNumber = 7;

}  // namespace

ShiftTable::ShiftTable(const ShiftReport& report) {
    for (const std::size_t i : report.Ranked()) {
        const ShiftRow& row = report.Rows()[i];
        const bool compared = row.kind == ShiftKind::Compared;
        const auto shift = [&](double metres, bool shown) {
            return compared && shown ? MetresText(metres) : std::string();
        };
        cells_.push_back({row.name, row.x, row.y, row.h, shift(row.dx, true), shift(row.dy, true),
                          shift(row.dh, row.hasHeight), shift(row.horizontal, true),
                          ShiftStatus(row)});
        flagged_.push_back(row.flags != 0);
    }
    order_ = RowOrder(cells_.size());
}

void ShiftTable::SortBy(std::size_t column) {
    if (column >= kColumns.size()) return;
    const bool numbers = column >= kFirstNumber && column <= kLastNumber;
    order_.SortBy(column, [&](std::size_t a, std::size_t b) {
        return CellBefore(cells_[a][column], cells_[b][column], numbers);
    });
}

std::string ShiftTable::TabText() const {
    return talvik::TabText(
        kColumns, Rows(),
        [this](std::size_t r, std::size_t c) -> const std::string& { return Cell(r, c); });
}

}  // namespace talvik
