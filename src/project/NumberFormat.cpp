#include "project/NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cstddef>

namespace talvik {

namespace {

// Longest text: a sign, 309 integer digits of the largest double, the point, the decimals.
constexpr int kMaxDecimals = 30;
constexpr std::size_t kBufferSize = 400;

struct Number {
    char text[kBufferSize];
    std::size_t size = 0;
    bool mark = false;
};

int DecimalsOf(std::string_view format) {
    const auto point = format.find('.');
    if (point == std::string_view::npos) return 0;
    const auto count = static_cast<int>(format.size() - point - 1);
    return std::min(count, kMaxDecimals);
}

// Fills `n` with the text of `value` by `format`, without the mark.
void Render(Number& n, double value, std::string_view format) {
    n.mark = !format.empty() && format.back() == '*';
    if (n.mark) format.remove_suffix(1);
    const auto result = std::to_chars(n.text, n.text + kBufferSize, value, std::chars_format::fixed,
                                      DecimalsOf(format));
    n.size = result.ec == std::errc{} ? static_cast<std::size_t>(result.ptr - n.text) : 0;
    // A negative value that rounds to zero is written as zero.
    if (n.size > 1 && n.text[0] == '-' &&
        std::all_of(n.text + 1, n.text + n.size, [](char c) { return c == '0' || c == '.'; })) {
        std::copy(n.text + 1, n.text + n.size, n.text);
        --n.size;
    }
}

}  // namespace

void AppendValue(std::string& out, double value, std::string_view format) {
    Number n;
    Render(n, value, format);
    out.append(n.text, n.size);
    if (n.mark) out.push_back('*');
}

void AppendAngle(std::string& out, double value, std::string_view format, int angleUnit) {
    Number n;
    Render(n, value, format);
    std::string_view t(n.text, n.size);
    out.append("  ");
    // A reading of a full circle (400 gon) is written as 0 with the same width.
    const bool fullCircle = t.starts_with("400.");
    if (fullCircle) {
        out.append("  ");
        t.remove_prefix(2);
    }
    const auto point = t.find('.');
    if (angleUnit == 0 && point != std::string_view::npos) {
        // Degrees, minutes and seconds: "DDD.MMSS" becomes "DDD MM SS".
        const std::string_view decimals = t.substr(point + 1);
        out.append(t.substr(0, point));
        out.push_back(' ');
        out.append(decimals.substr(0, 2));
        out.push_back(' ');
        if (decimals.size() > 2) out.append(decimals.substr(2));
    } else {
        out.append(t);
    }
    if (n.mark) out.push_back('*');
}

std::string FormatValue(double value, std::string_view format) {
    std::string out;
    AppendValue(out, value, format);
    return out;
}

std::string FormatAngle(double value, std::string_view format, int angleUnit) {
    std::string out;
    AppendAngle(out, value, format, angleUnit);
    return out;
}

}  // namespace talvik
