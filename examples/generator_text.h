#pragma once

#include <string>
#include <vector>

// What the generator commands share: reading their numeric arguments whole, and writing a
// matrix as text.

// True when all of `text` is one number as strtod reads it.
bool readNumber(const char* text, double& value);
// True when all of `text` is one whole number in decimal.
bool readWhole(const char* text, long long& value);

// Writes `values` (row by row, `columns` to a row) to `path`: values separated by tabs, each
// printed with `digits` significant digits, a newline after each row. False when the file cannot
// be written.
bool writeMatrixText(const std::string& path, const std::vector<double>& values, long long columns,
                     int digits);
