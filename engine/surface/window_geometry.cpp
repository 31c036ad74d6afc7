#include "window_geometry.h"

#include <cmath>

int roundHalfDown(double x) {
    double t = std::trunc(x);
    return static_cast<int>(x - t > 0.5 ? t + 1 : t);
}

namespace {

int offsetFor(int side, double shift) {
    int offset = roundHalfDown(static_cast<double>(side) * shift);
    if (shift == 1.0) offset -= 1;
    if (offset > side - 1) offset = side - 1;
    if (offset < 0) offset = 0;
    return offset;
}

}  // namespace

WindowGeometry windowGeometry(int area, double nShift, double mShift) {
    WindowGeometry geometry;
    geometry.side = static_cast<int>(std::sqrt(static_cast<double>(area)));
    geometry.rowOffset = offsetFor(geometry.side, nShift);
    geometry.columnOffset = offsetFor(geometry.side, mShift);
    return geometry;
}

ComputedRegion computedRegion(const WindowGeometry& g, int R, int C) {
    return {g.side - g.rowOffset - 1, R - g.rowOffset - 1, g.side - g.columnOffset - 1,
            C - g.columnOffset - 1};
}
