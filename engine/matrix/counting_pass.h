#pragma once

#include "run_host.h"
#include "text_file.h"

// What the counting pass found.
struct MatrixShape {
    int rows = 0;
    int columns = 0;
    bool columnError = false;  // a row of another length, or counts past 2^31 - 1 (shown)
    bool readError = false;
};

// The counting pass of the data matrix loader: reads the file from the reader's position to its
// end (or its first NUL byte) and counts the data lines and the values on each. A line whose
// count differs from the first data line's ends the pass with a message naming the row.
MatrixShape countShape(RunHost& host, BlockReader& reader);
