#include "surface_calculator.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

namespace {

// Work is split into about this many column parts per thread, so that a thread that finishes
// early finds more.
constexpr int kTasksPerThread = 4;
// Units of a chain (windowUnits) that a task takes at once in the optimised mode.
constexpr int kUnitsPerTask = 64;
// Row parts in plain mode: at most so many, of at least so many rows.
constexpr int kMostRowParts = 16;
constexpr int kLeastPartRows = 16;

// Gives way to the other threads until ready() holds: a task waits only for tasks handed out
// before it, which are running.
template <class Ready>
void waitFor(const Ready& ready) {
    while (!ready()) std::this_thread::yield();
}

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

double SurfaceCalculator::computeExact(RowTable surface, ComputedRegion& written,
                                       const double* const* data, int R, int C,
                                       const WindowGeometry& geometry, int optimise) {
    ComputedRegion region = computedRegion(geometry, R, C);
    if (geometry.side < 1 || region.empty()) region = emptyRegion();
    zeroLeavingCells(surface, written, region);
    written = region;
    if (region.empty()) return residualSum(surface, data, R, C, geometry);

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
    // Each column part keeps its groups' sums between calls in its own part of the scratch
    // buffer (one such buffer per row part in plain mode).
    const int stateDoubles = width + columnParts * groupColumns;
    auto state = [&](int columnPart, int rowPart) {
        return scratch_.data() + static_cast<std::size_t>(rowPart) * stateDoubles +
               (columnBegin(columnPart) - region.firstColumn) + columnPart * groupColumns;
    };

    // The residual sum is one chain, block row after block row; it is taken a stripe of rows at
    // a time, as soon as every column part has finished those rows, by whichever thread is free,
    // while the others go on with later rows.
    ResidualChain residual(surface, data, R, C, geometry);
    std::atomic<int> residualDone{0};
    if (optimise) {
        // A column's chain runs down every row, so a part takes its rows in stripes of
        // kUnitsPerTask units, each after the one before.
        const int units = windowUnits(job, true, region.firstRow, region.lastRow);
        const int stripes = (units + kUnitsPerTask - 1) / kUnitsPerTask;
        scratch_.resize(static_cast<std::size_t>(stateDoubles));
        std::unique_ptr<std::atomic<int>[]> stripesDone(new std::atomic<int>[columnParts]);
        for (int p = 0; p < columnParts; ++p) stripesDone[p].store(0);
        auto unitsBefore = [&](int stripe) { return std::min(units, stripe * kUnitsPerTask); };
        // Tasks in order: the parts of stripe 0, then of each next stripe followed by the
        // residual of the stripe before, then the residual of the last.
        const int perStripe = columnParts + 1;
        pool_.run(stripes * perStripe, [&](int task) {
            const int stripe = task / perStripe;
            const int k = task % perStripe;
            if (k < columnParts) {
                waitFor([&] { return stripesDone[k].load(std::memory_order_acquire) >= stripe; });
                kernels_.slideColumns(job, columnBegin(k), columnEnd(k), state(k, 0),
                                      unitsBefore(stripe), unitsBefore(stripe + 1));
                stripesDone[k].store(stripe + 1, std::memory_order_release);
                return;
            }
            waitFor([&] {
                if (residualDone.load(std::memory_order_acquire) != stripe) return false;
                for (int p = 0; p < columnParts; ++p)
                    if (stripesDone[p].load(std::memory_order_acquire) <= stripe) return false;
                return true;
            });
            residual.addRowsBefore(region.firstRow +
                                   std::max(0, unitsBefore(stripe + 1) - geometry.side));
            residualDone.store(stripe + 1, std::memory_order_release);
        });
        return residual.sum();
    }

    // Plain mode: every cell is a chain of its own, so rows are split as well.
    const int rows = region.lastRow - region.firstRow + 1;
    const int rowParts = std::max(1, std::min(kMostRowParts, rows / kLeastPartRows));
    auto rowBegin = [&](int k) {
        return region.firstRow + static_cast<int>(static_cast<long long>(rows) * k / rowParts);
    };
    scratch_.resize(static_cast<std::size_t>(stateDoubles) * rowParts);
    std::unique_ptr<std::atomic<int>[]> partsDone(new std::atomic<int>[rowParts]);
    for (int r = 0; r < rowParts; ++r) partsDone[r].store(0);
    const int perRowPart = columnParts + 1;
    pool_.run(rowParts * perRowPart, [&](int task) {
        const int r = task / perRowPart;
        const int c = task % perRowPart;
        if (c < columnParts) {
            kernels_.plainCells(job, rowBegin(r), rowBegin(r + 1) - 1, columnBegin(c), columnEnd(c),
                                state(c, r));
            partsDone[r].fetch_add(1, std::memory_order_acq_rel);
            return;
        }
        waitFor([&] {
            return residualDone.load(std::memory_order_acquire) == r &&
                   partsDone[r].load(std::memory_order_acquire) == columnParts;
        });
        residual.addRowsBefore(rowBegin(r + 1));
        residualDone.store(r + 1, std::memory_order_release);
    });
    return residual.sum();
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

ResidualChain::ResidualChain(const double* const* surface, const double* const* data, int R, int C,
                             const WindowGeometry& geometry)
    : surface_(surface),
      data_(data),
      next_(geometry.side - geometry.rowOffset - 1),
      end_(next_ + R - geometry.side),
      left_(geometry.side - geometry.columnOffset - 1),
      columns_(C - geometry.side) {
    if (geometry.side < 1 || columns_ <= 0) end_ = next_;
}

void ResidualChain::addRowsBefore(int row) {
    for (; next_ < end_ && next_ < row; ++next_) {
        const double* s = surface_[next_];
        const double* m = data_[next_];
        for (int j = left_; j < left_ + columns_; ++j) {
            const double difference = s[j] - m[j];
            sum_ += difference * difference;
        }
    }
}

double residualSum(const double* const* surface, const double* const* data, int R, int C,
                   const WindowGeometry& geometry) {
    ResidualChain chain(surface, data, R, C, geometry);
    chain.addRowsBefore(R);
    return chain.sum();
}
