#pragma once

#include <vector>

#include "compute_options.h"
#include "data_matrix.h"
#include "fast_surface.h"
#include "surface_kernels.h"
#include "window_geometry.h"
#include "worker_pool.h"

// Sum of (S - M)^2 over the (R - s) x (C - s) block that starts where the computed region starts,
// row by row from the top, each from left to right, in one double: one chain, on one thread.
double residualSum(const double* const* surface, const double* const* data, int R, int C,
                   const WindowGeometry& geometry);

// residualSum taken a few rows at a time, as they become ready; the additions and their order are
// those of residualSum.
class ResidualChain {
  public:
    ResidualChain(const double* const* surface, const double* const* data, int R, int C,
                  const WindowGeometry& geometry);
    // Adds the block's rows before matrix row `row` that are not added yet.
    void addRowsBefore(int row);
    double sum() const { return sum_; }

  private:
    const double* const* surface_;
    const double* const* data_;
    int next_, end_;  // block rows [next_, end_) are still to be added
    int left_, columns_;
    double sum_ = 0.0;
};

// The column parts of a computed region (surface_calculator.cpp).
struct ColumnParts;

// Computes a run's surfaces on every core with the widest vectors the processor has, and the
// residual sums that go with them.
class SurfaceCalculator {
  public:
    explicit SurfaceCalculator(const ComputeOptions& options);

    int threadCount() const { return pool_.threadCount(); }
    SimdLevel simdLevel() const { return kernels_.level; }

    // Leaves `surface` exactly as zeroMatrix followed by computeSurface with a WindowAverager of
    // this geometry would: the same bits in every cell. `written` is the part of the surface that
    // may hold values other than zero (empty for a freshly zeroed matrix); only cells that leave
    // it are zeroed, and it becomes this area's computed region. Returns residualSum of the new
    // surface, summed in its order while the surface is computed.
    double computeExact(RowTable surface, ComputedRegion& written, const double* const* data, int R,
                        int C, const WindowGeometry& geometry, int optimise);

    // The fast method (fast_surface.h): fills the computed region of `surface`, when it is not
    // null, with window means from running sums, zeroes cells that leave `written` as
    // computeExact does, and returns the residual sum. `centre` belongs to the same data.
    double computeFast(RowTable surface, ComputedRegion& written, const double* const* data, int R,
                       int C, const WindowGeometry& geometry, const FastCentre& centre);

    WorkerPool& pool() { return pool_; }

  private:
    void zeroLeavingCells(RowTable surface, const ComputedRegion& written,
                          const ComputedRegion& next);
    void slideInStripes(const WindowJob& job, const ColumnParts& parts, ResidualChain& residual);
    void plainInRowParts(const WindowJob& job, const ColumnParts& parts, ResidualChain& residual);

    WorkerPool pool_;
    const SurfaceKernels& kernels_;
    std::vector<double> scratch_;  // the kernels' sums between stripes
};

// A region with no cells.
ComputedRegion emptyRegion();
