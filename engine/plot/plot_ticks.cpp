#include "plot_ticks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

namespace {

std::string printed(const char* pattern, int digits, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, digits, value);
    return text;
}

// The decimals that write `value` exactly to six significant digits.
int decimalsOf(double value) {
    for (int digits = 0; digits < 8; ++digits) {
        const double scale = std::pow(10.0, digits);
        if (std::fabs(std::round(value * scale) - value * scale) < 1e-6 * scale * std::fabs(value))
            return digits;
    }
    return 8;
}

// The tick values from `from` to `to` at the mantissas given, each with its power of ten.
std::vector<std::pair<double, int>> ticksAt(double from, double to,
                                            const std::vector<int>& mantissas) {
    std::vector<std::pair<double, int>> ticks;
    for (int decade = static_cast<int>(std::floor(std::log10(from)));
         decade <= std::ceil(std::log10(to)); ++decade)
        for (int m : mantissas) {
            const double value = m * std::pow(10.0, decade);
            if (value >= from * (1 - 1e-9) && value <= to * (1 + 1e-9))
                ticks.push_back({value, decade});
        }
    return ticks;
}

std::vector<AxisTick> logarithmicTicks(double from, double to) {
    const bool fine = std::log10(to) - std::log10(from) < 3.0;
    std::vector<std::pair<double, int>> ticks =
        ticksAt(from, to, fine ? std::vector<int>{1, 2, 5} : std::vector<int>{1});
    // A range shorter than a decade may hold only one or two of those: tick every mantissa.
    if (ticks.size() < 3) ticks = ticksAt(from, to, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    const bool decimal = std::all_of(ticks.begin(), ticks.end(), [](const auto& tick) {
        return tick.first >= 0.00999 && tick.first < 1e5;
    });
    int decimals = 0;
    for (const auto& tick : ticks) decimals = std::max(decimals, decimalsOf(tick.first));
    std::vector<AxisTick> result;
    for (const auto& [value, decade] : ticks) {
        std::string label;
        if (decimal) {
            label = printed("%.*f", decimals, value);
        } else {
            const int mantissa = static_cast<int>(std::lround(value / std::pow(10.0, decade)));
            label = (mantissa == 1 ? "" : std::to_string(mantissa) + "\xC3\x97") + "10" +
                    superscript(std::to_string(decade));
        }
        result.push_back({value, label});
    }
    return result;
}

std::vector<AxisTick> linearTicks(double from, double to) {
    const double span = to - from;
    if (!(span > 0)) return {};
    const double rough = span / 6.0;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = power;
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= rough) {
            step = m * power;
            break;
        }
    const int decimals = std::max(0, -static_cast<int>(std::floor(std::log10(step) + 1e-9)));
    std::vector<AxisTick> result;
    for (double k = std::ceil(from / step - 1e-9); k * step <= to + 1e-9 * span; ++k) {
        const double value = k * step == 0.0 ? 0.0 : k * step;  // no "-0"
        result.push_back({value, printed("%.*f", decimals, value)});
    }
    return result;
}

}  // namespace

std::vector<AxisTick> automaticTicks(bool logarithmic, double from, double to) {
    if (logarithmic)
        return from > 0 && to > from ? logarithmicTicks(from, to) : std::vector<AxisTick>{};
    return linearTicks(from, to);
}

std::string superscript(const std::string& text) {
    static const char* const kDigits[] = {
        "\xE2\x81\xB0", "\xC2\xB9",     "\xC2\xB2",     "\xC2\xB3",     "\xE2\x81\xB4",
        "\xE2\x81\xB5", "\xE2\x81\xB6", "\xE2\x81\xB7", "\xE2\x81\xB8", "\xE2\x81\xB9"};
    std::string result;
    for (char c : text) {
        if (c >= '0' && c <= '9')
            result += kDigits[c - '0'];
        else if (c == '-')
            result += "\xE2\x81\xBB";
        else
            result += c;
    }
    return result;
}
