#include "number_text.h"

#include <charconv>

#include "text_scan.h"

namespace {

// The text without the blanks at either end.
std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isCSpace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && isCSpace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

}  // namespace

bool parseIntegerText(std::string_view text, int& value) {
    std::string_view token = trimBlanks(text);
    if (token.empty()) return false;
    // scanInt would skip blanks itself; the token has none left at its start, and it must end
    // where the digits end.
    TextCursor cursor{token.data(), token.data() + token.size()};
    int parsed = 0;
    if (!scanInt(cursor, parsed) || !cursor.atEnd()) return false;
    value = parsed;
    return true;
}

bool parseRealText(std::string_view text, double& value) {
    std::string_view token = trimBlanks(text);
    return parseWholeDouble(token.data(), token.data() + token.size(), value);
}

std::string formatInteger(int value) {
    char buffer[16];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string formatReal(double value) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}
