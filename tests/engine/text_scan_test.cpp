#include "text_scan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include "number_format.h"

namespace {

bool parse(const std::string& text, double& value) {
    return parseWholeDouble(text.data(), text.data() + text.size(), value);
}

std::string fixed(double value, int precision) {
    std::string out;
    appendFixed(out, value, precision);
    return out;
}

std::string printfFixed(double value, int precision) {
    int length = std::snprintf(nullptr, 0, "%.*f", precision, value);
    std::string out(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(out.data(), out.size(), "%.*f", precision, value);
    out.resize(static_cast<std::size_t>(length));
    return out;
}

double randomDouble(std::mt19937_64& random) {
    // Any bit pattern that is a finite number: every exponent and mantissa are covered.
    for (;;) {
        std::uint64_t bits = random();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value)) return value;
    }
}

}  // namespace

TEST(ParseWholeDouble, AgreesWithStrtodOnRandomValues) {
    std::mt19937_64 random(42);
    const char* formats[] = {"%.17g", "%.10g", "%.3e", "%.25f", "%a"};
    for (int k = 0; k < 20000; ++k) {
        double original = randomDouble(random);
        if (k % 2) original = std::ldexp(original, 0) * 1e-300;  // many tiny and subnormal values
        char text[512];
        std::snprintf(text, sizeof text, formats[k % 5], original);
        double parsed = -1;
        ASSERT_TRUE(parse(text, parsed)) << text;
        double expected = std::strtod(text, nullptr);
        ASSERT_EQ(std::memcmp(&parsed, &expected, sizeof parsed), 0) << text;
    }
}

TEST(ParseWholeDouble, TakesEveryFormStrtodTakesWhole) {
    double value = 0;
    ASSERT_TRUE(parse("+1.5", value));
    EXPECT_EQ(value, 1.5);
    ASSERT_TRUE(parse("0x1p3", value));
    EXPECT_EQ(value, 8.0);
    ASSERT_TRUE(parse("1e400", value));
    EXPECT_TRUE(std::isinf(value));
    ASSERT_TRUE(parse("-inf", value));
    EXPECT_TRUE(std::isinf(value) && value < 0);
    ASSERT_TRUE(parse("nan", value));
    EXPECT_TRUE(std::isnan(value));
    ASSERT_TRUE(parse(".5", value));
    EXPECT_EQ(value, 0.5);
    ASSERT_TRUE(parse("5.", value));
    EXPECT_EQ(value, 5.0);
    ASSERT_TRUE(parse("3.5e-4", value));
    EXPECT_EQ(value, 3.5e-4);
}

TEST(ParseWholeDouble, RefusesTextThatDoesNotConvertWhole) {
    for (const char* text : {"", "abc", "1,5", "1.2.3", "12abc", "1e", "--1", "+", ".", "nan(",
                             "0x", " 1", "1 "}) {
        double value = 7.0;
        EXPECT_FALSE(parse(text, value)) << text;
        EXPECT_EQ(value, 7.0) << text;
    }
}

TEST(ScanInt, ReadsSignedDigitsWithin32Bits) {
    std::string text = "  -2147483648\t+2147483647 2147483648 12abc";
    TextCursor cursor{text.data(), text.data() + text.size()};
    int value = 0;
    ASSERT_TRUE(scanInt(cursor, value));
    EXPECT_EQ(value, -2147483648);
    ASSERT_TRUE(scanInt(cursor, value));
    EXPECT_EQ(value, 2147483647);
    EXPECT_FALSE(scanInt(cursor, value));
    EXPECT_EQ(value, 2147483647);
    ASSERT_TRUE(scanInt(cursor, value));
    EXPECT_EQ(value, 12);
    EXPECT_FALSE(scanInt(cursor, value));
}

TEST(AppendFixed, PrintsAsPrintfDoesForRandomValuesAndPrecisions) {
    std::mt19937_64 random(7);
    const int precisions[] = {0, 1, 4, 5, 6, 17, 20, 40};
    for (int k = 0; k < 20000; ++k) {
        double value = randomDouble(random);
        if (k % 3 == 0) value = std::ldexp(static_cast<double>(random() % 100000), -(k % 40));
        int precision = precisions[k % 8];
        ASSERT_EQ(fixed(value, precision), printfFixed(value, precision)) << value;
    }
}

TEST(AppendFixed, EdgeValuesAndPrecisions) {
    EXPECT_EQ(fixed(0.0, 5), "0.00000");
    EXPECT_EQ(fixed(-0.0, 2), "-0.00");
    EXPECT_EQ(fixed(2.5, 0), printfFixed(2.5, 0));
    EXPECT_EQ(fixed(0.125, 2), printfFixed(0.125, 2));
    EXPECT_EQ(fixed(1234.5678, -1), "1234.567800");  // a negative precision means 6
    EXPECT_EQ(fixed(1e300, 3), printfFixed(1e300, 3));
    EXPECT_EQ(fixed(5e-324, 1200), printfFixed(5e-324, 1200));
    EXPECT_EQ(fixed(0.1, 1500), printfFixed(0.1, 1500));
    EXPECT_EQ(fixed(INFINITY, 1500), "inf");
    EXPECT_EQ(fixed(-INFINITY, 3), "-inf");
    EXPECT_EQ(fixed(NAN, 3), printfFixed(NAN, 3));
}

TEST(PrintableExcerpt, EscapesBytesAndShortensLongText) {
    EXPECT_EQ(printableExcerpt("1,5"), "1,5");
    EXPECT_EQ(printableExcerpt(std::string("a\x01\xff", 3)), "a\\x01\\xFF");
    EXPECT_EQ(printableExcerpt(std::string(100, 'x'), 5), "xxxxx...");
}
