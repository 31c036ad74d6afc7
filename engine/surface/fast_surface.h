#pragma once

#include <vector>

#include "data_matrix.h"
#include "window_geometry.h"
#include "worker_pool.h"

// The fast method: every window sum from running sums, first down the columns and then along the
// rows, so that a cell costs the same few operations whatever the window side. The sums run over
// the data less its mean, which keeps them small and their rounding errors with them; the
// residual sums stay well within 1e-12 relative of the exact sums (about 1e-15 on rough
// surfaces) but are not the bits the exact modes give. Each row also starts its running sum
// along the row afresh, s additions.
//
// The region's rows are cut into stripes whose height depends on the geometry alone; each stripe
// starts its column sums afresh and sums its part of the residual in a fixed order, and the
// stripes' parts are added in order, so the results do not depend on the number of threads.

// What the fast method keeps for a whole run: the data's mean, and the column sums of the data
// less its mean over blocks of kBlockRows rows, from which a stripe's first column sums are
// gathered in about s / kBlockRows additions instead of s.
class FastCentre {
  public:
    static constexpr int kBlockRows = 32;

    FastCentre(WorkerPool& pool, const double* const* data, int R, int C);
    // A given mean and no block sums: every stripe starts its column sums row by row, so that a
    // stripe needs no rows but its windows' (the map's bands).
    FastCentre(double mean, int C);

    double mean() const { return mean_; }
    // Sum of (M[r][c] - mean) over rows first ... last.
    void columnSums(const double* const* data, int first, int last, double* sums) const;

  private:
    int C_;
    double mean_;
    std::vector<double> blockSums_;  // block b, column c at b * C + c
};

// The residual sum split by where its cells lie: the matrix cut into tileRows x tileColumns
// tiles, matrix row i in tile row rowTile[i] and column j in tile column columnTile[j], tile
// columns in ascending order along a row. fastWindowMeans fills `sums`, tile (a, b) at
// a * tileColumns + b, in the same pass as the total, which keeps its bits.
struct TileSums {
    int tileRows = 0, tileColumns = 0;
    std::vector<int> rowTile, columnTile;
    std::vector<double> sums;
};

struct FastJob {
    const double* const* data;
    double* const* surface;  // null: only the residual sum is wanted
    int R, C;
    WindowGeometry geometry;
    ComputedRegion region;  // not empty
    const FastCentre& centre;
    TileSums* tiles = nullptr;  // null: only the total is wanted
};

// Fills the computed region of the surface, when there is one, with the window means, and
// returns the residual sum over the same block as the exact modes.
double fastWindowMeans(WorkerPool& pool, const FastJob& job);

// One stripe alone: cell rows first ... last of the region (job.tiles set), its column sums
// started afresh at `first`, each row's part of the residual added to `tileSums` (laid out as
// job.tiles's sums) row after row. Reads only the data rows of its cells' windows. `buffers`:
// 4 x C doubles.
void fastStripeTiles(const FastJob& job, int first, int last, double* buffers, double* tileSums);
