#include "directional_analysis.h"

#include <algorithm>
#include <cmath>

#include "map_calibration.h"
#include "residual_blocks.h"

namespace {

// Tiles of about 32 cells or more a side, at most 8 in each direction, as the analysis cuts
// the surface for its interval.
TileSums jackknifeTiles(int R, int C) {
    TileSums tiles;
    tiles.tileRows = std::clamp(R / 32, 2, 8);
    tiles.tileColumns = std::clamp(C / 32, 2, 8);
    for (int i = 0; i < R; ++i)
        tiles.rowTile.push_back(static_cast<int>(1LL * i * tiles.tileRows / R));
    for (int j = 0; j < C; ++j)
        tiles.columnTile.push_back(static_cast<int>(1LL * j * tiles.tileColumns / C));
    return tiles;
}

double directionalBias(double fitted) {
    const auto& curve = kDirectionalBias;
    const std::size_t n = std::size(curve);
    if (fitted <= curve[0].fitted) return curve[0].bias;
    for (std::size_t k = 1; k < n; ++k)
        if (fitted <= curve[k].fitted)
            return curve[k - 1].bias + (fitted - curve[k - 1].fitted) /
                                           (curve[k].fitted - curve[k - 1].fitted) *
                                           (curve[k].bias - curve[k - 1].bias);
    return curve[n - 1].bias;
}

ScalingResult fitAxis(const double* const* data, int R, int C, const ScalingRequest& request,
                      const std::vector<int>& sides, const TileSums& tiles, WindowAxis axis,
                      const std::vector<ScalingWarning>& warnings, const SurfaceFacts& facts) {
    ScalingTable table;
    table.rows = R;
    table.columns = C;
    table.tileCount = tiles.tileRows * tiles.tileColumns;
    for (SideBlocks& part : residualBlocks(data, R, C, tiles, sides, axis, request.compute)) {
        double residual = 0.0, cells = 0.0;
        for (std::size_t t = 0; t < part.sums.size(); ++t)
            residual += part.sums[t], cells += part.cells[t];
        table.points.push_back({part.side, 1LL * part.side * part.side, residual,
                                cells > 0 ? residual / cells : 0.0, false});
        table.tileResiduals.push_back(std::move(part.sums));
        table.tileCells.push_back(std::move(part.cells));
    }
    // The default sides fit over the automatic range, without the bias correction made for
    // square windows.
    const bool chosen = !request.sides.empty() || request.fromSide > 0;
    ScalingRequest centred = request;
    centred.compute.nShift = centred.compute.mShift = 0.5;
    ScalingResult result =
        fitScalingTable(std::move(table), centred,
                        chosen ? FitRange::kEverySide : FitRange::kAutomatic, warnings, facts);
    if (result.defined) {
        if (!chosen) result.hurst = result.fit.hurst - directionalBias(result.fit.hurst);
        const double halfWidth = kDirectionalIntervalFactor * result.fit.standardError;
        result.low = result.hurst - halfWidth;
        result.high = result.hurst + halfWidth;
    }
    return result;
}

}  // namespace

DirectionalResult analyseDirections(const double* const* data, int R, int C,
                                    const ScalingRequest& request) {
    std::vector<ScalingWarning> warnings;
    const std::vector<int> sides = requestedSides(request, R, C, warnings);
    const TileSums tiles = jackknifeTiles(R, C);
    const SurfaceFacts facts = surfaceFacts(data, R, C);
    DirectionalResult result;
    result.rows =
        fitAxis(data, R, C, request, sides, tiles, WindowAxis::kAlongRows, warnings, facts);
    result.columns =
        fitAxis(data, R, C, request, sides, tiles, WindowAxis::kAlongColumns, warnings, facts);
    result.defined = result.rows.defined && result.columns.defined;
    if (!result.defined) return result;
    result.anisotropy = result.rows.hurst - result.columns.hurst;
    const std::vector<double>& rows = result.rows.fit.hurstWithoutTile;
    const std::vector<double>& columns = result.columns.fit.hurstWithoutTile;
    double spread = 0.0;
    if (rows.size() == columns.size() && rows.size() > 1) {
        const double n = static_cast<double>(rows.size());
        double mean = 0.0;
        for (std::size_t t = 0; t < rows.size(); ++t) mean += (rows[t] - columns[t]) / n;
        for (std::size_t t = 0; t < rows.size(); ++t)
            spread += (rows[t] - columns[t] - mean) * (rows[t] - columns[t] - mean);
        spread = std::sqrt(spread * (n - 1) / n);
    }
    result.low = result.anisotropy - kAnisotropyIntervalFactor * spread;
    result.high = result.anisotropy + kAnisotropyIntervalFactor * spread;
    return result;
}
