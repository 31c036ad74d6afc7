#include "surface_calculator.h"

#include <algorithm>

namespace {

// Work is split into about this many tasks per thread, so that a thread that finishes early
// finds more.
constexpr int kTasksPerThread = 4;

}  // namespace

ComputedRegion emptyRegion() {
    return {0, -1, 0, -1};
}

SurfaceCalculator::SurfaceCalculator(const ComputeOptions& options)
    : pool_(options.threads), kernels_(surfaceKernels(options.simdLimit)) {}

void SurfaceCalculator::zeroLeavingCells(RowTable surface, const ComputedRegion& written,
                                         const ComputedRegion& next) {
    if (written.empty()) return;
    auto zero = [&](int row, int from, int to) {
        if (from <= to) std::fill(surface[row] + from, surface[row] + to + 1, 0.0);
    };
    for (int i = written.firstRow; i <= written.lastRow; ++i) {
        if (next.empty() || i < next.firstRow || i > next.lastRow) {
            zero(i, written.firstColumn, written.lastColumn);
        } else {
            zero(i, written.firstColumn, std::min(written.lastColumn, next.firstColumn - 1));
            zero(i, std::max(written.firstColumn, next.lastColumn + 1), written.lastColumn);
        }
    }
}

void SurfaceCalculator::computeExact(RowTable surface, ComputedRegion& written,
                                     const double* const* data, int R, int C,
                                     const WindowGeometry& geometry, int optimise) {
    ComputedRegion region = computedRegion(geometry, R, C);
    if (geometry.side < 1 || region.empty()) region = emptyRegion();
    zeroLeavingCells(surface, written, region);
    written = region;
    if (region.empty()) return;

    const WindowJob job{data,
                        surface,
                        geometry.side,
                        geometry.rowOffset,
                        geometry.columnOffset,
                        region.firstRow,
                        region.lastRow};
    const int width = region.lastColumn - region.firstColumn + 1;
    const int groupColumns = kernels_.groupColumns;
    const int groups = width / groupColumns;
    const int wanted = kTasksPerThread * threadCount();
    const int columnParts = std::max(1, std::min(groups, wanted));
    auto columnBegin = [&](int k) {
        return region.firstColumn +
               static_cast<int>(static_cast<long long>(groups) * k / columnParts) * groupColumns;
    };
    auto columnEnd = [&](int k) {
        return k + 1 == columnParts ? region.lastColumn : columnBegin(k + 1) - 1;
    };

    // Each task keeps its groups' sums between stripes in its own part of the scratch buffer.
    const int stateDoubles = width + columnParts * groupColumns;
    auto state = [&](int columnPart, int rowPart) {
        return scratch_.data() + static_cast<std::size_t>(rowPart) * stateDoubles +
               (columnBegin(columnPart) - region.firstColumn) + columnPart * groupColumns;
    };
    if (optimise) {
        scratch_.resize(static_cast<std::size_t>(stateDoubles));
        pool_.run(columnParts, [&](int k) {
            kernels_.slideColumns(job, columnBegin(k), columnEnd(k), state(k, 0));
        });
        return;
    }
    // Plain mode: every cell is a chain of its own, so rows may be split as well.
    const int rows = region.lastRow - region.firstRow + 1;
    const int rowParts = std::max(1, std::min(rows, (wanted + columnParts - 1) / columnParts));
    auto rowBegin = [&](int k) {
        return region.firstRow + static_cast<int>(static_cast<long long>(rows) * k / rowParts);
    };
    scratch_.resize(static_cast<std::size_t>(stateDoubles) * rowParts);
    pool_.run(columnParts * rowParts, [&](int task) {
        const int c = task % columnParts;
        const int r = task / columnParts;
        kernels_.plainCells(job, rowBegin(r), rowBegin(r + 1) - 1, columnBegin(c), columnEnd(c),
                            state(c, r));
    });
}

double SurfaceCalculator::computeFast(RowTable surface, ComputedRegion& written,
                                      const double* const* data, int R, int C,
                                      const WindowGeometry& geometry, const FastCentre& centre) {
    ComputedRegion region = computedRegion(geometry, R, C);
    if (geometry.side < 1 || region.empty()) region = emptyRegion();
    if (surface) {
        zeroLeavingCells(surface, written, region);
        written = region;
    }
    if (region.empty()) return 0.0;
    return fastWindowMeans(pool_, {data, surface, R, C, geometry, region, centre});
}

double residualSum(const double* const* surface, const double* const* data, int R, int C,
                   const WindowGeometry& geometry) {
    double sum = 0.0;
    const int blockRows = R - geometry.side;
    const int blockColumns = C - geometry.side;
    if (blockRows <= 0 || blockColumns <= 0) return sum;
    const int top = geometry.side - geometry.rowOffset - 1;
    const int left = geometry.side - geometry.columnOffset - 1;
    for (int i = top; i < top + blockRows; ++i) {
        const double* s = surface[i];
        const double* m = data[i];
        for (int j = left; j < left + blockColumns; ++j) {
            const double difference = s[j] - m[j];
            sum += difference * difference;
        }
    }
    return sum;
}
