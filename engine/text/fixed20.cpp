#include "fixed20.h"

#include <charconv>
#include <cstdint>
#include <cstring>

namespace {

__extension__ typedef unsigned __int128 Wide;

// "00" ... "99".
constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Five digits of n < 100000, with leading zeros.
char* writeFive(char* out, std::uint32_t n) {
    out[0] = static_cast<char>('0' + n / 10000);
    n %= 10000;
    std::memcpy(out + 1, kPairs + 2 * (n / 100), 2);
    std::memcpy(out + 3, kPairs + 2 * (n % 100), 2);
    return out + 5;
}

char* writeInteger(char* out, std::uint64_t n) {
    char digits[20];
    char* p = digits + sizeof digits;
    while (n >= 100) {
        p -= 2;
        std::memcpy(p, kPairs + 2 * (n % 100), 2);
        n /= 100;
    }
    if (n >= 10) {
        p -= 2;
        std::memcpy(p, kPairs + 2 * n, 2);
    } else {
        *--p = static_cast<char>('0' + n);
    }
    const std::size_t length = static_cast<std::size_t>(digits + sizeof digits - p);
    std::memcpy(out, p, length);
    return out + length;
}

}  // namespace

char* writeFixed20(char* out, double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const int exponent = static_cast<int>((bits >> 52) & 0x7ff);
    const std::uint64_t fraction = bits & ((1ull << 52) - 1);
    // value = mantissa * 2^-shift
    const std::uint64_t mantissa = exponent == 0 ? fraction : fraction | (1ull << 52);
    const int shift = exponent == 0 ? 1074 : 1075 - exponent;
    // Shifts up to 111 keep rest * 100000 below 2^128.
    if (mantissa != 0 && (shift < 1 || shift > 111))
        return std::to_chars(out, out + 336, value, std::chars_format::fixed, 20).ptr;

    if (bits >> 63) *out++ = '-';
    if (mantissa == 0) {
        std::memcpy(out, "0.00000000000000000000", 22);
        return out + 22;
    }
    std::uint64_t integer = shift >= 64 ? 0 : mantissa >> shift;
    const Wide mask = (Wide(1) << shift) - 1;
    Wide rest = Wide(mantissa) & mask;
    // The 20 digits after the point, in groups of ten while rest * 10^10 stays below 2^128,
    // of five beyond.
    std::uint32_t groups[4];
    if (shift <= 94) {
        std::uint64_t tens[2];
        for (std::uint64_t& ten : tens) {
            rest *= 10000000000u;
            ten = static_cast<std::uint64_t>(rest >> shift);
            rest &= mask;
        }
        groups[0] = static_cast<std::uint32_t>(tens[0] / 100000);
        groups[1] = static_cast<std::uint32_t>(tens[0] % 100000);
        groups[2] = static_cast<std::uint32_t>(tens[1] / 100000);
        groups[3] = static_cast<std::uint32_t>(tens[1] % 100000);
    } else {
        for (std::uint32_t& group : groups) {
            rest *= 100000u;
            group = static_cast<std::uint32_t>(rest >> shift);
            rest &= mask;
        }
    }
    const Wide half = Wide(1) << (shift - 1);
    if (rest > half || (rest == half && (groups[3] & 1u))) {
        int g = 3;
        while (g >= 0 && ++groups[g] == 100000u) groups[g--] = 0;
        if (g < 0) ++integer;
    }
    out = writeInteger(out, integer);
    *out++ = '.';
    for (std::uint32_t group : groups) out = writeFive(out, group);
    return out;
}
