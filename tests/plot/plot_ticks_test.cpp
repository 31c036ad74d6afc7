// Automatic ticks: where they go and that every label of one axis is in one format.

#include "plot_ticks.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> labels(bool logarithmic, double from, double to) {
    std::vector<std::string> result;
    for (const AxisTick& tick : automaticTicks(logarithmic, from, to)) result.push_back(tick.label);
    return result;
}

const std::string kTimes = "\xC3\x97";
std::string power(const std::string& exponent) {
    return "10" + superscript(exponent);
}

}  // namespace

TEST(AutomaticTicks, OneFormatPerAxis) {
    struct Case {
        bool logarithmic;
        double from, to;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {true, 3, 150, {"5", "10", "20", "50", "100"}},
        // Less than a decade: every mantissa, lest only one or two ticks show.
        {true, 1.8, 9, {"2", "3", "4", "5", "6", "7", "8", "9"}},
        // Ticks below 0.01 turn the whole axis to powers of ten, never "0.01" beside "5e-03".
        {true, 0.004, 0.03, {"5" + kTimes + power("-3"), power("-2"), "2" + kTimes + power("-2")}},
        {true, 0.015, 0.6, {"0.02", "0.05", "0.10", "0.20", "0.50"}},
        // Beyond three decades only the powers.
        {true, 0.5, 2e4, {"1", "10", "100", "1000", "10000"}},
        {true,
         1e-7,
         1e-2,
         {power("-7"), power("-6"), power("-5"), power("-4"), power("-3"), power("-2")}},
        {false, 0, 1, {"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}},
        {false, -3, 3, {"-3", "-2", "-1", "0", "1", "2", "3"}},
        {false, 0, 0, {}},
        {true, -1, 10, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(labels(c.logarithmic, c.from, c.to), c.expected)
            << (c.logarithmic ? "log " : "linear ") << c.from << " to " << c.to;
}

TEST(Superscript, TurnsDigitsAndMinusSigns) {
    EXPECT_EQ(superscript("-12"), "\xE2\x81\xBB\xC2\xB9\xC2\xB2");
    EXPECT_EQ(superscript("x2"), "x\xC2\xB2");
}
