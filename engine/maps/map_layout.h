#pragma once

#include <optional>
#include <string>

#include "fast_surface.h"

// Where the tiles of a map lie. Tile (a, b) covers rows a * stride ... a * stride + tile - 1 and
// the same columns; tiles that would reach past the surface are not made. The residual sums are
// collected per block of `block` x `block` cells, block the largest side that divides both the
// stride and a quarter of the tile, so that every tile and each of its 4 x 4 quarters (the parts
// its interval leaves out one at a time) is a whole number of blocks.

struct MapLayout {
    static constexpr int kQuarters = 4;  // parts along each side of a tile, for the jackknife

    int rows = 0, columns = 0;  // of the surface
    int tile = 0, stride = 0;
    int tileRows = 0, tileColumns = 0;
    int block = 1;
    int blockRows = 0, blockColumns = 0;  // a last block beyond the whole ones holds the rest

    // The tile's centre in cells from the surface's top (left) edge: a value placed at the
    // centre of its tile.
    double centreRow(int a) const { return a * stride + tile / 2.0; }
    double centreColumn(int b) const { return b * stride + tile / 2.0; }
    int tileCount() const { return tileRows * tileColumns; }
};

// Why tiles of `tile` every `stride` cells cannot be laid on an R x C surface, or nothing.
std::optional<std::string> mapLayoutProblem(int R, int C, int tile, int stride);

// The layout; the arguments must pass mapLayoutProblem.
MapLayout mapLayout(int R, int C, int tile, int stride);

// The blocks as the fast method's tiles, for its residual sums by block.
TileSums blockSums(const MapLayout& layout);
