#pragma once

#include "data_matrix.h"
#include "window_geometry.h"

// The literal window averager: the means of the data under the window of one area, the
// reference every fast path is compared with. The order of the floating-point operations is
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
