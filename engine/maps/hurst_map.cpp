#include "hurst_map.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "hurst_fit.h"
#include "map_calibration.h"
#include "scaling_sides.h"
#include "worker_pool.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Fewer sides than this leave a tile's slope to one or two points.
constexpr int kFewestSides = 3;
// A drift of the local slope 2H beyond this many standard errors (and beyond kLeastDrift) marks
// the tile's log-log line as curved, as for a whole surface.
constexpr double kDriftErrors = 3.0;
constexpr double kLeastDrift = 0.1;

// The first pass over the rows: the mean the residual sums are centred on, taken over the
// values that are not missing (each row's sum in turn, the rows' sums in long double, as
// centreOf takes it when none is missing), and the tiles whose halo reaches a missing value.
class MapCensus {
  public:
    MapCensus(const MapLayout& layout, int halo)
        : layout_(layout), halo_(halo), reached_(static_cast<std::size_t>(layout.tileCount()), 0) {}

    void addRows(const double* const* data, int first, int last) {
        const int C = layout_.columns;
        for (int i = first; i <= last; ++i) {
            const double* row = data[i];
            double sum = 0.0;
            int finite = 0;
            for (int j = 0; j < C; ++j)
                if (std::isfinite(row[j])) sum += row[j], ++finite;
            total_ += sum;
            finite_ += finite;
            if (finite < C) markTiles(i, row);
        }
    }

    bool anyMissing() const {
        return finite_ < static_cast<long long>(layout_.rows) * layout_.columns;
    }
    double centre() const {
        return finite_ > 0 ? static_cast<double>(total_ / static_cast<long double>(finite_)) : 0.0;
    }
    bool reached(std::size_t tile) const { return reached_[tile] != 0; }

  private:
    // The tiles whose rows and halo hold row i and whose columns and halo hold one of its
    // missing values.
    void markTiles(int i, const double* row) {
        const MapLayout& l = layout_;
        prefix_.assign(static_cast<std::size_t>(l.columns) + 1, 0);
        for (int j = 0; j < l.columns; ++j)
            prefix_[static_cast<std::size_t>(j) + 1] =
                prefix_[static_cast<std::size_t>(j)] + !std::isfinite(row[j]);
        for (int a = 0; a < l.tileRows; ++a) {
            const int r0 = a * l.stride;
            if (i < r0 - halo_ || i >= r0 + l.tile + halo_) continue;
            for (int b = 0; b < l.tileColumns; ++b) {
                const int c0 = std::max(0, b * l.stride - halo_);
                const int c1 = std::min(l.columns, b * l.stride + l.tile + halo_);
                if (prefix_[static_cast<std::size_t>(c1)] > prefix_[static_cast<std::size_t>(c0)])
                    reached_[static_cast<std::size_t>(a) * l.tileColumns + b] = 1;
            }
        }
    }

    const MapLayout& layout_;
    int halo_;
    long double total_ = 0.0L;
    long long finite_ = 0;
    std::vector<std::uint8_t> reached_;
    std::vector<int> prefix_;
};

// The per-side table of tile (a, b): its residual and cells at each side, and those of its
// 4 x 4 quarters, which the fit leaves out one at a time.
ScalingTable tileTable(const MapLayout& layout, const TileSums& grid,
                       const std::vector<SideBlocks>& blocks, int a, int b) {
    constexpr int Q = MapLayout::kQuarters;
    const int step = layout.stride / layout.block;
    const int quarter = layout.tile / Q / layout.block;
    ScalingTable table;
    table.rows = table.columns = layout.tile;
    table.tileCount = Q * Q;
    for (const SideBlocks& side : blocks) {
        std::vector<double> residuals(Q * Q, 0.0), cells(Q * Q, 0.0);
        for (int u = 0; u < Q; ++u)
            for (int v = 0; v < Q; ++v)
                for (int p = 0; p < quarter; ++p) {
                    const std::size_t first =
                        static_cast<std::size_t>(a * step + u * quarter + p) * grid.tileColumns +
                        static_cast<std::size_t>(b * step + v * quarter);
                    for (int q = 0; q < quarter; ++q) {
                        residuals[static_cast<std::size_t>(u * Q + v)] += side.sums[first + q];
                        cells[static_cast<std::size_t>(u * Q + v)] += side.cells[first + q];
                    }
                }
        double residual = 0.0, count = 0.0;
        for (int k = 0; k < Q * Q; ++k) residual += residuals[k], count += cells[k];
        ScalingPoint point;
        point.side = side.side;
        point.area = 1LL * side.side * side.side;
        point.residual = residual;
        point.sigma2 = count > 0 ? residual / count : 0.0;
        point.fitted = count > 0;
        table.points.push_back(point);
        table.tileResiduals.push_back(std::move(residuals));
        table.tileCells.push_back(std::move(cells));
    }
    return table;
}

