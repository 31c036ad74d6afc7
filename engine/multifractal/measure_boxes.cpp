#include "measure_boxes.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>

#include "simd_level.h"

// Lanes are passed only between functions of this file, all inlined: their calling convention,
// which differs with and without AVX, never matters.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"

namespace {

// Rows of a box row taken together along the columns: their running sums are independent, so
// that the additions of one row need not wait for those of the last.
constexpr int K = 4;
typedef double Lanes __attribute__((vector_size(K * sizeof(double))));

inline __attribute__((always_inline)) Lanes load(const double* at) {
    Lanes value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

inline __attribute__((always_inline)) void store(double* at, Lanes value) {
    std::memcpy(at, &value, sizeof value);
}

// One box row's working memory, kept by each thread from one box row to the next.
struct BoxRowScratch {
    std::vector<double> memory;
    // Per column q, over the s rows above the cross: the sum of x, and of x counted s times.
    double *above = nullptr, *aboveCounted = nullptr;
    // Per column, from the cross down to the current row: the sum of x, the sum of those sums,
    // and the sum of x down to the cell's own row (the profile's rows below the cross).
    double *below = nullptr, *belowOfRuns = nullptr, *belowProfile = nullptr;
    double* zeros = nullptr;  // a row of zeros, read in place of rows a window does not hold
    // Per column and each of K rows at [q K + k]: the window's weighted sum and profile sum
    // down its column.
    double *columnWeighted = nullptr, *columnProfile = nullptr;
    // Along a row, per lane k at [s K + k]: the sums before the cross, as above, of the
    // weighted sums (plain and counted) and of the profile sums; the profile sums after it.
    double *before = nullptr, *beforeCounted = nullptr, *beforeProfile = nullptr,
           *afterProfile = nullptr;

    void layOut(int n, int columns) {
        const std::size_t table = static_cast<std::size_t>(n) * columns,
                          line = static_cast<std::size_t>(columns), lanes = line * K,
                          short_ = static_cast<std::size_t>(n) * K;
        const std::size_t size = 2 * table + 4 * line + 2 * lanes + 4 * short_;
        if (memory.size() < size) memory.resize(size);
        double* at = memory.data();
        for (double** part : {&above, &aboveCounted}) *part = at, at += table;
        for (double** part : {&below, &belowOfRuns, &belowProfile, &zeros}) *part = at, at += line;
        for (double** part : {&columnWeighted, &columnProfile}) *part = at, at += lanes;
        for (double** part : {&before, &beforeCounted, &beforeProfile, &afterProfile})
            *part = at, at += short_;
        std::fill(zeros, zeros + columns, 0.0);
    }
};

// Down the columns for box row `a`: the above tables from the s = 1 ... n - 1 rows above the
// cross row r* = i0 + F (i0 the box row's first row), nearest first, so that each window's
// sums hold its own rows only.
inline __attribute__((always_inline)) void columnSumsAbove(const double* const* data, int n,
                                                           int cross, int left, int columns,
                                                           BoxRowScratch& w) {
    for (int s = 1; s < n; ++s) {
        const double* x = data[cross - s] + left;
        const std::size_t at = static_cast<std::size_t>(s) * columns;
        const double *sum = w.above + at - columns, *counted = w.aboveCounted + at - columns;
        double *nextSum = w.above + at, *nextCounted = w.aboveCounted + at;
        for (int q = 0; q < columns; ++q) {
            nextSum[q] = sum[q] + x[q];
            nextCounted[q] = counted[q] + s * x[q];
        }
    }
}

// For the box row's cell rows d = first ... first + K - 1 (the last row of a window of row d is
// cross + d, its first cross - u with u = n - 1 - d), into lane d - first of each column: the
// window's column sum weighted by (r1 + 1 - p), and the sum over the profile's rows, which are
// the window's rows down to the cell's own (above the cross only, while d < F). Lanes past the
// box's last row are 0. kBackward (F = 0): the profile's rows are the window's rows down to
// cross + d, the same sums with fewer reads.
template <bool kBackward>
inline __attribute__((always_inline)) void columnSums(const double* const* data, int n, int F,
                                                      int cross, int first, int left, int columns,
                                                      BoxRowScratch& w) {
    const double *x[K], *sum[K], *counted[K], *own[K], *cut[K];
    Lanes weight, live;
    for (int k = 0; k < K; ++k) {
        const int d = first + k;
        const std::size_t u = d < n ? n - 1 - d : 0;
        x[k] = d < n ? data[cross + d] + left : w.zeros;
        sum[k] = w.above + u * columns;
        counted[k] = w.aboveCounted + u * columns;
        own[k] = d < n && d >= F ? data[cross - F + d] + left : w.zeros;
        cut[k] = d < n && d < F ? w.above + static_cast<std::size_t>(F - d - 1) * columns : w.zeros;
        weight[k] = d + 1;
        live[k] = d < n;
    }
    for (int q = 0; q < columns; ++q) {
        double below = w.below[q], belowOfRuns = w.belowOfRuns[q], profile = w.belowProfile[q];
        Lanes weighted, profiles;
        for (int k = 0; k < K; ++k) {
            below += x[k][q];
            belowOfRuns += below;
            weighted[k] = belowOfRuns + weight[k] * sum[k][q] + counted[k][q];
            if constexpr (kBackward) {
                profiles[k] = sum[k][q] + below;
            } else {
                profile += own[k][q];
                profiles[k] = sum[k][q] + profile - cut[k][q];
            }
        }
        w.below[q] = below;
        w.belowOfRuns[q] = belowOfRuns;
        w.belowProfile[q] = profile;
        store(w.columnWeighted + q * K, weighted * live);
        store(w.columnProfile + q * K, profiles * live);
    }
}

// Along the K rows in the lanes, for box b whose cross column is c* = n - 1 + b n: the same
// split over the column sums gives the mean of the profile over the window and the profile at
// the cell; returns the sum of e^2 over the box's cells in these rows. kBackward (G = 0): the
// profile's columns are the window's columns up to cross + e.
template <bool kBackward>
inline __attribute__((always_inline)) double rowSquares(int n, int G, int b, BoxRowScratch& w) {
    const int cross = n - 1 + b * n;
    const Lanes zero = {};
    Lanes before = zero, counted = zero, profile = zero;
    store(w.before, zero);
    store(w.beforeCounted, zero);
    store(w.beforeProfile, zero);
    for (int s = 1; s < n; ++s) {
        const Lanes weighted = load(w.columnWeighted + (cross - s) * K);
        before += weighted;
        counted += static_cast<double>(s) * weighted;
        profile += load(w.columnProfile + (cross - s) * K);
        store(w.before + s * K, before);
        store(w.beforeCounted + s * K, counted);
        store(w.beforeProfile + s * K, profile);
    }
    const double cells = static_cast<double>(n) * n;
    Lanes run = zero, runOfRuns = zero, runProfile = zero, squares = zero;
    for (int e = 0; e < n; ++e) {
        run += load(w.columnWeighted + (cross + e) * K);
        runOfRuns += run;
        runProfile += load(w.columnProfile + (cross + e) * K);
        if constexpr (!kBackward) store(w.afterProfile + e * K, runProfile);
        const int u = n - 1 - e;  // the window's columns before the cross
        const Lanes mean = (runOfRuns + static_cast<double>(e + 1) * load(w.before + u * K) +
                            load(w.beforeCounted + u * K)) /
                           cells;
        // The profile ends at column cross - G + e, past the cross or before it.
        Lanes cell = load(w.beforeProfile + u * K);
        if constexpr (kBackward)
            cell += runProfile;
        else
            cell = e >= G ? cell + load(w.afterProfile + (e - G) * K)
                          : cell - load(w.beforeProfile + (G - e - 1) * K);
        const Lanes residual = cell - mean;
        squares += residual * residual;
    }
    double sum = 0.0;
    for (int k = 0; k < K; ++k) sum += squares[k];
    return sum;
}

// A thread's tables of column sums, 2 n (k + 1) n doubles for k boxes side by side, are kept
// within about this many bytes: a box row of a large side on a wide surface is taken in groups
// of boxes. (Not smaller: the n - 1 columns before each group's first box are summed twice, and
// groups small enough for the processor's cache were slower for that.)
constexpr std::size_t kTableBytes = std::size_t{32} << 20;

inline __attribute__((always_inline)) void boxRow(const double* const* data,
                                                  const WindowGeometry& geometry, int a,
                                                  BoxRowScratch& w, SideBoxes& boxes) {
    const int n = geometry.side, F = geometry.rowOffset, G = geometry.columnOffset;
    const int cross = boxes.firstRow + a * n + F;
    const std::size_t perBox = 2 * sizeof(double) * static_cast<std::size_t>(n) * n;
    const int together = static_cast<int>(
        std::clamp<std::size_t>(kTableBytes / perBox, 2, boxes.boxColumns + std::size_t{1}) - 1);
    double* out = boxes.meanSquares.data() + static_cast<std::size_t>(a) * boxes.boxColumns;
    for (int b0 = 0; b0 < boxes.boxColumns; b0 += together) {
        // The windows of boxes b0 ... b0 + count - 1 cover columns b0 n ... (b0 + count + 1) n - 2
        // and rows cross - (n - 1) ... cross + n - 1.
        const int count = std::min(together, boxes.boxColumns - b0);
        const int columns = (count + 1) * n - 1, left = b0 * n;
        w.layOut(n, columns);
        std::fill(w.above, w.above + columns, 0.0);
        std::fill(w.aboveCounted, w.aboveCounted + columns, 0.0);
        std::fill(w.below, w.below + 3 * static_cast<std::size_t>(columns), 0.0);
        columnSumsAbove(data, n, cross, left, columns, w);
        for (int first = 0; first < n; first += K) {
            if (F == 0)
                columnSums<true>(data, n, F, cross, first, left, columns, w);
            else
                columnSums<false>(data, n, F, cross, first, left, columns, w);
            for (int b = 0; b < count; ++b)
                out[b0 + b] +=
                    G == 0 ? rowSquares<true>(n, G, b, w) : rowSquares<false>(n, G, b, w);
        }
    }
    const double cells = static_cast<double>(n) * n;
    for (int b = 0; b < boxes.boxColumns; ++b) out[b] /= cells;
}

// The same code for the build's baseline vectors and, where the processor has them, for AVX2
// (the Lanes in one register instead of two): the same operations in the same order, so the
// same bits; no multiply-add is formed in either. Not on Windows, whose stack is not aligned for
// the wider registers' spills.
void boxRowBaseline(const double* const* data, const WindowGeometry& geometry, int a,
                    BoxRowScratch& w, SideBoxes& boxes) {
    boxRow(data, geometry, a, w, boxes);
}

#if (defined(__x86_64__) || defined(__i386__)) && !defined(_WIN32)
constexpr bool kWideCode = true;
__attribute__((target("avx2"))) void boxRowAvx2(const double* const* data,
                                                const WindowGeometry& geometry, int a,
                                                BoxRowScratch& w, SideBoxes& boxes) {
    boxRow(data, geometry, a, w, boxes);
}
#else
constexpr bool kWideCode = false;
void boxRowAvx2(const double* const* data, const WindowGeometry& geometry, int a, BoxRowScratch& w,
                SideBoxes& boxes) {
    boxRow(data, geometry, a, w, boxes);
}
#endif

}  // namespace

void measureBoxes(const double* const* data, const std::vector<WindowGeometry>& geometries,
                  WorkerPool& pool, SimdLevel level, std::vector<SideBoxes>& sides) {
    // Every box row of every side is one task, the largest sides' first, so that the threads
    // finish together.
    std::vector<std::pair<int, int>> tasks;  // side, box row
    for (std::size_t s = 0; s < sides.size(); ++s) {
        std::fill(sides[s].meanSquares.begin(), sides[s].meanSquares.end(), 0.0);
        for (int a = 0; a < sides[s].boxRows && sides[s].boxColumns > 0; ++a)
            tasks.push_back({static_cast<int>(s), a});
    }
    std::stable_sort(tasks.begin(), tasks.end(), [&](const auto& x, const auto& y) {
        return geometries[x.first].side > geometries[y.first].side;
    });
    std::vector<BoxRowScratch> scratch(static_cast<std::size_t>(pool.threadCount()));
    const bool wide = kWideCode && usableSimdLevel(level) != SimdLevel::kPortable;
    pool.run(static_cast<int>(tasks.size()), [&](int task, int thread) {
        const auto [s, a] = tasks[static_cast<std::size_t>(task)];
        (wide ? boxRowAvx2 : boxRowBaseline)(data, geometries[s], a,
                                             scratch[static_cast<std::size_t>(thread)], sides[s]);
    });
}

#pragma GCC diagnostic pop
