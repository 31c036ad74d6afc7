#include "fast_surface.h"

#include <algorithm>
#include <vector>

namespace {

// Rows per stripe, from the geometry alone so that the sums do not depend on the number of
// threads: the window side, but no more than an eighth of the region, so that the stripes keep
// every core busy, and never fewer than 32. A stripe starts its column sums from the block sums,
// about s / 32 + 62 additions per column.
int stripeHeight(int side, int regionRows) {
    return std::max(32, std::min(side, (regionRows + 7) / 8));
}

// Sums of (M[r][c] - mean) over the window's rows r for cell row i, for every column c.
void startColumnSums(const FastJob& job, int i, double* sums) {
    const int s = job.geometry.side;
    const int F = job.geometry.rowOffset;
    job.centre.columnSums(job.data, F + i - s + 1, F + i, sums);
}

// The column sums of cell row i from those of row i - 1.
void slideColumnSums(const FastJob& job, int i, const double* previous, double* sums) {
    const int s = job.geometry.side;
    const int F = job.geometry.rowOffset;
    const double* entering = job.data[F + i];
    const double* leaving = job.data[F + i - s];
    for (int c = 0; c < job.C; ++c) sums[c] = previous[c] + (entering[c] - leaving[c]);
}

// The means of cell rows i ... i+N-1 from their column sums, and those rows' part of the
// residual sum. The rows run side by side, so that their running sums along the row, each a
// chain of additions, overlap in time. With kTiles each row is taken in stretches of one tile
// column, whose parts of the residual are also added to `tileSums` (one stripe's tiles); the
// total is summed in the same order either way.
template <int N, bool kTiles>
double meansOfRows(const FastJob& job, int i, double* const* sums, double* tileSums) {
    const int s = job.geometry.side;
    const int G = job.geometry.columnOffset;
    const int first = job.region.firstColumn;
    const int last = job.region.lastColumn;
    const double mean = job.centre.mean();
    const double scale = 1.0 / (static_cast<double>(s) * s);

    double window[N], residual[N];
    for (int k = 0; k < N; ++k) {
        window[k] = 0.0;
        residual[k] = 0.0;
        for (int c = first + G - s + 1; c <= first + G; ++c) window[k] += sums[k][c];
    }
    for (int stretch = first; stretch <= last;) {
        int end = last;
        if constexpr (kTiles) {
            const int* columnTile = job.tiles->columnTile.data();
            // Tile columns ascend along the row: the stretch ends where its tile does, found
            // by walking forward, so that many narrow tiles cost no more than a few wide ones.
            end = stretch;
            while (end < last && columnTile[end + 1] == columnTile[stretch]) ++end;
        }
        double part[N] = {};
        for (int j = stretch; j <= end; ++j) {
            for (int k = 0; k < N; ++k) {
                if (j > first) window[k] += sums[k][j + G] - sums[k][j + G - s];
                const double centred = window[k] * scale;
                if (job.surface) job.surface[i + k][j] = centred + mean;
                // The residual block leaves out the region's last row and last column.
                if (j < last && i + k < job.region.lastRow) {
                    const double difference = centred - (job.data[i + k][j] - mean);
                    residual[k] += difference * difference;
                    if constexpr (kTiles) part[k] += difference * difference;
                }
            }
        }
        if constexpr (kTiles) {
            const TileSums& tiles = *job.tiles;
            for (int k = 0; k < N; ++k)
                tileSums[tiles.rowTile[i + k] * tiles.tileColumns + tiles.columnTile[stretch]] +=
                    part[k];
        }
        stretch = end + 1;
    }
    double total = 0.0;
    for (int k = 0; k < N; ++k) total += residual[k];
    return total;
}

// One stripe of cell rows, first ... last: its means and its part of the residual sum.
// `buffers` holds four rows of column sums.
template <bool kTiles>
double fastStripe(const FastJob& job, int first, int last, double* buffers, double* tileSums) {
    constexpr int kRows = 4;
    double* sums[kRows];
    for (int k = 0; k < kRows; ++k) sums[k] = buffers + static_cast<std::size_t>(k) * job.C;
    startColumnSums(job, first, sums[0]);
    double total = 0.0;
    int i = first;
    for (; i + kRows - 1 <= last; i += kRows) {
        for (int k = 1; k < kRows; ++k) slideColumnSums(job, i + k, sums[k - 1], sums[k]);
        total += meansOfRows<kRows, kTiles>(job, i, sums, tileSums);
        if (i + kRows <= last) slideColumnSums(job, i + kRows, sums[kRows - 1], sums[0]);
    }
    for (; i <= last; ++i) {
        total += meansOfRows<1, kTiles>(job, i, sums, tileSums);
        if (i < last) slideColumnSums(job, i + 1, sums[0], sums[0]);
    }
    return total;
}

}  // namespace

