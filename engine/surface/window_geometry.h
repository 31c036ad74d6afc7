#pragma once

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
