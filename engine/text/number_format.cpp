#include "number_format.h"

#include <charconv>
#include <cmath>

namespace {

// A double's exact decimal expansion ends within 1074 digits after the point, so digits past
// this precision are always zeros and need no rounding.
constexpr int kExactDigits = 1100;

}  // namespace

void appendFixed(std::string& out, double value, int precision) {
    if (precision < 0) precision = 6;
    int computed = precision < kExactDigits ? precision : kExactDigits;
    char buffer[kExactDigits + 400];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, computed);
    out.append(buffer, result.ptr);
    if (precision > computed && std::isfinite(value))
        out.append(static_cast<std::size_t>(precision - computed), '0');
}

std::string shortestText(double value) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

void appendInt(std::string& out, int value) {
    char buffer[16];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}