void fitTile(const ScalingTable& table, HurstMap& map, std::size_t t) {
    double fewest = static_cast<double>(map.layout.tile) * map.layout.tile;
    bool flat = true;
    for (std::size_t k = 0; k < table.points.size(); ++k) {
        double cells = 0.0;
        for (double part : table.tileCells[k]) cells += part;
        fewest = std::min(fewest, cells);
        flat = flat && table.points[k].sigma2 == 0.0;
    }
    map.cells[t] = fewest;
    if (2.0 * fewest < static_cast<double>(map.layout.tile) * map.layout.tile)
        map.flags[t] |= kMapFewCells;
    if (flat) {
        map.flags[t] |= kMapFlat;
        return;
    }
    const HurstFit fit = fitHurst(table);
    if (fit.points < kFewestSides) map.flags[t] |= kMapFewCells;
    if (!fit.valid) return;
    const double halfWidth = kMapIntervalFactor * fit.standardError;
    map.hurst[t] = fit.hurst;
    map.low[t] = fit.hurst - halfWidth;
    map.high[t] = fit.hurst + halfWidth;
    if (fit.hurst < kMapCalibratedLow - kMapCalibratedMargin ||
        fit.hurst > kMapCalibratedHigh + kMapCalibratedMargin)
        map.flags[t] |= kMapOutsideRange;
    const double drift = fit.upperSlope - fit.lowerSlope;
    if (fit.points >= 6 && std::fabs(drift) > kLeastDrift &&
        std::fabs(drift) > kDriftErrors * fit.slopeDriftError)
        map.flags[t] |= kMapCurved;
}

}  // namespace

std::vector<int> mapSides(const MapRequest& request) {
    const int from = request.fromSide > 0 ? request.fromSide : kFitFirstSide;
    const int to = request.toSide > 0 ? request.toSide : request.tile / 4;
    return oddSidesInLog(from, to);
}

int mapHalo(const std::vector<int>& sides) {
    return sides.empty() ? 0 : sides.back() / 2 + 1;
}

std::optional<std::string> mapProblem(int R, int C, const MapRequest& request) {
    if (auto problem = mapLayoutProblem(R, C, request.tile, request.stride)) return problem;
    const std::vector<int> sides = mapSides(request);
    if (static_cast<int>(sides.size()) < kFewestSides) {
        if (request.fromSide == 0)
            return "The tile (" + std::to_string(request.tile) + ") gives fewer than " +
                   std::to_string(kFewestSides) +
                   " odd sides from 5 to a quarter of it: take a larger tile or other sides";
        return "The sides " + std::to_string(request.fromSide) + ":" +
               std::to_string(request.toSide) + " give fewer than " + std::to_string(kFewestSides) +
               " odd sides to fit";
    }
    if (sides.back() >= request.tile)
        return "The largest side (" + std::to_string(sides.back()) +
               ") must be smaller than the tile (" + std::to_string(request.tile) + ")";
    return std::nullopt;
}

std::vector<HurstMap> computeHurstMaps(const double* const* data, int R, int C,
                                       const MapRequest& request,
                                       const std::vector<WindowAxis>& axes) {
    MatrixRows rows(data, R, C);
    return computeHurstMaps(rows, request, axes);
}

int mapBandHalo(const MapRequest& request) {
    return unitHalo(mapSides(request));
}

std::vector<MapBand> mapRowBands(int R, int C, const MapRequest& request) {
    const std::vector<RowUnit> units =
        residualUnits(blockSums(mapLayout(R, C, request.tile, request.stride)));
    std::vector<MapBand> bands;
    for (int u = 0; u < static_cast<int>(units.size()); ++u) {
        const RowUnit& unit = units[static_cast<std::size_t>(u)];
        if (bands.empty() ||
            (request.bandRows > 0 && unit.last - bands.back().first + 1 > request.bandRows)) {
            bands.push_back({unit.first, unit.last, u, 1});
        } else {
            bands.back().last = unit.last;
            ++bands.back().unitCount;
        }
    }
    return bands;
}

