#pragma once

#include <string>
#include <string_view>

// The texts by which the dialog shows numbers in its edit fields and reads them back. All four are
// pure and independent of the process's locale: a decimal point is always '.', even after a
// toolkit has switched the C library to a locale with decimal commas.

// Reads an integer field's text: blanks (as isspace in the "C" locale) may surround an optional
// sign and decimal digits, and the value must fit in 32 bits. True with `value` set when the
// whole text reads so; false, with `value` unchanged, otherwise (the empty text included).
bool parseIntegerText(std::string_view text, int& value);

// Reads a real field's text: blanks may surround one token that strtod reads whole in the "C"
// locale (decimal or hexadecimal, with exponent, "inf", "nan"). True with `value` set when the
// whole text reads so; false, with `value` unchanged, otherwise.
bool parseRealText(std::string_view text, double& value);

// Plain decimal, a '-' when negative: the text parseIntegerText reads back as the same value.
std::string formatInteger(int value);

// The shortest text that parseRealText reads back as the same value (0.5, 1e+20, -0, inf, nan).
std::string formatReal(double value);
