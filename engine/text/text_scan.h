#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Byte-level scanners shared by the file readers. They take a character range, so tests and
// fuzzers can feed them bytes directly, and they never depend on the process's locale: numbers
// are read as the C library reads them in the "C" locale.

// White space as isspace() classifies it in the "C" locale: blank, \t, \n, \v, \f, \r.
inline bool isCSpace(unsigned char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// A position in a text and its end.
struct TextCursor {
    const char* p;
    const char* end;
    bool atEnd() const { return p == end; }
};

void skipSpace(TextCursor& cursor);

// The text without the white space at either end.
std::string_view trimCSpace(std::string_view text);

// Reads a whole token as strtod reads it in the "C" locale: true, with the value, only when the
// conversion takes every character of [begin, end) (an empty token never converts).
bool parseWholeDouble(const char* begin, const char* end, double& value);

// As fscanf's "%d": skips white space, then takes an optional sign and decimal digits. False
// (with the cursor at the first character that did not fit) when there are no digits or the
// number lies outside the 32-bit range; `value` is then unchanged.
bool scanInt(TextCursor& cursor, int& value);

// As fscanf's "%lf": skips white space, then takes the longest run that reads as a decimal
// number (sign, digits with an optional point, optional exponent), "inf", "infinity" or "nan".
// False, with `value` unchanged, when nothing there reads as a number.
bool scanDouble(TextCursor& cursor, double& value);

// A short, printable rendering of arbitrary bytes for messages: bytes outside printable ASCII
// appear as \xNN, and text longer than maxBytes is cut with "...".
std::string printableExcerpt(std::string_view bytes, std::size_t maxBytes = 40);
