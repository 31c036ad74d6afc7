#pragma once

#include <memory>
#include <vector>

#include "surface_calculator.h"
#include "window_geometry.h"

// The residuals of a multifractal analysis at one window side, summed over disjoint n x n boxes.
//
// The residual block is the (R - n) x (C - n) block of the run's residual, from the first cell
// whose window lies inside the data. Its residual e is of one of two kinds:
// - a surface (heights): e = x - the window mean of x, the run's residual, from the fast method;
// - a measure (densities, masses): the profile is taken inside each window W, from W's first
//   cell: u_W(k, l) = sum of x over W's rows up to k and columns up to l, and
//   e(i, j) = u_W(i, j) - mean over W of u_W. A profile of the whole surface would carry strips
//   of mass out to the surface's edge into every residual. The window sums are running sums that
//   start afresh at each box (measure_boxes.h): a constant cost per cell, and sums of each
//   window's own cells only, so that a nearly empty box keeps its digits beside a heavy one.
// The block is cut into floor(R/n) - 1 by floor(C/n) - 1 boxes from its first cell; a box's
// value is the mean of e^2 over its n^2 cells.

enum class ResidualKind { kSurface, kMeasure };

struct SideBoxes {
    int side = 0;
    int boxRows = 0, boxColumns = 0;
    int firstRow = 0, firstColumn = 0;  // the matrix cell where box (0, 0) starts
    std::vector<double> meanSquares;    // box (a, b) at a * boxColumns + b
};

class ResidualBoxes {
  public:
    // `data` must stay alive and unchanged while this object is used. threads 0: one per core.
    // simdLimit: the widest vectors to use (tests lower it to prove each width).
    ResidualBoxes(const double* const* data, int R, int C, ResidualKind kind, double nShift,
                  double mShift, int threads, SimdLevel simdLimit = SimdLevel::kAvx512);
    ~ResidualBoxes();
    ResidualBoxes(const ResidualBoxes&) = delete;
    ResidualBoxes& operator=(const ResidualBoxes&) = delete;

    // The boxes of side n; none (0 x 0) when the side leaves no whole box.
    SideBoxes boxesOf(int side);
    // The boxes of every side, in order; a measure's sides share the pool's threads.
    std::vector<SideBoxes> boxesOf(const std::vector<int>& sides);

    WorkerPool& pool() { return calculator_.pool(); }

  private:
    void surfaceBoxes(const WindowGeometry& geometry, SideBoxes& boxes);

    const double* const* data_;
    int R_, C_;
    ResidualKind kind_;
    double nShift_, mShift_;
    SurfaceCalculator calculator_;
    // Surface kind: the fast method's state and the surface of window means it fills.
    std::unique_ptr<FastCentre> centre_;
    RowTable means_ = nullptr;
    ComputedRegion written_;
};
