#pragma once

#include <cstddef>
#include <cstdint>

// The scanners' view of 64 bytes at a time: bit k of each mask says what byte k is. The
// loader's passes use them to step over long runs of digits and blanks without looking at every
// byte in turn.
struct ByteMasks {
    std::uint64_t space;     // C white space: blank, \t, \n, \v, \f, \r
    std::uint64_t lineFeed;  // \n
    std::uint64_t nul;       // a byte of value 0
};

// Classifies p[0] ... p[63].
ByteMasks classifyBytes(const char* p);

// Bits 0 ... n-1 set (all 64 when n >= 64).
inline std::uint64_t bitsBelow(int n) {
    return n >= 64 ? ~0ull : (1ull << n) - 1;
}

// The number of bits set, without the library call that a build for the x86-64 baseline makes of
// __builtin_popcountll.
inline int countBits(std::uint64_t x) {
    x = x - ((x >> 1) & 0x5555555555555555ull);
    x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
    x = (x + (x >> 4)) & 0x0f0f0f0f0f0f0f0full;
    return static_cast<int>((x * 0x0101010101010101ull) >> 56);
}

// The number of values (maximal runs of bytes that are not white space) that begin in
// [begin, end), where begin is taken to follow white space.
std::size_t countValueStarts(const char* begin, const char* end);
