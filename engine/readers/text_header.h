#pragma once

#include <string>
#include <string_view>

// The comment lines that instrument exports put before a text matrix, as numpy.loadtxt skips
// them: lines whose first character after blanks is '#', with blank lines among them. Such a
// header often says what the grid measures, in "Key: value" lines:
//
//   # Channel: Height
//   # Width: 5.000 um
//   # Height: 5.000 um
//   # Value units: m
//
// Width and Height (or "X length"/"Y length") give the grid's real size, with the unit after the
// number; "Value units" (or "Z units") the values' unit. Other keys are skipped.

struct TextHeader {
    std::size_t dataOffset = 0;  // the first byte after the comment lines
    int commentLines = 0;
    double width = 0.0, height = 0.0;  // the grid's real size; 0 where not given
    std::string lateralUnit, valueUnit;
};

// Reads the comment block at the start of `text`, the file's first bytes (the whole file when
// `wholeFile`). A header longer than `text` ends where `text` does; 64 KiB is plenty.
TextHeader readTextHeader(std::string_view text, bool wholeFile);

// "5.000 um" as 5 and "um"; false when it does not begin with a positive number.
bool readLength(std::string_view text, double& value, std::string& unit);
