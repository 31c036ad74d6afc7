#include "missing_values.h"

#include <cmath>
#include <cstring>
#include <vector>

MissingCells findMissing(const double* const* rows, int R, int C) {
    MissingCells missing;
    for (int i = 0; i < R; ++i)
        for (int j = 0; j < C; ++j)
            if (std::isnan(rows[i][j]) && missing.count++ == 0) {
                missing.firstRow = i;
                missing.firstColumn = j;
            }
    return missing;
}

// Row by row, the height of valid cells standing above each column makes a histogram; the
// largest rectangle under a histogram is found with a stack of rising bars in one sweep.
GridRectangle largestValidRectangle(const double* const* rows, int R, int C) {
    GridRectangle best;
    std::vector<int> height(static_cast<std::size_t>(C) + 1, 0);  // a 0 bar closes the sweep
    std::vector<int> rising;
    for (int i = 0; i < R; ++i) {
        for (int j = 0; j < C; ++j) height[j] = std::isnan(rows[i][j]) ? 0 : height[j] + 1;
        rising.clear();
        for (int j = 0; j <= C; ++j) {
            while (!rising.empty() && height[rising.back()] >= height[j]) {
                const int h = height[rising.back()];
                rising.pop_back();
                const int left = rising.empty() ? 0 : rising.back() + 1;
                const GridRectangle candidate{i - h + 1, left, h, j - left};
                if (candidate.area() > best.area()) best = candidate;
            }
            rising.push_back(j);
        }
    }
    return best;
}

void cropMatrix(DataMatrix& matrix, const GridRectangle& keep) {
    matrix.keepBlock(keep.top, keep.left, keep.rows, keep.columns);
}