int mapBandRowsWithin(double budget, int C, const MapRequest& request) {
    const double rows = std::floor(budget / (8.0 * C)) - 2.0 * mapBandHalo(request);
    return rows < 1.0 ? 1 : rows > 1e9 ? 1000000000 : static_cast<int>(rows);
}

double mapBandBytes(int R, int C, const MapRequest& request) {
    int widest = 0;
    for (const MapBand& band : mapRowBands(R, C, request))
        widest = std::max(widest, band.last - band.first + 1);
    return 8.0 * C * std::min(R, widest + 2 * mapBandHalo(request));
}

std::vector<HurstMap> computeHurstMaps(MapRows& rows, const MapRequest& request,
                                       const std::vector<WindowAxis>& axes) {
    const int R = rows.rowCount(), C = rows.columnCount();
    const MapLayout layout = mapLayout(R, C, request.tile, request.stride);
    const TileSums grid = blockSums(layout);
    const std::vector<int> sides = mapSides(request);
    const std::vector<RowUnit> units = residualUnits(grid);
    const std::vector<MapBand> bands = mapRowBands(R, C, request);
    const int bandHalo = mapBandHalo(request);

    MapCensus census(layout, mapHalo(sides));
    for (const MapBand& band : bands) {
        throwIfCancelled(request.cancel);
        census.addRows(rows.band(band.first, band.last), band.first, band.last);
    }
    const double centre = census.centre();
    if (census.anyMissing()) rows.fillMissingWith(centre);

    // sums[x][k]: axis x, side k, every block; each unit writes its own blocks only.
    const std::size_t blocks = static_cast<std::size_t>(grid.tileRows) * grid.tileColumns;
    std::vector<std::vector<std::vector<double>>> sums(
        axes.size(), std::vector<std::vector<double>>(sides.size(), std::vector<double>(blocks)));
    WorkerPool pool(request.threads);
    pool.setCancelToken(request.cancel);
    std::vector<double> scratch(static_cast<std::size_t>(C) * 4 * pool.threadCount());
    const int axisCount = static_cast<int>(axes.size());
    for (const MapBand& band : bands) {
        throwIfCancelled(request.cancel);
        const double* const* data =
            rows.band(std::max(0, band.first - bandHalo), std::min(R - 1, band.last + bandHalo));
        pool.run(band.unitCount * axisCount, [&](int task, int thread) {
            const RowUnit& unit =
                units[static_cast<std::size_t>(band.firstUnit + task / axisCount)];
            const std::size_t x = static_cast<std::size_t>(task % axisCount);
            double* mine = scratch.data() + static_cast<std::size_t>(thread) * 4 * C;
            for (std::size_t k = 0; k < sides.size(); ++k)
                unitResiduals(data, R, C, grid, sides[k], axes[x], centre, unit, mine, sums[x][k]);
        });
    }

    std::vector<HurstMap> maps;
    for (std::size_t x = 0; x < axes.size(); ++x) {
        HurstMap map;
        map.layout = layout;
        map.axis = axes[x];
        map.sides = sides;
        const std::size_t tiles = static_cast<std::size_t>(layout.tileCount());
        map.hurst.assign(tiles, kNaN);
        map.low.assign(tiles, kNaN);
        map.high.assign(tiles, kNaN);
        map.cells.assign(tiles, 0.0);
        map.flags.assign(tiles, 0);
        std::vector<SideBlocks> blocksBySide;
        for (std::size_t k = 0; k < sides.size(); ++k)
            blocksBySide.push_back(
                {sides[k], std::move(sums[x][k]), residualCells(grid, R, C, sides[k], axes[x])});
        for (int a = 0; a < layout.tileRows; ++a)
            for (int b = 0; b < layout.tileColumns; ++b) {
                const std::size_t t = static_cast<std::size_t>(a) * layout.tileColumns + b;
                if (census.reached(t)) {
                    map.flags[t] |= kMapMissing;
                    continue;
                }
                fitTile(tileTable(layout, grid, blocksBySide, a, b), map, t);
            }
        maps.push_back(std::move(map));
    }
    return maps;
}
