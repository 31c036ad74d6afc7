#include "surface_calculator.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

int windowUnits(const WindowJob& job, bool sliding, int firstRow, int lastRow) {
    const int rows = lastRow - firstRow + 1;
    return (sliding ? job.side + rows - 1 : job.side * rows) + 1;
}

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
    : pool_(options.threads), kernels_(surfaceKernels(options.simdLimit)) {
    pool_.setCancelToken(options.cancel);
}

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

// The computed region's columns cut into `count` parts of whole groups for the threads, the last
// part taking the columns left over; each part keeps its groups' sums between kernel calls in its
// own stretch of a state buffer.
struct ColumnParts {
    int first, last, groupColumns, groups, count;

    ColumnParts(const ComputedRegion& region, int groupColumns, int wanted)
        : first(region.firstColumn),
          last(region.lastColumn),
          groupColumns(groupColumns),
          groups((region.lastColumn - region.firstColumn + 1) / groupColumns),
          count(std::max(1, std::min(groups, wanted))) {}

    int begin(int k) const {
        return first + static_cast<int>(static_cast<long long>(groups) * k / count) * groupColumns;
    }
    int end(int k) const { return k + 1 == count ? last : begin(k + 1) - 1; }
    // Doubles of one state buffer, and where part k's stretch of it starts.
    std::size_t stateDoubles() const {
        return static_cast<std::size_t>(last - first + 1 + count * groupColumns);
    }
    std::size_t stateOffset(int k) const {
        return static_cast<std::size_t>(begin(k) - first + k * groupColumns);
    }
};

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
    const ColumnParts parts(region, kernels_.groupColumns, kTasksPerThread * threadCount());
    ResidualChain residual(surface, data, R, C, geometry);
    if (optimise)
        slideInStripes(job, parts, residual);
    else
        plainInRowParts(job, parts, residual);
    return residual.sum();
}

// A column's chain runs down every row, so a part takes its rows in stripes of kUnitsPerTask
// units, each after the one before. The residual sum is one chain, block row after block row: it
// is taken a stripe of rows at a time, as soon as every part has finished those rows, by
// whichever thread is free, while the others go on with later rows. Tasks go out in this order:
// the parts of stripe 0, then the parts of each next stripe followed by the residual of the
// stripe before, then the residual of the last.
void SurfaceCalculator::slideInStripes(const WindowJob& job, const ColumnParts& parts,
                                       ResidualChain& residual) {
    const int units = windowUnits(job, true, job.firstRow, job.lastRow);
    const int stripes = (units + kUnitsPerTask - 1) / kUnitsPerTask;
    auto unitsBefore = [&](int stripe) { return std::min(units, stripe * kUnitsPerTask); };
    scratch_.resize(parts.stateDoubles());
    std::unique_ptr<std::atomic<int>[]> stripesDone(new std::atomic<int>[parts.count]);
    for (int k = 0; k < parts.count; ++k) stripesDone[k].store(0);
    std::atomic<int> residualDone{0};
    const int perStripe = parts.count + 1;
    pool_.run(stripes * perStripe, [&](int task) {
        const int stripe = task / perStripe;
        const int k = task % perStripe;
        if (k < parts.count) {
            waitFor([&] { return stripesDone[k].load(std::memory_order_acquire) >= stripe; });
            kernels_.slideColumns(job, parts.begin(k), parts.end(k),
                                  scratch_.data() + parts.stateOffset(k), unitsBefore(stripe),
                                  unitsBefore(stripe + 1));
            stripesDone[k].store(stripe + 1, std::memory_order_release);
            return;
        }
        waitFor([&] {
            if (residualDone.load(std::memory_order_acquire) != stripe) return false;
            for (int p = 0; p < parts.count; ++p)
                if (stripesDone[p].load(std::memory_order_acquire) <= stripe) return false;
            return true;
        });
        residual.addRowsBefore(job.firstRow + std::max(0, unitsBefore(stripe + 1) - job.side));
        residualDone.store(stripe + 1, std::memory_order_release);
    });
}

// Plain mode: every cell is a chain of its own, so rows are split as well, into row parts of
// which each has its own state buffer. The residual of a row part is taken once all its column
// parts are done, in row order, as in the sliding mode.
void SurfaceCalculator::plainInRowParts(const WindowJob& job, const ColumnParts& parts,
                                        ResidualChain& residual) {
    const int rows = job.lastRow - job.firstRow + 1;
    const int rowParts = std::max(1, std::min(kMostRowParts, rows / kLeastPartRows));
    auto rowBegin = [&](int r) {
        return job.firstRow + static_cast<int>(static_cast<long long>(rows) * r / rowParts);
    };
    scratch_.resize(parts.stateDoubles() * static_cast<std::size_t>(rowParts));
    std::unique_ptr<std::atomic<int>[]> partsDone(new std::atomic<int>[rowParts]);
    for (int r = 0; r < rowParts; ++r) partsDone[r].store(0);
    std::atomic<int> residualDone{0};
    const int perRowPart = parts.count + 1;
    pool_.run(rowParts * perRowPart, [&](int task) {
        const int r = task / perRowPart;
        const int k = task % perRowPart;
        if (k < parts.count) {
            double* state = scratch_.data() + parts.stateDoubles() * static_cast<std::size_t>(r) +
                            parts.stateOffset(k);
            kernels_.plainCells(job, rowBegin(r), rowBegin(r + 1) - 1, parts.begin(k), parts.end(k),
                                state);
            partsDone[r].fetch_add(1, std::memory_order_acq_rel);
            return;
        }
        waitFor([&] {
            return residualDone.load(std::memory_order_acquire) == r &&
                   partsDone[r].load(std::memory_order_acquire) == parts.count;
        });
        residual.addRowsBefore(rowBegin(r + 1));
        residualDone.store(r + 1, std::memory_order_release);
    });
}

double SurfaceCalculator::computeFast(RowTable surface, ComputedRegion& written,
                                      const double* const* data, int R, int C,
                                      const WindowGeometry& geometry, const FastCentre& centre,
                                      TileSums* tiles) {
    ComputedRegion region = computedRegion(geometry, R, C);
    if (geometry.side < 1 || region.empty()) region = emptyRegion();
    if (surface) {
        zeroLeavingCells(surface, written, region);
        written = region;
    }
    if (region.empty()) {
        if (tiles)
            tiles->sums.assign(static_cast<std::size_t>(tiles->tileRows) * tiles->tileColumns, 0.0);
        return 0.0;
    }
    return fastWindowMeans(pool_, {data, surface, R, C, geometry, region, centre, tiles});
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
