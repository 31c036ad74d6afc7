#include "scaling_table.h"

#include <algorithm>

#include "surface_calculator.h"

namespace {

// Tiles of about 32 cells or more a side, at most 8 in each direction: enough to leave one out
// at a time without losing much of the surface.
TileSums tileLayout(int R, int C) {
    TileSums tiles;
    tiles.tileRows = std::clamp(R / 16, 2, 8);
    tiles.tileColumns = std::clamp(C / 16, 2, 8);
    tiles.rowTile.resize(static_cast<std::size_t>(R));
    tiles.columnTile.resize(static_cast<std::size_t>(C));
    for (int i = 0; i < R; ++i)
        tiles.rowTile[static_cast<std::size_t>(i)] = static_cast<int>(1LL * i * tiles.tileRows / R);
    for (int j = 0; j < C; ++j)
        tiles.columnTile[static_cast<std::size_t>(j)] =
            static_cast<int>(1LL * j * tiles.tileColumns / C);
    return tiles;
}

// The residual block of the geometry: (R - s) x (C - s) cells from the start of the computed
// region.
struct Block {
    int firstRow, rows, firstColumn, columns;
};

Block residualBlock(const WindowGeometry& g, int R, int C) {
    return {g.side - g.rowOffset - 1, R - g.side, g.side - g.columnOffset - 1, C - g.side};
}

std::vector<double> cellsPerTile(const TileSums& tiles, const Block& block) {
    std::vector<double> perRow(static_cast<std::size_t>(tiles.tileRows), 0.0);
    std::vector<double> perColumn(static_cast<std::size_t>(tiles.tileColumns), 0.0);
    for (int i = block.firstRow; i < block.firstRow + block.rows; ++i)
        perRow[static_cast<std::size_t>(tiles.rowTile[static_cast<std::size_t>(i)])] += 1.0;
    for (int j = block.firstColumn; j < block.firstColumn + block.columns; ++j)
        perColumn[static_cast<std::size_t>(tiles.columnTile[static_cast<std::size_t>(j)])] += 1.0;
    std::vector<double> cells;
    for (double r : perRow)
        for (double c : perColumn) cells.push_back(r * c);
    return cells;
}

// The exact modes leave the residual's parts to a pass of their own over the surface.
void sumTilesOfSurface(const double* const* surface, const double* const* data, const Block& block,
                       TileSums& tiles) {
    tiles.sums.assign(static_cast<std::size_t>(tiles.tileRows) * tiles.tileColumns, 0.0);
    for (int i = block.firstRow; i < block.firstRow + block.rows; ++i) {
        double* row = tiles.sums.data() +
                      static_cast<std::size_t>(tiles.rowTile[static_cast<std::size_t>(i)]) *
                          tiles.tileColumns;
        for (int j = block.firstColumn; j < block.firstColumn + block.columns; ++j) {
            const double difference = surface[i][j] - data[i][j];
            row[tiles.columnTile[static_cast<std::size_t>(j)]] += difference * difference;
        }
    }
}

}  // namespace

double meanSquaredResidual(double residual, int side, int R, int C) {
    if (side >= R || side >= C) return 0.0;
    return residual / (static_cast<double>(R - side) * static_cast<double>(C - side));
}

ScalingTable computeScalingTable(const double* const* data, int R, int C,
                                 const std::vector<int>& sides, const ScalingCompute& compute) {
    ScalingTable table;
    table.rows = R;
    table.columns = C;
    TileSums tiles = tileLayout(R, C);
    table.tileCount = tiles.tileRows * tiles.tileColumns;

    ComputeOptions options;
    options.threads = compute.threads;
    options.method = compute.method;
    options.cancel = compute.cancel;
    SurfaceCalculator calculator(options);
    const bool fast = compute.method == SurfaceMethod::kFast;
    RowTable surface = nullptr;
    if (!fast) allocateMatrix(surface, R, C);
    ComputedRegion written = emptyRegion();
    std::vector<double> noTiles;
    FastCentre centre(calculator.pool(), fast ? data : nullptr, fast ? R : 0, fast ? C : 0);

    for (int side : sides) {
        throwIfCancelled(compute.cancel);
        const long long area = 1LL * side * side;
        const WindowGeometry geometry =
            windowGeometry(static_cast<int>(area), compute.nShift, compute.mShift);
        const Block block = residualBlock(geometry, R, C);
        double residual;
        if (fast) {
            residual =
                calculator.computeFast(nullptr, written, data, R, C, geometry, centre, &tiles);
        } else {
            residual = calculator.computeExact(surface, written, data, R, C, geometry, 1);
            sumTilesOfSurface(surface, data, block, tiles);
        }
        table.points.push_back(
            {side, area, residual, meanSquaredResidual(residual, side, R, C), false});
        table.tileResiduals.push_back(tiles.sums);
        table.tileCells.push_back(cellsPerTile(tiles, block));
    }
    freeMatrix(surface, R, C);
    return table;
}
