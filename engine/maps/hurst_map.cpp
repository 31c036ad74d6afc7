#include "hurst_map.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "hurst_fit.h"
#include "map_calibration.h"
#include "scaling_sides.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Fewer sides than this leave a tile's slope to one or two points.
constexpr int kFewestSides = 3;
// A drift of the local slope 2H beyond this many standard errors (and beyond kLeastDrift) marks
// the tile's log-log line as curved, as for a whole surface.
constexpr double kDriftErrors = 3.0;
constexpr double kLeastDrift = 0.1;

// The data with its missing (not finite) values replaced by the mean of the others, so that the
// running sums stay finite, and the count of missing values in any rectangle, so that the tiles
// whose windows reach one can be left empty.
class MissingValues {
  public:
    MissingValues(const double* const* data, int R, int C) : C_(C) {
        for (int i = 0; i < R && !any_; ++i)
            for (int j = 0; j < C; ++j) any_ = any_ || !std::isfinite(data[i][j]);
        if (!any_) return;
        counts_.assign(static_cast<std::size_t>(R + 1) * (C + 1), 0);
        long double total = 0.0L;
        long long finite = 0;
        for (int i = 0; i < R; ++i)
            for (int j = 0; j < C; ++j) {
                const bool missing = !std::isfinite(data[i][j]);
                if (!missing) total += data[i][j], ++finite;
                at(i + 1, j + 1) = at(i, j + 1) + at(i + 1, j) - at(i, j) + missing;
            }
        const double fill = finite > 0 ? static_cast<double>(total / finite) : 0.0;
        filled_.resize(static_cast<std::size_t>(R) * C);
        for (int i = 0; i < R; ++i) {
            double* row = filled_.data() + static_cast<std::size_t>(i) * C;
            for (int j = 0; j < C; ++j) row[j] = std::isfinite(data[i][j]) ? data[i][j] : fill;
            rows_.push_back(row);
        }
    }

    bool any() const { return any_; }
    const double* const* filledRows() const { return rows_.data(); }

    // Missing values in rows r0 ... r1 - 1, columns c0 ... c1 - 1, the bounds clipped.
    long long in(int r0, int r1, int c0, int c1) const {
        if (!any_) return 0;
        const int R = static_cast<int>(counts_.size() / (C_ + 1)) - 1;
        r0 = std::max(r0, 0), c0 = std::max(c0, 0), r1 = std::min(r1, R), c1 = std::min(c1, C_);
        if (r0 >= r1 || c0 >= c1) return 0;
        return at(r1, c1) - at(r0, c1) - at(r1, c0) + at(r0, c0);
    }

  private:
    long long& at(int i, int j) { return counts_[static_cast<std::size_t>(i) * (C_ + 1) + j]; }
    long long at(int i, int j) const { return counts_[static_cast<std::size_t>(i) * (C_ + 1) + j]; }

    int C_;
    bool any_ = false;
    std::vector<long long> counts_;
    std::vector<double> filled_;
    std::vector<const double*> rows_;
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
    const MapLayout layout = mapLayout(R, C, request.tile, request.stride);
    const TileSums grid = blockSums(layout);
    const std::vector<int> sides = mapSides(request);
    const MissingValues missing(data, R, C);
    const double* const* values = missing.any() ? missing.filledRows() : data;
    ScalingCompute compute;
    compute.threads = request.threads;
    compute.cancel = request.cancel;
    const int halo = mapHalo(sides);

    std::vector<HurstMap> maps;
    for (WindowAxis axis : axes) {
        HurstMap map;
        map.layout = layout;
        map.axis = axis;
        map.sides = sides;
        const std::size_t tiles = static_cast<std::size_t>(layout.tileCount());
        map.hurst.assign(tiles, kNaN);
        map.low.assign(tiles, kNaN);
        map.high.assign(tiles, kNaN);
        map.cells.assign(tiles, 0.0);
        map.flags.assign(tiles, 0);
        const std::vector<SideBlocks> blocks =
            residualBlocks(values, R, C, grid, sides, axis, compute);
        for (int a = 0; a < layout.tileRows; ++a)
            for (int b = 0; b < layout.tileColumns; ++b) {
                const std::size_t t = static_cast<std::size_t>(a) * layout.tileColumns + b;
                const int r0 = a * layout.stride, c0 = b * layout.stride;
                if (missing.any() && missing.in(r0 - halo, r0 + layout.tile + halo, c0 - halo,
                                                c0 + layout.tile + halo) > 0) {
                    map.flags[t] |= kMapMissing;
                    continue;
                }
                fitTile(tileTable(layout, grid, blocks, a, b), map, t);
            }
        maps.push_back(std::move(map));
    }
    return maps;
}
