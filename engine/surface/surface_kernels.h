#pragma once

#include "compute_options.h"

// One area's exact window means over part of the computed region, as WindowAverager computes
// them: the same additions in the same order for every cell, so the results are the same bits.
// Each column's (optimised) or each cell's (plain) running sum is a chain of its own; the kernels
// put neighbouring chains into the lanes of a vector, which changes no operation of any chain.
struct WindowJob {
    const double* const* data;
    double* const* surface;
    int side;
    int rowOffset;
    int columnOffset;
    int firstRow;  // the computed region's rows, inclusive
    int lastRow;
};

struct SurfaceKernels {
    SimdLevel level;
    // Columns per group of chains: work is best split into multiples of it. `state` buffers
    // below need room for the width of their range plus this many doubles.
    int groupColumns;
    // Optimised mode for columns [firstColumn, lastColumn] of the region: fullMean at its first
    // row, then slideDown row by row to its last; units [from, to) of windowUnits(job, true,
    // ...) only, the sums waiting in `state` between calls, which must come in order.
    void (*slideColumns)(const WindowJob& job, int firstColumn, int lastColumn, double* state,
                         int from, int to);
    // Plain mode: fullMean for every cell of rows [firstRow, lastRow] x [firstColumn, lastColumn].
    void (*plainCells)(const WindowJob& job, int firstRow, int lastRow, int firstColumn,
                       int lastColumn, double* state);
};

// A chain's work in units: one per pass over a data row (fullMean's s rows, then one slideDown
// per row below; s rows per plain cell), and one to finish the last. Once units [0, u) of every
// column are done, the first max(0, u - s) rows of the region hold their means (optimised mode).
// Defined in a portable file: a function with a body here would be compiled into every width's
// kernels, and the linker could keep a wide copy for all of them.
int windowUnits(const WindowJob& job, bool sliding, int firstRow, int lastRow);

// The kernels of a level; a level this build or processor lacks gives the best one below it.
const SurfaceKernels& surfaceKernels(SimdLevel level);

// Per instruction set, each from surface_kernels_shim.cpp compiled for it.
const SurfaceKernels& portableSurfaceKernels();
const SurfaceKernels& avx2SurfaceKernels();
const SurfaceKernels& avx512SurfaceKernels();
