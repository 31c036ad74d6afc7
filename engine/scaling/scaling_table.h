#pragma once

#include <vector>

#include "compute_options.h"

// The per-side table of a scaling analysis: for each window side s the residual sum of the
// moving-average surface, its mean per cell sigma2(s) = residual / ((R - s)(C - s)), and the
// parts of the residual in each tile of the surface, from which the spread of the fit is found
// by leaving one tile out at a time.

struct ScalingPoint {
    int side = 0;
    long long area = 0;  // side * side, the window area a run would be given
    double residual = 0.0;
    double sigma2 = 0.0;
    bool fitted = false;
};

struct ScalingTable {
    int rows = 0, columns = 0;
    std::vector<ScalingPoint> points;
    int tileCount = 0;  // 0 when the table came from a results file without tiles
    // Per point, per tile: the residual's part and the number of cells it covers.
    std::vector<std::vector<double>> tileResiduals;
    std::vector<std::vector<double>> tileCells;
};

struct ScalingCompute {
    SurfaceMethod method = SurfaceMethod::kFast;
    double nShift = 0.5, mShift = 0.5;
    int threads = 0;
    const CancelToken* cancel = nullptr;  // polled between sides and row blocks
};

// The mean squared residual per cell of the (R - s) x (C - s) block; 0 when the block is empty.
double meanSquaredResidual(double residual, int side, int R, int C);

// Computes the table for the sides (each at least 1 and below both R and C) over the R x C data,
// with the tile sums collected in the same pass.
ScalingTable computeScalingTable(const double* const* data, int R, int C,
                                 const std::vector<int>& sides, const ScalingCompute& compute);
