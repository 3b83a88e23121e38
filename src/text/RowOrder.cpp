#include "text/RowOrder.h"

#include <algorithm>
#include <numeric>

#include "text/Text.h"

namespace talvik {

bool CellBefore(const std::string& p, const std::string& q, bool numbers) {
    if (!numbers) return p < q;
    if (p.empty() || q.empty()) return !p.empty() && q.empty();
    return NumericValue(p) < NumericValue(q);
}

RowOrder::RowOrder(std::size_t rows) : order_(rows) {
    std::iota(order_.begin(), order_.end(), std::size_t{0});
}

void RowOrder::SortBy(std::size_t column,
                      const std::function<bool(std::size_t, std::size_t)>& before) {
    if (column_ == static_cast<int>(column)) {
        descending_ = !descending_;
        std::reverse(order_.begin(), order_.end());
        return;
    }
    column_ = static_cast<int>(column);
    descending_ = false;
    std::stable_sort(order_.begin(), order_.end(), before);
}

std::string TabText(std::span<const std::string_view> header, std::size_t rows,
                    const std::function<const std::string&(std::size_t, std::size_t)>& cell) {
    std::string text;
    for (std::size_t c = 0; c < header.size(); ++c)
        text.append(c ? "\t" : "").append(header[c]);
    text += "\r\n";
    for (std::size_t r = 0; r < rows; ++r) {
        for (std::size_t c = 0; c < header.size(); ++c)
            text.append(c ? "\t" : "").append(cell(r, c));
        text += "\r\n";
    }
    return text;
}

}  // namespace talvik
