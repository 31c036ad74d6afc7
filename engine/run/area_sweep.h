#pragma once

#include <optional>
#include <span>
#include <string>

#include "compute_options.h"
#include "data_matrix.h"
#include "fast_surface.h"
#include "surface_calculator.h"
#include "window_geometry.h"

// What a run refuses before it loads anything, in the words shown to the user: an area below 1
// (a window of side 0 has no cells) and a shift outside [0, 1] (windows outside the data).
std::optional<std::string> areaProblem(std::span<const int> areas);
std::optional<std::string> shiftProblem(double nShift, double mShift);

// The per-area work of a run over data already in memory: each area's surface and residual sum,
// by the exact modes or the fast method. The command line, the dialog and the Python module all
// compute through it, so that they give the same bits for the same data.
class AreaSweep {
  public:
    // `keepSurface` false lets the fast method do without a surface matrix; the exact modes
    // always keep one. The data must outlive the sweep and must not change during it. Throws
    // std::bad_alloc (MatrixTooLarge) when the surface does not fit in memory.
    AreaSweep(const double* const* data, int R, int C, double nShift, double mShift, int optimise,
              bool keepSurface, const ComputeOptions& compute);
    ~AreaSweep();
    AreaSweep(const AreaSweep&) = delete;
    AreaSweep& operator=(const AreaSweep&) = delete;

    // Computes the area's surface (when one is kept) and returns its residual sum.
    double residualOf(int area);

    // The latest area's surface, R rows of C values; null when none is kept.
    const double* const* surface() const { return surface_; }
    WorkerPool& pool() { return calculator_.pool(); }

  private:
    const double* const* data_;
    int R_, C_;
    double nShift_, mShift_;
    int optimise_;
    bool fast_;
    RowTable surface_ = nullptr;
    ComputedRegion written_;  // where the surface may hold values other than 0
    SurfaceCalculator calculator_;
    std::optional<FastCentre> centre_;
};
