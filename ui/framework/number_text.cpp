#include "number_text.h"

#include "number_format.h"
#include "text_scan.h"

bool parseIntegerText(std::string_view text, int& value) {
    std::string_view token = trimCSpace(text);
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
    std::string_view token = trimCSpace(text);
    return parseWholeDouble(token.data(), token.data() + token.size(), value);
}

std::string formatInteger(int value) {
    std::string text;
    appendInt(text, value);
    return text;
}

std::string formatReal(double value) {
    return shortestText(value);
}
