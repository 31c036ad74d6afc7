#include "number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>

TEST(NumberText, IntegerTakesSignDigitsAndSurroundingBlanks) {
    int value = 0;
    EXPECT_TRUE(parseIntegerText("42", value));
    EXPECT_EQ(value, 42);
    EXPECT_TRUE(parseIntegerText(" \t-17 \r\n", value));
    EXPECT_EQ(value, -17);
    EXPECT_TRUE(parseIntegerText("+8", value));
    EXPECT_EQ(value, 8);
    EXPECT_TRUE(parseIntegerText("2147483647", value));
    EXPECT_EQ(value, 2147483647);
    EXPECT_TRUE(parseIntegerText("-2147483648", value));
    EXPECT_EQ(value, std::numeric_limits<int>::min());
}

TEST(NumberText, IntegerRejectsAnythingElseAndKeepsTheValue) {
    for (const char* text : {"", "   ", "abc", "12abc", "1 2", "1.5", "1e3", "+", "- 5", "0x10",
                             "2147483648", "-2147483649", "99999999999999999999"}) {
        int value = 7;
        EXPECT_FALSE(parseIntegerText(text, value)) << '"' << text << '"';
        EXPECT_EQ(value, 7) << text;
    }
    int value = 7;
    EXPECT_FALSE(parseIntegerText(std::string_view("12\0", 3), value));
}

TEST(NumberText, RealReadsWhatStrtodReadsWhole) {
    double value = 0.0;
    EXPECT_TRUE(parseRealText(" 0.25 ", value));
    EXPECT_EQ(value, 0.25);
    EXPECT_TRUE(parseRealText("-1e-3", value));
    EXPECT_EQ(value, -1e-3);
    EXPECT_TRUE(parseRealText("+.5", value));
    EXPECT_EQ(value, 0.5);
    EXPECT_TRUE(parseRealText("0x1p-2", value));
    EXPECT_EQ(value, 0.25);
    EXPECT_TRUE(parseRealText("inf", value));
    EXPECT_TRUE(std::isinf(value));
    for (const char* text : {"", " ", "abc", "0,5", "1.5x", "1 2", "."}) {
        double kept = 3.0;
        EXPECT_FALSE(parseRealText(text, kept)) << '"' << text << '"';
        EXPECT_EQ(kept, 3.0);
    }
}

TEST(NumberText, FormatsReadBackAsTheSameValue) {
    EXPECT_EQ(formatInteger(0), "0");
    EXPECT_EQ(formatInteger(-2147483647 - 1), "-2147483648");
    EXPECT_EQ(formatReal(0.0), "0");
    EXPECT_EQ(formatReal(0.5), "0.5");
    EXPECT_EQ(formatReal(0.3333), "0.3333");  // a configuration file's four decimals
    EXPECT_EQ(formatReal(-0.25), "-0.25");

    // Random doubles of every magnitude round-trip, and strtod agrees with the reading.
    std::mt19937_64 generator(20240611);
    for (int i = 0; i < 20000; ++i) {
        std::uint64_t bits = generator();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isnan(value)) continue;
        std::string text = formatReal(value);
        double back = 0.0;
        ASSERT_TRUE(parseRealText(text, back)) << text;
        ASSERT_EQ(back, value) << text;
        ASSERT_EQ(std::strtod(text.c_str(), nullptr), value) << text;
    }
}
