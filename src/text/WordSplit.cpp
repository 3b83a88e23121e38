#include "text/WordSplit.h"

#include <bit>
#include <cstdint>

#include "text/Text.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace talvik {

namespace {

#if defined(__SSE2__)
// Sixteen bytes at a time, read from the line itself: the upper-cased bytes go to `upper`, and
// a mask of the blanks among them gives the words' starts and ends without a branch per byte.
// The last sixteen bytes of the line are read once more where the line is not a multiple of
// sixteen long. Lines of sixteen bytes or more.
void SplitWide(std::string_view line, std::string& upper, std::vector<std::string_view>& words) {
    const std::size_t n = line.size();
    const char* const from = line.data();
    char* const to = upper.data();
    const __m128i blank = _mm_set1_epi8(' ');
    const __m128i beforeA = _mm_set1_epi8('a' - 1);
    const __m128i afterZ = _mm_set1_epi8('z' + 1);
    const __m128i caseBit = _mm_set1_epi8(0x20);
    std::uint32_t carry = 0;  // 1 when a word runs on from the bytes before
    std::size_t start = 0;
    for (std::size_t base = 0; base < n; base += 16) {
        const std::size_t at = base + 16 <= n ? base : n - 16;
        const auto skip = static_cast<unsigned>(base - at);  // bytes read before already
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + at));
        if (_mm_movemask_epi8(bytes) == 0) {
            // Plain ASCII: a-z lose their 0x20 bit.
            const __m128i lower =
                _mm_and_si128(_mm_cmpgt_epi8(bytes, beforeA), _mm_cmpgt_epi8(afterZ, bytes));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to + at),
                             _mm_sub_epi8(bytes, _mm_and_si128(lower, caseBit)));
        } else {
            for (std::size_t k = at; k < at + 16; ++k)
                to[k] = UpperChar(from[k]);
        }
        const auto blanks =
            static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, blank)));
        const std::uint32_t inWord = (~blanks & 0xFFFFu) >> skip;
        const std::uint32_t count = 16 - skip;
        std::uint32_t edges = (inWord ^ ((inWord << 1) | carry)) & ((1u << count) - 1);
        while (edges != 0) {
            const auto bit = static_cast<unsigned>(std::countr_zero(edges));
            edges &= edges - 1;
            if (((inWord >> bit) & 1u) != 0)
                start = base + bit;
            else
                words.emplace_back(to + start, base + bit - start);
        }
        carry = (inWord >> (count - 1)) & 1u;
    }
    if (carry != 0) words.emplace_back(to + start, n - start);
}
#endif

}  // namespace

void SplitWords(std::string_view line, std::string& upper, std::vector<std::string_view>& words) {
    words.clear();
#if defined(__SSE2__)
    if (line.size() >= 16) {
        upper.resize(line.size());
        SplitWide(line, upper, words);
        return;
    }
#endif
    ToUpperInto(line, upper);
    const char* const text = upper.data();
    CutWords(upper, [&](std::size_t begin, std::size_t end) {
        words.emplace_back(text + begin, end - begin);
        return true;
    });
}

void SplitWords(std::string_view line, std::vector<std::string>& words) {
    std::size_t count = 0;
    CutWords(line, [&](std::size_t begin, std::size_t end) {
        if (count == words.size()) words.emplace_back();
        ToUpperInto(line.substr(begin, end - begin), words[count++]);
        return true;
    });
    words.resize(count);
}

}  // namespace talvik
