#include "shift/ShiftTable.h"

#include <algorithm>

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
        order_.push_back(order_.size());
    }
}

void ShiftTable::SortBy(std::size_t column) {
    if (column >= kColumns.size()) return;
    if (column_ == static_cast<int>(column)) {
        descending_ = !descending_;
        std::reverse(order_.begin(), order_.end());
        return;
    }
    column_ = static_cast<int>(column);
    descending_ = false;
    const bool numbers = column >= kFirstNumber && column <= kLastNumber;
    std::stable_sort(order_.begin(), order_.end(), [&](std::size_t a, std::size_t b) {
        const std::string& p = cells_[a][column];
        const std::string& q = cells_[b][column];
        if (!numbers) return p < q;
        if (p.empty() || q.empty()) return !p.empty() && q.empty();
        return NumericValue(p) < NumericValue(q);
    });
}

std::string ShiftTable::TabText() const {
    std::string text;
    for (std::size_t c = 0; c < kColumns.size(); ++c)
        text += std::string(c ? "\t" : "") + std::string(kColumns[c]);
    text += "\r\n";
    for (std::size_t r = 0; r < Rows(); ++r) {
        for (std::size_t c = 0; c < kColumns.size(); ++c)
            text += (c ? "\t" : "") + Cell(r, c);
        text += "\r\n";
    }
    return text;
}

}  // namespace talvik
