#pragma once

#include <vector>

#include "compute_options.h"
#include "residual_boxes.h"
#include "window_geometry.h"
#include "worker_pool.h"

// The boxes' mean e^2 of a measure's residual, e(i, j) = u_W(i, j) - mean over W of u_W, where
// u_W is the profile inside the window W of (i, j) from W's first cell.
//
// The mean over W of u_W is a weighted sum of x over W, each cell counted once for every profile
// cell at or after it: the sum of x(p, q) (r1 + 1 - p) (c1 + 1 - q), (r1, c1) being W's last cell.
// The weight is a product, so the sum is taken down the columns and then along the rows, and the
// profile's rectangle likewise. Each direction is split at a cross that every window of a box
// holds: the row r* = i0 + F and the column c* = j0 + G of the box whose first cell is (i0, j0).
// The part of a window from the cross on is a running sum of running sums from the cross; the
// part before it a running sum of x and of s x, s cells back from the cross. These running sums
// start afresh at every cross, so that a window's sums hold its own cells and no others: for a
// measure (x >= 0) they only add, and a nearly empty box keeps its digits beside a heavy one.
// A constant cost per cell; four cell rows go along the rows together, one in each vector lane.
//
// The boxes of every side (`sides[k]` laid out for `geometries[k]`, as ResidualBoxes makes
// them), with vectors up to `level` wide (the same bits at every width). All sides' box rows share
// the pool; each thread works in about 2 n C doubles of its own, at most about 32 MiB unless a
// single box needs more (about 4 n^2 doubles).
void measureBoxes(const double* const* data, const std::vector<WindowGeometry>& geometries,
                  WorkerPool& pool, SimdLevel level, std::vector<SideBoxes>& sides);
