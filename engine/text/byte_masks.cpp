#include "byte_masks.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "text_scan.h"

ByteMasks classifyBytes(const char* p) {
    ByteMasks masks{0, 0, 0};
#if defined(__SSE2__)
    const __m128i blank = _mm_set1_epi8(' ');
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i four = _mm_set1_epi8(4);
    const __m128i lineFeed = _mm_set1_epi8('\n');
    const __m128i zero = _mm_setzero_si128();
    for (int k = 0; k < 4; ++k) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
        // \t ... \r are the bytes whose distance above \t is at most 4, unsigned.
        const __m128i above = _mm_sub_epi8(bytes, tab);
        const __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(above, four), above);
        const __m128i space = _mm_or_si128(_mm_cmpeq_epi8(bytes, blank), control);
        const int shift = 16 * k;
        masks.space |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(space)))
                       << shift;
        masks.lineFeed |= static_cast<std::uint64_t>(static_cast<unsigned>(
                              _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lineFeed))))
                          << shift;
        masks.nul |= static_cast<std::uint64_t>(
                         static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, zero))))
                     << shift;
    }
#else
    for (int k = 0; k < 64; ++k) {
        const unsigned char c = static_cast<unsigned char>(p[k]);
        const std::uint64_t bit = 1ull << k;
        if (isCSpace(c)) masks.space |= bit;
        if (c == '\n') masks.lineFeed |= bit;
        if (c == 0) masks.nul |= bit;
    }
#endif
    return masks;
}

std::size_t countValueStarts(const char* begin, const char* end) {
    std::size_t count = 0;
    bool inValue = false;
    const char* p = begin;
    for (; end - p >= 64; p += 64) {
        const std::uint64_t value = ~classifyBytes(p).space;
        count += static_cast<std::size_t>(countBits(value & ~((value << 1) | (inValue ? 1u : 0u))));
        inValue = (value >> 63) != 0;
    }
    for (; p != end; ++p) {
        const bool space = isCSpace(static_cast<unsigned char>(*p));
        if (!space && !inValue) ++count;
        inValue = !space;
    }
    return count;
}
