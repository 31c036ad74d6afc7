#pragma once

#include <vector>

#include "fast_surface.h"
#include "scaling_table.h"

// The residual sums of moving-average surfaces of the whole data, split by blocks of cells: one
// pass over the data per side, a few operations per cell whatever the side. A cell's residual is
// its value less the mean of the window centred on it (odd sides; even sides are off centre by
// half a cell), and it lies in the block of that cell.
//
// Three kinds of window: the square s x s window of the analysis (the fast method and its tile
// sums), and the 1 x s and s x 1 windows that average along one axis only, whose residuals show
// the roughness of the rows and of the columns apart.

enum class WindowAxis { kSquare, kAlongRows, kAlongColumns };

struct SideBlocks {
    int side = 0;
    std::vector<double> sums;   // block (p, q) at p * tileColumns + q, as TileSums has them
    std::vector<double> cells;  // the cells with a residual in each block
};

// `layout` says which block each row and column is in (its sums are not used). `data` must hold
// finite values only: one missing value would spoil the running sums of its whole line.
std::vector<SideBlocks> residualBlocks(const double* const* data, int R, int C,
                                       const TileSums& layout, const std::vector<int>& sides,
                                       WindowAxis axis, const ScalingCompute& compute);
