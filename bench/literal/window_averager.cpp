#include "window_averager.h"

double WindowAverager::fullMean(int i, int j) {
    runningSum_ = 0.0;
    for (int a = 0; a < windowRows_; ++a) {
        const double* row = data_[rowOffset_ + i - a];
        for (int b = 0; b < windowColumns_; ++b) runningSum_ += row[columnOffset_ + j - b];
    }
    return runningSum_ / (windowRows_ * windowColumns_);
}

double WindowAverager::slideDown(int i, int j) {
    const double* leaving = data_[rowOffset_ + i - windowRows_];
    const double* entering = data_[rowOffset_ + i];
    for (int b = 0; b < windowColumns_; ++b) {
        int column = columnOffset_ + j - b;
        runningSum_ = (runningSum_ - leaving[column]) + entering[column];
    }
    return runningSum_ / (windowRows_ * windowColumns_);
}

void computeSurface(RowTable surface, WindowAverager& averager, int optimise) {
    WindowGeometry geometry{averager.side(), averager.rowOffset(), averager.columnOffset()};
    ComputedRegion region =
        computedRegion(geometry, averager.matrixRows(), averager.matrixColumns());
    if (geometry.side < 1 || region.empty()) return;
    if (optimise) {
        for (int j = region.firstColumn; j <= region.lastColumn; ++j) {
            surface[region.firstRow][j] = averager.fullMean(region.firstRow, j);
            for (int i = region.firstRow + 1; i <= region.lastRow; ++i)
                surface[i][j] = averager.slideDown(i, j);
        }
    } else {
        for (int i = region.firstRow; i <= region.lastRow; ++i)
            for (int j = region.firstColumn; j <= region.lastColumn; ++j)
                surface[i][j] = averager.fullMean(i, j);
    }
}
