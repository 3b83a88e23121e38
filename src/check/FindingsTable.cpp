#include "check/FindingsTable.h"

#include <algorithm>
#include <charconv>

#include "text/Text.h"

namespace talvik {

namespace {

constexpr std::string_view kAllowed = " (toegestaan ";

bool IsNumber(std::string_view word) {
    if (word.starts_with('-')) word.remove_prefix(1);
    double value = 0.0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    return !word.empty() && error == std::errc() && end == word.data() + word.size();
}

// The last amount of the text: a number followed by its unit ("0.052 m", "0.0123 gon").
std::string LastAmount(std::string_view text) {
    std::vector<std::string_view> words;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        if (end > at) words.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    std::string amount;
    for (std::size_t i = 0; i + 1 < words.size(); ++i) {
        std::string_view unit = words[i + 1];
        while (!unit.empty() && (unit.back() == ',' || unit.back() == ';' || unit.back() == ':'))
            unit.remove_suffix(1);
        if (IsNumber(words[i]) && (unit == "m" || unit == "gon" || unit == "graden"))
            amount = std::string(words[i]) + " " + std::string(unit);
    }
    return amount;
}

std::string Tabless(std::string text) {
    std::replace(text.begin(), text.end(), '\t', ' ');
    return text;
}

}  // namespace

std::string CountText(const CheckReport& report) {
    const std::size_t errors = report.Errors();
    const std::size_t warnings = report.Warnings();
    return std::to_string(errors) + (errors == 1 ? " fout, " : " fouten, ") +
           std::to_string(warnings) + (warnings == 1 ? " waarschuwing" : " waarschuwingen");
}

FindingsTable::FindingsTable(const CheckReport& report) {
    for (const Finding& f : report.findings) {
        Row row;
        row.error = f.severity == Severity::Error;
        row.rank = row.error ? 0 : 1;
        // The tolerance of the first rule the finding names (a rejection joined to a rule's
        // finding follows it).
        std::string text = f.text;
        const std::size_t allowed = text.find(kAllowed);
        const std::size_t close = allowed == std::string::npos ? allowed : text.find(')', allowed);
        std::string size;
        if (close != std::string::npos) {
            row.cells[kTolerance] =
                text.substr(allowed + kAllowed.size(), close - allowed - kAllowed.size());
            size = LastAmount(std::string_view(text).substr(0, allowed));
            text.erase(allowed, close + 1 - allowed);
        }
        row.cells[0] = row.error ? "fout" : "waarschuwing";
        row.cells[kWhat] = std::move(text);
        row.cells[kSize] = std::move(size);
        for (const std::size_t n : f.points) {
            if (n >= report.points.size()) continue;
            row.cells[2] += (row.cells[2].empty() ? "" : ", ") + report.points[n].name;
            row.points.push_back(n);
        }
        rows_.push_back(std::move(row));
    }
    if (const std::size_t more = report.errorsLeftOut + report.warningsLeftOut) {
        Row row;
        row.rank = 3;
        row.cells[kWhat] = "... en nog " + std::to_string(more) + " niet getoond";
        rows_.push_back(std::move(row));
    }
    for (const std::string& note : report.notes) {
        Row row;
        row.rank = 2;
        row.cells[0] = "opmerking";
        row.cells[kWhat] = note;
        rows_.push_back(std::move(row));
    }
    for (Row& row : rows_) {
        for (std::string& cell : row.cells)
            cell = Tabless(std::move(cell));
    }
    order_ = RowOrder(rows_.size());
}

std::vector<std::size_t> FindingsTable::RowsOf(std::size_t point) const {
    std::vector<std::size_t> rows;
    for (std::size_t r = 0; r < Rows(); ++r) {
        const std::vector<std::size_t>& points = Points(r);
        if (std::find(points.begin(), points.end(), point) != points.end()) rows.push_back(r);
    }
    return rows;
}

void FindingsTable::SortBy(std::size_t column) {
    if (column >= kColumns.size()) return;
    const bool numbers = column == kSize || column == kTolerance;
    order_.SortBy(column, [&](std::size_t a, std::size_t b) {
        if (column == 0) return rows_[a].rank < rows_[b].rank;
        return CellBefore(rows_[a].cells[column], rows_[b].cells[column], numbers);
    });
}

std::string FindingsTable::RowText(std::size_t row) const {
    std::string text;
    for (std::size_t c = 0; c < kColumns.size(); ++c)
        text += (c ? "\t" : "") + Cell(row, c);
    return text + "\r\n";
}

std::string FindingsTable::TabText() const {
    return talvik::TabText(
        kColumns, Rows(),
        [this](std::size_t r, std::size_t c) -> const std::string& { return Cell(r, c); });
}

}  // namespace talvik