FastCentre::FastCentre(WorkerPool& pool, const double* const* data, int R, int C) : C_(C) {
    mean_ = 0.0;
    if (R <= 0 || C <= 0) return;
    long double total = 0.0L;
    for (int i = 0; i < R; ++i) {
        double row = 0.0;
        for (int j = 0; j < C; ++j) row += data[i][j];
        total += row;
    }
    mean_ = static_cast<double>(total / (static_cast<long double>(R) * C));

    const int blocks = (R + kBlockRows - 1) / kBlockRows;
    blockSums_.assign(static_cast<std::size_t>(blocks) * C, 0.0);
    pool.run(blocks, [&](int b) {
        double* sums = blockSums_.data() + static_cast<std::size_t>(b) * C;
        const int last = std::min(R, (b + 1) * kBlockRows) - 1;
        for (int r = b * kBlockRows; r <= last; ++r)
            for (int c = 0; c < C; ++c) sums[c] += data[r][c] - mean_;
    });
}

FastCentre::FastCentre(double mean, int C) : C_(C), mean_(mean) {}

void FastCentre::columnSums(const double* const* data, int first, int last, double* sums) const {
    std::fill(sums, sums + C_, 0.0);
    auto addRow = [&](int r) {
        for (int c = 0; c < C_; ++c) sums[c] += data[r][c] - mean_;
    };
    int r = first;
    if (blockSums_.empty()) {
        for (; r <= last; ++r) addRow(r);
        return;
    }
    for (; r <= last && r % kBlockRows != 0; ++r) addRow(r);
    for (; r + kBlockRows - 1 <= last; r += kBlockRows) {
        const double* block = blockSums_.data() + static_cast<std::size_t>(r / kBlockRows) * C_;
        for (int c = 0; c < C_; ++c) sums[c] += block[c];
    }
    for (; r <= last; ++r) addRow(r);
}

void fastStripeTiles(const FastJob& job, int first, int last, double* buffers, double* tileSums) {
    fastStripe<true>(job, first, last, buffers, tileSums);
}

double fastWindowMeans(WorkerPool& pool, const FastJob& job) {
    const ComputedRegion& region = job.region;
    const int rows = region.lastRow - region.firstRow + 1;
    const int height = stripeHeight(job.geometry.side, rows);
    const int stripes = (rows + height - 1) / height;
    std::vector<double> stripeSums(static_cast<std::size_t>(stripes), 0.0);
    std::vector<double> buffers(static_cast<std::size_t>(job.C) * 4 * pool.threadCount());
    // Each stripe sums its own tiles; they are added in stripe order, whatever the threads did.
    const std::size_t tileCount =
        job.tiles ? static_cast<std::size_t>(job.tiles->tileRows) * job.tiles->tileColumns : 0;
    std::vector<double> stripeTiles(tileCount * static_cast<std::size_t>(stripes), 0.0);
    pool.run(stripes, [&](int stripe, int thread) {
        const int first = region.firstRow + stripe * height;
        const int last = std::min(region.lastRow, first + height - 1);
        double* mine = buffers.data() + static_cast<std::size_t>(thread) * 4 * job.C;
        double* tiles = stripeTiles.data() + tileCount * static_cast<std::size_t>(stripe);
        stripeSums[static_cast<std::size_t>(stripe)] =
            job.tiles ? fastStripe<true>(job, first, last, mine, tiles)
                      : fastStripe<false>(job, first, last, mine, nullptr);
    });
    double residual = 0.0;
    for (double part : stripeSums) residual += part;
    if (job.tiles) {
        job.tiles->sums.assign(tileCount, 0.0);
        for (int stripe = 0; stripe < stripes; ++stripe)
            for (std::size_t t = 0; t < tileCount; ++t)
                job.tiles->sums[t] += stripeTiles[tileCount * static_cast<std::size_t>(stripe) + t];
    }
    return residual;
}
