#include "number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>

#include "number_texts.h"

// The dialog's fields read the shared table of number texts whole, less surrounding blanks; a
// refused text keeps the field's value.
TEST(NumberText, FieldsReadTheTableOfNumberTexts) {
    for (const NumberText& n : numberTexts()) {
        int integer = 7;
        EXPECT_EQ(parseIntegerText(n.text, integer), n.integer.has_value()) << '"' << n.text << '"';
        EXPECT_EQ(integer, n.integer.value_or(7)) << n.text;
        double real = 3.0;
        EXPECT_EQ(parseRealText(n.text, real), n.real.has_value()) << '"' << n.text << '"';
        if (!std::isnan(real)) {
            EXPECT_EQ(real, n.real.value_or(3.0)) << n.text;
        }
    }
    int value = 7;
    EXPECT_FALSE(parseIntegerText(std::string_view("12\0", 3), value));
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
