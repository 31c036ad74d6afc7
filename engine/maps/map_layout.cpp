#include "map_layout.h"

#include <numeric>

std::optional<std::string> mapLayoutProblem(int R, int C, int tile, int stride) {
    if (tile < 16 || tile % MapLayout::kQuarters != 0)
        return "The tile (" + std::to_string(tile) + ") must be a multiple of 4 and at least 16";
    if (stride < 1 || stride > tile)
        return "The stride (" + std::to_string(stride) + ") must lie between 1 and the tile (" +
               std::to_string(tile) + ")";
    if (tile > R || tile > C)
        return "The tile (" + std::to_string(tile) + ") is larger than the surface (" +
               std::to_string(R) + " x " + std::to_string(C) + ")";
    return std::nullopt;
}

MapLayout mapLayout(int R, int C, int tile, int stride) {
    MapLayout layout;
    layout.rows = R;
    layout.columns = C;
    layout.tile = tile;
    layout.stride = stride;
    layout.tileRows = (R - tile) / stride + 1;
    layout.tileColumns = (C - tile) / stride + 1;
    layout.block = std::gcd(stride, tile / MapLayout::kQuarters);
    layout.blockRows = (R + layout.block - 1) / layout.block;
    layout.blockColumns = (C + layout.block - 1) / layout.block;
    return layout;
}

TileSums blockSums(const MapLayout& layout) {
    TileSums tiles;
    tiles.tileRows = layout.blockRows;
    tiles.tileColumns = layout.blockColumns;
    tiles.rowTile.resize(static_cast<std::size_t>(layout.rows));
    tiles.columnTile.resize(static_cast<std::size_t>(layout.columns));
    for (int i = 0; i < layout.rows; ++i)
        tiles.rowTile[static_cast<std::size_t>(i)] = i / layout.block;
    for (int j = 0; j < layout.columns; ++j)
        tiles.columnTile[static_cast<std::size_t>(j)] = j / layout.block;
    return tiles;
}
