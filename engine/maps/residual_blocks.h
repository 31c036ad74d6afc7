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

// The rows whose sums are made apart from all others: whole block rows, at least kUnitRows
// rows (the last unit holds what is left). The square window's column sums start afresh at each
// unit's first row and the directional windows' at each block row, so that a unit's sums are
// the same bits whatever else of the surface is in memory and whichever thread makes them.
struct RowUnit {
    int first, last;  // rows, inclusive
};
constexpr int kUnitRows = 128;
std::vector<RowUnit> residualUnits(const TileSums& layout);

// The rows above and below a unit that its windows reach into: half the largest side.
int unitHalo(const std::vector<int>& sides);

// One unit's part of residualBlocks for one side: its blocks' sums, added into `sums` (every
// block of the layout), with the data centred on `mean`. Reads only rows unit.first - halo ...
// unit.last + halo of `data`, whose table is indexed by the surface's row numbers. `scratch`
// holds 4 x C doubles.
void unitResiduals(const double* const* data, int R, int C, const TileSums& layout, int side,
                   WindowAxis axis, double mean, const RowUnit& unit, double* scratch,
                   std::vector<double>& sums);

// The cells with a residual in each block, for one side.
std::vector<double> residualCells(const TileSums& layout, int R, int C, int side, WindowAxis axis);

// The mean the residual sums are centred on: each row summed in turn, the rows' sums in long
// double.
double centreOf(const double* const* data, int R, int C);
