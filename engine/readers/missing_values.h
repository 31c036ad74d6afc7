#pragma once

#include "data_matrix.h"

// Cells that hold no value (NaN: nodata, an empty CSV field, NaN in the file) and the largest
// rectangle of the grid without them.

struct MissingCells {
    long long count = 0;
    int firstRow = -1;  // of the first in row order, counted from 0
    int firstColumn = -1;
};

MissingCells findMissing(const double* const* rows, int R, int C);

struct GridRectangle {
    int top = 0, left = 0, rows = 0, columns = 0;
    long long area() const { return static_cast<long long>(rows) * columns; }
};

// The largest rectangle (by cells) that holds no NaN; of equal ones, the first found scanning
// bottom rows from the top and each from the left. Empty when every cell is NaN.
GridRectangle largestValidRectangle(const double* const* rows, int R, int C);

// Keeps only `keep` of the matrix, in place (DataMatrix::keepBlock). No new storage.
void cropMatrix(DataMatrix& matrix, const GridRectangle& keep);
