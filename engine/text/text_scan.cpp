#include "text_scan.h"

#include <fast_float/fast_float.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "system.h"

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool startsWithNoCase(const char* p, const char* end, std::string_view word) {
    if (static_cast<std::size_t>(end - p) < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        char c = p[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != word[i]) return false;
    }
    return true;
}

// Length of the decimal-number prefix at p (sign, digits, point, exponent), 0 when none.
std::size_t decimalPrefixLength(const char* p, const char* end) {
    const char* q = p;
    if (q != end && (*q == '+' || *q == '-')) ++q;
    std::size_t digits = 0;
    while (q != end && isDigit(*q)) ++q, ++digits;
    if (q != end && *q == '.') {
        ++q;
        while (q != end && isDigit(*q)) ++q, ++digits;
    }
    if (digits == 0) return 0;
    if (q != end && (*q == 'e' || *q == 'E')) {
        const char* e = q + 1;
        if (e != end && (*e == '+' || *e == '-')) ++e;
        if (e != end && isDigit(*e)) {
            while (e != end && isDigit(*e)) ++e;
            q = e;
        }
    }
    return static_cast<std::size_t>(q - p);
}

// Length of an "inf", "infinity" or "nan" prefix at p, with an optional sign; 0 when none.
std::size_t specialPrefixLength(const char* p, const char* end) {
    const char* q = p;
    if (q != end && (*q == '+' || *q == '-')) ++q;
    if (startsWithNoCase(q, end, "infinity")) return static_cast<std::size_t>(q + 8 - p);
    if (startsWithNoCase(q, end, "inf") || startsWithNoCase(q, end, "nan"))
        return static_cast<std::size_t>(q + 3 - p);
    return 0;
}

}  // namespace

void skipSpace(TextCursor& cursor) {
    while (cursor.p != cursor.end && isCSpace(static_cast<unsigned char>(*cursor.p))) ++cursor.p;
}

std::string_view trimCSpace(std::string_view text) {
    while (!text.empty() && isCSpace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && isCSpace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

bool parseWholeDouble(const char* begin, const char* end, double& value) {
    if (begin == end) return false;
    double parsed = 0.0;
    auto result = fast_float::from_chars(begin, end, parsed);
    if (result.ec == std::errc() && result.ptr == end) {
        value = parsed;
        return true;
    }
    // fast_float leaves out forms strtod takes (a leading '+', hexadecimal floats): ask strtod,
    // in the "C" locale, on a terminated copy.
    std::string copy(begin, end);
    if (copy.find('\0') != std::string::npos) return false;
    char* stop = nullptr;
    parsed = strtodInCLocale(copy.c_str(), &stop);
    if (stop != copy.c_str() + copy.size()) return false;
    if (isCSpace(static_cast<unsigned char>(copy.front()))) return false;
    value = parsed;
    return true;
}

bool scanInt(TextCursor& cursor, int& value) {
    skipSpace(cursor);
    const char* q = cursor.p;
    bool negative = false;
    if (q != cursor.end && (*q == '+' || *q == '-')) negative = (*q++ == '-');
    const char* digits = q;
    std::int64_t magnitude = 0;
    bool tooLarge = false;
    while (q != cursor.end && isDigit(*q)) {
        magnitude = magnitude * 10 + (*q - '0');
        if (magnitude > 2147483648LL) {
            tooLarge = true;
            magnitude = 2147483648LL;
        }
        ++q;
    }
    if (q == digits) return false;
    std::int64_t signedValue = negative ? -magnitude : magnitude;
    cursor.p = q;
    if (tooLarge || signedValue > std::numeric_limits<int>::max()) return false;
    value = static_cast<int>(signedValue);
    return true;
}

bool scanDouble(TextCursor& cursor, double& value) {
    skipSpace(cursor);
    std::size_t length = decimalPrefixLength(cursor.p, cursor.end);
    if (length == 0) length = specialPrefixLength(cursor.p, cursor.end);
    if (length == 0) return false;
    double parsed = 0.0;
    if (!parseWholeDouble(cursor.p, cursor.p + length, parsed)) return false;
    cursor.p += length;
    value = parsed;
    return true;
}

std::string printableExcerpt(std::string_view bytes, std::size_t maxBytes) {
    std::string out;
    std::size_t shown = bytes.size() < maxBytes ? bytes.size() : maxBytes;
    for (std::size_t i = 0; i < shown; ++i) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    if (shown < bytes.size()) out += "...";
    return out;
}
