// The surface files' number format against the C library's printf("%.20f").

#include "fixed20.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

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

TEST(Fixed20, RandomBitPatternsPrintAsPrintfDoes) {
    std::mt19937_64 random(31);
    for (int k = 0; k < 20000; ++k) {
        const std::uint64_t bits = random();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        ASSERT_EQ(written(value), printed(value)) << std::hexfloat << value;
    }
}

TEST(Fixed20, EveryMagnitudeFromTinyToHugePrintsAsPrintfDoes) {
    std::mt19937_64 random(32);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    for (int exponent = -80; exponent <= 60; ++exponent)
        for (int k = 0; k < 1000; ++k) {
            const double value = std::ldexp(unit(random), exponent);
            ASSERT_EQ(written(value), printed(value)) << std::hexfloat << value;
        }
}

// n * 2^-21 has 21 decimals ending in 5: the 20th digit is rounded from an exact half, to even.
TEST(Fixed20, ExactHalvesRoundToEvenAsPrintfDoes) {
    for (std::int64_t n = -3000; n <= 3000; ++n)
        for (int shift : {21, 22, 23, 24}) {
            const double value = std::ldexp(static_cast<double>(n * 2 + 1), -shift);
            ASSERT_EQ(written(value), printed(value)) << std::hexfloat << value;
        }
    EXPECT_EQ(written(std::ldexp(1.0, -21)), "0.00000047683715820312");
    EXPECT_EQ(written(std::ldexp(3.0, -21)), "0.00000143051147460938");
}

TEST(Fixed20, CarriesIntoTheIntegerAndEdgesOfTheFastRange) {
    const double limit = std::numeric_limits<double>::max();
    const double edges[] = {0.0,
                            -0.0,
                            0.99999999999999999999,
                            9.999999999999999e-21,
                            std::nextafter(1.0, 0.0),
                            std::ldexp(1.0, 53),
                            std::nextafter(std::ldexp(1.0, 53), 0.0),
                            std::ldexp(1.0, -58),
                            std::ldexp(1.0, -59),
                            std::ldexp(1.0, -67),
                            std::numeric_limits<double>::denorm_min(),
                            -std::numeric_limits<double>::denorm_min(),
                            limit,
                            -limit,
                            std::numeric_limits<double>::infinity(),
                            -std::numeric_limits<double>::infinity(),
                            std::numeric_limits<double>::quiet_NaN(),
                            -std::numeric_limits<double>::quiet_NaN()};
    for (double value : edges) EXPECT_EQ(written(value), printed(value)) << std::hexfloat << value;
}
