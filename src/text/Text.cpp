#include "text/Text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace talvik {

namespace {
constexpr std::array<char, 256> MakeUpperTable() {
    std::array<char, 256> table{};
    for (int b = 0; b < 256; ++b) {
        int upper = b;
        if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7)) upper = b - 0x20;
        if (b == 0x9A || b == 0x9C || b == 0x9E) upper = b - 0x10;
        if (b == 0xFF) upper = 0x9F;
        table[static_cast<std::size_t>(b)] = static_cast<char>(upper);
    }
    return table;
}
constexpr std::array<char, 256> kUpper = MakeUpperTable();
}  // namespace

char UpperChar(char c) {
    return kUpper[static_cast<unsigned char>(c)];
}

void ToUpperInto(std::string_view text, std::string& out) {
    out.resize(text.size());
    const char* from = text.data();
    char* to = out.data();
    std::size_t left = text.size();
    // Eight bytes at a time while they are plain ASCII: a-z lose their 0x20 bit.
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHigh = 0x80 * kOnes;
    for (; left >= 8; left -= 8, from += 8, to += 8) {
        std::uint64_t x = 0;
        std::memcpy(&x, from, 8);
        if ((x & kHigh) != 0) {
            for (int k = 0; k < 8; ++k)
                to[k] = kUpper[static_cast<unsigned char>(from[k])];
            continue;
        }
        const std::uint64_t atLeastA = x + (0x80 - 'a') * kOnes;  // no carry: bytes below 0x80
        const std::uint64_t aboveZ = x + (0x80 - 'z' - 1) * kOnes;
        x ^= (atLeastA & ~aboveZ & kHigh) >> 2;
        std::memcpy(to, &x, 8);
    }
    for (; left > 0; --left)
        *to++ = kUpper[static_cast<unsigned char>(*from++)];
}

std::string ToUpper(std::string_view text) {
    std::string out;
    ToUpperInto(text, out);
    return out;
}

std::string_view TrimLeftBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view{} : text.substr(first);
}

std::string_view TrimBlanks(std::string_view text) {
    text = TrimLeftBlanks(text);
    const auto last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1);
}

namespace {
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
}  // namespace

double NumericValue(std::string_view word) {
    const char* p = word.data();
    const char* const end = p + word.size();
    while (p < end && *p == ' ')
        ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    const char* const mantissa = p;
    // The digits are gathered as an integer on the way: with up to 15 digits and no exponent,
    // one division by an exact power of ten gives the correctly rounded value, the same that
    // from_chars finds.
    std::uint64_t whole = 0;
    std::size_t digits = 0;
    while (p < end && IsDigit(*p)) {
        whole = whole * 10 + static_cast<std::uint64_t>(*p - '0');
        ++p, ++digits;
    }
    std::size_t decimals = 0;
    if (p < end && *p == '.') {
        ++p;
        while (p < end && IsDigit(*p)) {
            whole = whole * 10 + static_cast<std::uint64_t>(*p - '0');
            ++p, ++decimals;
        }
    }
    digits += decimals;
    if (digits == 0) return 0.0;
    const char* last = p;
    if (p < end && (*p == 'E' || *p == 'e')) {
        const char* q = p + 1;
        if (q < end && (*q == '+' || *q == '-')) ++q;
        if (q < end && IsDigit(*q)) {
            while (q < end && IsDigit(*q))
                ++q;
            last = q;
        }
    }
    static constexpr double kPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    if (last == p && digits <= 15) {
        const double value = static_cast<double>(whole) / kPow10[decimals];
        return negative ? -value : value;
    }
    double value = 0.0;
    const auto result = std::from_chars(mantissa, last, value, std::chars_format::general);
    if (result.ec != std::errc{} || !std::isfinite(value)) return 0.0;
    return negative ? -value : value;
}

std::optional<std::int16_t> RoundToInt16(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    const double rounded = std::nearbyint(value);  // default rounding mode: half to even
    if (rounded < std::numeric_limits<std::int16_t>::min() ||
        rounded > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

std::string FitName9(std::string_view name) {
    std::string out(name.substr(0, 9));
    out.resize(9, ' ');
    return out;
}

std::string IntText(long long value) {
    std::array<char, 24> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

std::size_t FindFrom1(std::string_view haystack, std::string_view needle) {
    const auto pos = haystack.find(needle);
    return pos == std::string_view::npos ? 0 : pos + 1;
}

namespace {
// Unicode code points of the bytes 0x80-0x9F; 0 where Windows-1252 has no character.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}
}  // namespace

std::string Utf8From1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        char32_t cp = b;
        // Undefined bytes map to the C1 control of the same value, so nothing is lost.
        if (b >= 0x80 && b <= 0x9F && kHigh[b - 0x80] != 0) cp = kHigh[b - 0x80];
        AppendUtf8(out, cp);
    }
    return out;
}

std::string Cp1252FromUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        char32_t cp = 0;
        std::size_t len = 1;
        if (b < 0x80) {
            cp = b;
        } else if ((b & 0xE0) == 0xC0) {
            cp = b & 0x1F, len = 2;
        } else if ((b & 0xF0) == 0xE0) {
            cp = b & 0x0F, len = 3;
        } else if ((b & 0xF8) == 0xF0) {
            cp = b & 0x07, len = 4;
        } else {
            out.push_back('?');
            ++i;
            continue;
        }
        if (i + len > utf8.size()) {
            out.push_back('?');
            break;
        }
        bool valid = true;
        for (std::size_t k = 1; k < len; ++k) {
            const auto cb = static_cast<unsigned char>(utf8[i + k]);
            if ((cb & 0xC0) != 0x80) valid = false;
            cp = (cp << 6) | (cb & 0x3F);
        }
        i += valid ? len : 1;
        if (!valid) {
            out.push_back('?');
            continue;
        }
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF) ||
            (cp >= 0x80 && cp <= 0x9F && kHigh[cp - 0x80] == 0)) {
            out.push_back(static_cast<char>(cp));
            continue;
        }
        char mapped = '?';
        for (std::size_t k = 0; k < kHigh.size(); ++k) {
            if (kHigh[k] != 0 && kHigh[k] == cp) mapped = static_cast<char>(0x80 + k);
        }
        out.push_back(mapped);
    }
    return out;
}

}  // namespace talvik
