#pragma once

#include "residual_boxes.h"
#include "window_geometry.h"
#include "worker_pool.h"

// The boxes' mean e^2 of a measure's residual, e(i, j) = u_W(i, j) - mean over W of u_W, where
// u_W is the profile inside the window W of (i, j) from W's first cell.
//
// The mean over W of u_W is a weighted sum of x over W, each cell counted once for every profile
// cell at or after it: sum of x(p, q) (r1 + 1 - p) (c1 + 1 - q), (r1, c1) being W's last cell.
// The weight is a product, so the sum is taken along rows and then along columns. Each is split at
// a cross that every window of a box holds: the row r* = i0 + F and column c* = j0 + G of the box
// whose first cell is (i0, j0). Along a row, the part of a window from c* on is a running sum of
// running sums of x from c*, and the part before c* is a running sum of x and of s x, s cells back
// from c*; the same along columns over the rows' sums. These running sums start afresh at every
// cross, so that a window's sums hold its own cells and no others: for a measure (x >= 0) they
// only add, and a nearly empty box keeps its digits beside a heavy one, with a constant cost per
// cell and each row's sums made once for the boxes above and below it.
//
// Box rows run on the pool; each thread works in about 2 n C doubles of its own.
void measureBoxes(const double* const* data, const WindowGeometry& geometry, WorkerPool& pool,
                  SideBoxes& boxes);
