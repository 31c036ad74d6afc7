#pragma once

#include <string>

#include "run_host.h"
#include "text_file.h"

// What the counting pass found.
struct MatrixShape {
    int rows = 0;
    int columns = 0;
    bool columnError = false;  // a row of another length, or counts past 2^31 - 1 (shown)
    bool readError = false;
    std::string columnMessage;  // what was shown for columnError
};

// The counting pass of the data matrix loader: reads the file from the reader's position to its
// end (or its first NUL byte) and counts the data lines and the values on each. A line whose
// count differs from the first data line's ends the pass with a message naming the row, and the
// first word up to that row that is not a number, where there is one (a header line's "#").
MatrixShape countShape(RunHost& host, BlockReader& reader);

// "\nRow N holds \"WORD\", which is not a number..." for the first such word in the data rows
// 1 to lastRow of the reader's first megabyte; empty when every word there is a number.
std::string wordBeforeRow(BlockReader& reader, int lastRow);
