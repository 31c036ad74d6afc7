#pragma once

#include "data_matrix.h"

// The square window of an area: side s and the offsets F (rows) and G (columns) that place the
// cell within its window. The window of cell (i, j) covers rows i+F-s+1 ... i+F and columns
// j+G-s+1 ... j+G.
struct WindowGeometry {
    int side = 0;
    int rowOffset = 0;
    int columnOffset = 0;
};

// t + 1 when x - t > 0.5, else t, with t = x truncated toward zero: 1.5 gives 1, 2.51 gives 3.
int roundHalfDown(double x);

// s = integer part of sqrt(area); F = roundHalfDown(s * nShift), less 1 when nShift is exactly
// 1.0; G likewise from mShift. The offsets are then clamped into 0 ... s-1 so that no window
// reaches outside the data (the run refuses shifts outside [0, 1] before it gets here).
WindowGeometry windowGeometry(int area, double nShift, double mShift);

// The rows and columns of the cells whose window lies wholly inside an R x C matrix.
struct ComputedRegion {
    int firstRow, lastRow;        // inclusive; empty when firstRow > lastRow
    int firstColumn, lastColumn;  // inclusive
    bool empty() const { return firstRow > lastRow || firstColumn > lastColumn; }
};
ComputedRegion computedRegion(const WindowGeometry& geometry, int R, int C);

// Means of the data under the window of one area. The order of the floating-point operations is
// part of the result (surface files are compared byte for byte), so each method adds in exactly
// the order its comment gives.
class WindowAverager {
public:
    WindowAverager(const double* const* data, int R, int C, int side, int rowOffset,
                   int columnOffset)
        : windowRows_(side),
          windowColumns_(side),
          rowOffset_(rowOffset),
          columnOffset_(columnOffset),
          data_(data),
          matrixRows_(R),
          matrixColumns_(C) {}
    virtual ~WindowAverager() = default;

    // Restarts the running sum at 0 and adds the window of (i, j) from its bottom-right corner,
    // rows from the bottom up, each row from right to left. Returns sum / (s * s).
    double fullMean(int i, int j);

    // Slides the window of (i-1, j) down one row: for each column from right to left,
    // sum = (sum - leaving top value) + entering bottom value. Returns sum / (s * s). Valid only
    // right after fullMean(i-1, j) or slideDown(i-1, j).
    double slideDown(int i, int j);

    int side() const { return windowRows_; }
    int rowOffset() const { return rowOffset_; }
    int columnOffset() const { return columnOffset_; }
    int matrixRows() const { return matrixRows_; }
    int matrixColumns() const { return matrixColumns_; }
    const double* const* data() const { return data_; }

private:
    int windowRows_;
    int windowColumns_;
    int rowOffset_;
    int columnOffset_;
    double runningSum_ = 0.0;
    const double* const* data_;
    int matrixRows_;
    int matrixColumns_;
};

// Fills the computed region of `surface` (already zero) with the window means: with optimise
// 0 every cell by fullMean, row by row; with optimise 1 column by column, fullMean at the top of
// each column and slideDown below it.
void computeSurface(RowTable surface, WindowAverager& averager, int optimise);
