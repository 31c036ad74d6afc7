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
// number; "Value units" (or "Z units") the values' unit. Other keys are skipped. A length unit
// is known by its symbol however it is spelt ("um" is "µm": length_unit.h); a width and a height
// in two known units are both told in the width's.

struct TextHeader {
    std::size_t dataOffset = 0;  // the first byte after the comment lines
    int commentLines = 0;
    // The grid's real size, both in lateralUnit; 0 where either is not given, or where their
    // units differ and are not both known (`note` says so).
    double width = 0.0, height = 0.0;
    std::string lateralUnit, valueUnit;
    std::string note;
};

// Reads the comment block at the start of `text`, the file's first bytes (the whole file when
// `wholeFile`). A header longer than `text` ends where `text` does; 64 KiB is plenty.
TextHeader readTextHeader(std::string_view text, bool wholeFile);

// "5.000 um" (or "5.000um") as 5 and "um"; false when it does not begin with a positive number.
bool readLength(std::string_view text, double& value, std::string& unit);
