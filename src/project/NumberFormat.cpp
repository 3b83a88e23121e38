#include "project/NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

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

// |value| × 10^4 rounded to the nearest integer, a tie to the even one, computed on the exact
// binary value; false when the result would not fit in 63 bits (or the value is not finite).
bool ScaledBy10000(double value, std::uint64_t& scaled) {
    const double magnitude = std::fabs(value);
    if (!(magnitude < 9.0e14)) return false;
    if (magnitude == 0.0) {
        scaled = 0;
        return true;
    }
    // magnitude = mantissa × 2^(exponent - 1075), so × 10^4 = mantissa × 625 × 2^(exponent - 1071)
    // with the biased exponent of the IEEE double (subnormals: exponent 1, no hidden bit).
    std::uint64_t bits = 0;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const int biased = static_cast<int>(bits >> 52);
    std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
    if (biased != 0) mantissa |= std::uint64_t{1} << 52;
    const int exponent = biased != 0 ? biased : 1;
    const std::uint64_t product = mantissa * 625;  // below 2^63
    const int shift = 1071 - exponent;             // at least -1 below 9e14
    if (shift <= 0) {
        scaled = product << -shift;
    } else if (shift >= 64) {
        scaled = 0;  // below a half
    } else {
        const std::uint64_t whole = product >> shift;
        const std::uint64_t rest = product & ((std::uint64_t{1} << shift) - 1);
        const std::uint64_t half = std::uint64_t{1} << (shift - 1);
        scaled = whole + ((rest > half || (rest == half && (whole & 1) != 0)) ? 1 : 0);
    }
    return true;
}

// Fills `n` with the text of `value` by `format`, without the mark.
void Render(Number& n, double value, std::string_view format) {
    n.mark = !format.empty() && format.back() == '*';
    if (n.mark) format.remove_suffix(1);
    const int decimals = DecimalsOf(format);
    std::uint64_t scaled = 0;
    if (decimals == 4 && ScaledBy10000(value, scaled)) {
        // The usual four decimals in integer arithmetic; the same text as below.
        char* p = n.text;
        if (value < 0 && scaled != 0) *p++ = '-';
        p = std::to_chars(p, n.text + kBufferSize, scaled / 10000).ptr;
        std::uint64_t rest = scaled % 10000;
        *p++ = '.';
        for (int k = 3; k >= 0; --k, rest /= 10)
            p[k] = static_cast<char>('0' + rest % 10);
        n.size = static_cast<std::size_t>(p + 4 - n.text);
        return;
    }
    const auto result =
        std::to_chars(n.text, n.text + kBufferSize, value, std::chars_format::fixed, decimals);
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

void AppendAngle(std::string& out, double value, std::string_view format, AngleUnit angleUnit) {
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
    if (angleUnit == AngleUnit::DegreesMinutesSeconds && point != std::string_view::npos) {
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

namespace {

// The integer part and four decimals of |value| × 10^4 = scaled, at `p`.
char* WriteScaled(char* p, bool negative, std::uint64_t scaled) {
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    if (negative && scaled != 0) *p++ = '-';
    p = std::to_chars(p, p + 24, scaled / 10000).ptr;
    const auto rest = static_cast<unsigned>(scaled % 10000);
    *p = '.';
    std::memcpy(p + 1, kPairs + 2 * (rest / 100), 2);
    std::memcpy(p + 3, kPairs + 2 * (rest % 100), 2);
    return p + 5;
}

}  // namespace

char* WriteValue(char* at, double value) {
    std::uint64_t scaled = 0;
    if (ScaledBy10000(value, scaled)) return WriteScaled(at, value < 0, scaled);
    Number n;
    Render(n, value, kNumberFormat);
    std::memcpy(at, n.text, n.size);
    return at + n.size;
}

char* WriteAngle(char* at, double value, AngleUnit angleUnit) {
    std::uint64_t scaled = 0;
    if (!ScaledBy10000(value, scaled)) {
        std::string text;
        AppendAngle(text, value, kNumberFormat, angleUnit);
        std::memcpy(at, text.data(), text.size());
        return at + text.size();
    }
    // The text as AppendAngle makes it, changed in place: two blanks in front, the "40" of a
    // full circle blanked, and in degrees, minutes and seconds "D.MMSS" turned into "D MM SS".
    at[0] = ' ';
    at[1] = ' ';
    char* const number = at + 2;
    char* end = WriteScaled(number, value < 0, scaled);
    if (end - number >= 4 && std::memcmp(number, "400.", 4) == 0) {
        number[0] = ' ';
        number[1] = ' ';
    }
    if (angleUnit == AngleUnit::DegreesMinutesSeconds) {
        // The point is five places from the end: ".MMSS".
        end[-5] = ' ';
        end[0] = end[-1];
        end[-1] = end[-2];
        end[-2] = ' ';
        ++end;
    }
    return end;
}

}  // namespace talvik
