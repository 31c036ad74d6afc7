#include "area_sweep.h"

#include "number_format.h"

std::optional<std::string> areaProblem(std::span<const int> areas) {
    for (int area : areas)
        if (area < 1)
            return "Area " + std::to_string(area) +
                   " is below 1: every window area must be at "
                   "least 1";
    return std::nullopt;
}

std::optional<std::string> shiftProblem(double nShift, double mShift) {
    auto outside = [](double shift) { return !(shift >= 0.0 && shift <= 1.0); };
    if (outside(nShift)) return "The n shift " + shortestText(nShift) + " must lie between 0 and 1";
    if (outside(mShift)) return "The m shift " + shortestText(mShift) + " must lie between 0 and 1";
    return std::nullopt;
}

AreaSweep::AreaSweep(const double* const* data, int R, int C, double nShift, double mShift,
                     int optimise, bool keepSurface, const ComputeOptions& compute)
    : data_(data),
      R_(R),
      C_(C),
      nShift_(nShift),
      mShift_(mShift),
      optimise_(optimise),
      fast_(compute.method == SurfaceMethod::kFast),
      written_(emptyRegion()),
      calculator_(compute) {
    // The fast method sums its residual as it goes and needs the surface only to show it.
    if (!fast_ || keepSurface) allocateMatrix(surface_, R, C);
    if (fast_) centre_.emplace(calculator_.pool(), data, R, C);
}

AreaSweep::~AreaSweep() {
    freeMatrix(surface_, R_, C_);
}

double AreaSweep::residualOf(int area) {
    const WindowGeometry geometry = windowGeometry(area, nShift_, mShift_);
    if (fast_)
        return calculator_.computeFast(surface_, written_, data_, R_, C_, geometry, *centre_);
    return calculator_.computeExact(surface_, written_, data_, R_, C_, geometry, optimise_);
}
