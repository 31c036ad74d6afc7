// The surface files' number format against the C library's printf("%.20f").

#include "fixed20.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

std::string printed(double value) {
#ifdef _WIN32
    // This C library drops the sign of a NaN; the files carry it, as glibc prints it.
    if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
#endif
    char text[400];
    std::snprintf(text, sizeof text, "%.20f", value);
    return text;
}

std::string written(double value) {
    char text[400];
    *writeFixed20(text, value) = '\0';
    return text;
}

}  // namespace

// Random bit patterns; every magnitude from tiny to huge; exact halves at the 20th decimal
// (n * 2^-21 has 21 decimals ending in 5), which round to even; carries into the integer part
// and the edges of the fast range.
TEST(Fixed20, PrintsAsPrintfDoes) {
    std::mt19937_64 random(31);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::vector<double> values;
    for (int k = 0; k < 20000; ++k) {
        const std::uint64_t bits = random();
        values.push_back(0);
        std::memcpy(&values.back(), &bits, sizeof bits);
    }
    for (int exponent = -80; exponent <= 60; ++exponent)
        for (int k = 0; k < 1000; ++k) values.push_back(std::ldexp(unit(random), exponent));
    for (std::int64_t n = -3000; n <= 3000; ++n)
        for (int shift : {21, 22, 23, 24})
            values.push_back(std::ldexp(static_cast<double>(n * 2 + 1), -shift));
    using limits = std::numeric_limits<double>;
    for (double edge :
         {0.0, -0.0, 0.99999999999999999999, 9.999999999999999e-21, std::nextafter(1.0, 0.0),
          std::ldexp(1.0, 53), std::nextafter(std::ldexp(1.0, 53), 0.0), std::ldexp(1.0, -58),
          std::ldexp(1.0, -59), std::ldexp(1.0, -67), limits::denorm_min(), -limits::denorm_min(),
          limits::max(), -limits::max(), limits::infinity(), -limits::infinity(),
          limits::quiet_NaN(), -limits::quiet_NaN()})
        values.push_back(edge);
    for (double value : values) ASSERT_EQ(written(value), printed(value)) << std::hexfloat << value;
    EXPECT_EQ(written(std::ldexp(3.0, -21)), "0.00000143051147460938");
}
