#include "text_scan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include "byte_masks.h"
#include "number_format.h"
#include "number_texts.h"

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

// The shared table of number texts: a whole text less its blanks, the integer at the start, and
// the real at the start (scanDouble), which must be what fscanf's "%lf" reads.
TEST(NumberTexts, EachReaderTakesWhatTheCLibraryTakes) {
    auto same = [](double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); };
    for (const NumberText& n : numberTexts()) {
        const std::string text = n.text;
        std::string_view token = trimCSpace(text);
        double real = 7.0;
        const bool whole = parseWholeDouble(token.data(), token.data() + token.size(), real);
        EXPECT_EQ(whole, n.real.has_value()) << '"' << text << '"';
        EXPECT_TRUE(same(real, n.real.value_or(7.0))) << '"' << text << '"' << real;

        TextCursor cursor{text.data(), text.data() + text.size()};
        int integer = 7;
        EXPECT_EQ(scanInt(cursor, integer), n.scanned.has_value()) << '"' << text << '"';
        EXPECT_EQ(integer, n.scanned.value_or(7)) << '"' << text << '"';

        double expected = 7.0, scanned = 7.0;
        int used = 0;
        bool read = std::sscanf(n.text, "%lf%n", &expected, &used) == 1;
        // Decimal forms only: of "0x10" the scanner takes the 0. And where fscanf took an
        // exponent without digits ("1e"), which it cannot give back, the scanner leaves it.
        if (text.find("0x") != std::string::npos) read = true, expected = 0.0, used = 1;
        if (read && std::strchr("eE+-", n.text[used - 1])) used = static_cast<int>(text.find('e'));
        cursor = {text.data(), text.data() + text.size()};
        EXPECT_EQ(scanDouble(cursor, scanned), read) << '"' << text << '"';
        EXPECT_TRUE(same(scanned, expected)) << '"' << text << '"' << scanned;
        if (read) {
            EXPECT_EQ(cursor.p - text.data(), used) << '"' << text << '"';
        }
    }
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
    const std::pair<double, int> printfCases[] = {{2.5, 0},       {0.125, 2},  {1e300, 3},
                                                  {5e-324, 1200}, {0.1, 1500}, {NAN, 3}};
    for (auto [value, precision] : printfCases)
        EXPECT_EQ(fixed(value, precision), printfFixed(value, precision)) << value;
    EXPECT_EQ(fixed(0.0, 5), "0.00000");
    EXPECT_EQ(fixed(-0.0, 2), "-0.00");
    EXPECT_EQ(fixed(1234.5678, -1), "1234.567800");  // a negative precision means 6
    EXPECT_EQ(fixed(INFINITY, 1500), "inf");
    EXPECT_EQ(fixed(-INFINITY, 3), "-inf");
}

// Every byte value, at every position of a block, classified as the byte-at-a-time test does
// (on x86-64 the vector path, where 0x0E or 0x08 beside \t ... \r is easily taken for space).
TEST(ClassifyBytes, EveryByteAsIsCSpace) {
    char block[64];
    for (int shift = 0; shift < 64; shift += 13) {
        for (int first = 0; first < 256; first += 64) {
            for (int k = 0; k < 64; ++k) block[k] = static_cast<char>((first + k + shift) % 256);
            const ByteMasks masks = classifyBytes(block);
            for (int k = 0; k < 64; ++k) {
                const unsigned char c = static_cast<unsigned char>(block[k]);
                ASSERT_EQ((masks.space >> k) & 1, isCSpace(c) ? 1u : 0u) << int(c);
                ASSERT_EQ((masks.lineFeed >> k) & 1, c == '\n' ? 1u : 0u) << int(c);
                ASSERT_EQ((masks.nul >> k) & 1, c == 0 ? 1u : 0u) << int(c);
            }
        }
    }
}
