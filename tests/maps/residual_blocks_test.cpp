// The block sums of the residuals against the residuals written out cell by cell, for every kind
// of window: a swapped axis or a window off by a cell shows here.

#include "residual_blocks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "map_layout.h"

namespace {

struct Grid {
    int R, C;
    std::vector<double> values;
    std::vector<const double*> rows;
    Grid(int r, int c, unsigned seed) : R(r), C(c), values(static_cast<std::size_t>(r) * c) {
        std::mt19937 bits(seed);
        std::normal_distribution<double> normal(100.0, 3.0);
        for (double& v : values) v = normal(bits);
        for (int i = 0; i < R; ++i) rows.push_back(values.data() + static_cast<std::size_t>(i) * C);
    }
};

// Block sums as the definition gives them: each cell less the mean of its window, squared, in
// the cell's block; cells whose window does not fit are left out (the square window's residual
// block also leaves out the last row and column, as the analysis does).
std::vector<double> literalBlocks(const Grid& g, const TileSums& layout, int s, WindowAxis axis) {
    std::vector<double> sums(static_cast<std::size_t>(layout.tileRows) * layout.tileColumns, 0.0);
    const int a = s / 2;
    const int height = axis == WindowAxis::kAlongRows ? 1 : s;
    const int width = axis == WindowAxis::kAlongColumns ? 1 : s;
    const int up = axis == WindowAxis::kAlongRows ? 0 : a;
    const int left = axis == WindowAxis::kAlongColumns ? 0 : a;
    const int lastRow = axis == WindowAxis::kSquare ? g.R - s + up - 1 : g.R - height + up;
    const int lastColumn = axis == WindowAxis::kSquare ? g.C - s + left - 1 : g.C - width + left;
    for (int i = up; i <= lastRow; ++i)
        for (int j = left; j <= lastColumn; ++j) {
            double sum = 0.0;
            for (int r = i - up; r < i - up + height; ++r)
                for (int c = j - left; c < j - left + width; ++c) sum += g.rows[r][c];
            const double difference = sum / (height * width) - g.rows[i][j];
            sums[static_cast<std::size_t>(layout.rowTile[i]) * layout.tileColumns +
                 layout.columnTile[j]] += difference * difference;
        }
    return sums;
}

TEST(ResidualBlocks, EachWindowMatchesTheLiteralSumsByBlock) {
    const Grid grid(37, 53, 7);
    const MapLayout map = mapLayout(37, 53, 16, 8);
    const TileSums layout = blockSums(map);
    const std::vector<int> sides = {3, 5, 7, 9};
    const struct {
        WindowAxis axis;
        const char* name;
    } cases[] = {{WindowAxis::kSquare, "square"},
                 {WindowAxis::kAlongRows, "along rows"},
                 {WindowAxis::kAlongColumns, "along columns"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto blocks =
            residualBlocks(grid.rows.data(), grid.R, grid.C, layout, sides, c.axis, {});
        ASSERT_EQ(blocks.size(), sides.size());
        for (std::size_t k = 0; k < sides.size(); ++k) {
            const auto expected = literalBlocks(grid, layout, sides[k], c.axis);
            double cells = 0.0;
            for (std::size_t b = 0; b < expected.size(); ++b) {
                EXPECT_NEAR(blocks[k].sums[b], expected[b], 1e-9 * (1.0 + expected[b]))
                    << "side " << sides[k] << " block " << b;
                cells += blocks[k].cells[b];
            }
            const double R = grid.R, C = grid.C, s = sides[k];
            const double all = c.axis == WindowAxis::kSquare      ? (R - s) * (C - s)
                               : c.axis == WindowAxis::kAlongRows ? R * (C - s + 1)
                                                                  : (R - s + 1) * C;
            EXPECT_EQ(cells, all) << "side " << sides[k];
        }
    }
}

// Rows that are constant have no residual along them, and all of it down the columns.
TEST(ResidualBlocks, AlongRowsSeesOnlyTheRows) {
    Grid grid(40, 40, 3);
    for (int i = 0; i < grid.R; ++i)
        for (int j = 0; j < grid.C; ++j)
            grid.values[static_cast<std::size_t>(i) * grid.C + j] = std::sin(0.7 * i);
    const TileSums layout = blockSums(mapLayout(40, 40, 16, 8));
    auto total = [&](WindowAxis axis) {
        const auto blocks = residualBlocks(grid.rows.data(), 40, 40, layout, {5}, axis, {});
        double sum = 0.0;
        for (double part : blocks[0].sums) sum += part;
        return sum;
    };
    EXPECT_LT(total(WindowAxis::kAlongRows), 1e-20);
    EXPECT_GT(total(WindowAxis::kAlongColumns), 1.0);
}

TEST(MapLayout, TilesBlocksAndCentres) {
    const struct {
        int R, C, tile, stride;
        int tileRows, tileColumns, block;
        double firstCentre, secondCentre;
    } cases[] = {
        {1024, 1024, 128, 64, 15, 15, 32, 64.0, 128.0},
        {1000, 700, 128, 64, 14, 9, 32, 64.0, 128.0},
        {300, 200, 100, 30, 7, 4, 5, 50.0, 80.0},
        {64, 64, 64, 64, 1, 1, 16, 32.0, 96.0},
        {200, 100, 20, 7, 26, 12, 1, 10.0, 17.0},
    };
    for (const auto& c : cases) {
        ASSERT_FALSE(mapLayoutProblem(c.R, c.C, c.tile, c.stride));
        const MapLayout layout = mapLayout(c.R, c.C, c.tile, c.stride);
        EXPECT_EQ(layout.tileRows, c.tileRows) << c.R << " " << c.tile << " " << c.stride;
        EXPECT_EQ(layout.tileColumns, c.tileColumns);
        EXPECT_EQ(layout.block, c.block);
        EXPECT_EQ(layout.centreRow(0), c.firstCentre);
        EXPECT_EQ(layout.centreColumn(1), c.secondCentre);
        // The last tile ends within the surface, and one more would not.
        EXPECT_LE((layout.tileRows - 1) * c.stride + c.tile, c.R);
        EXPECT_GT(layout.tileRows * c.stride + c.tile, c.R);
    }
    EXPECT_TRUE(mapLayoutProblem(100, 100, 30, 10));  // not a multiple of 4
    EXPECT_TRUE(mapLayoutProblem(100, 100, 12, 4));   // too small
    EXPECT_TRUE(mapLayoutProblem(100, 100, 64, 65));  // stride beyond the tile
    EXPECT_TRUE(mapLayoutProblem(100, 50, 64, 32));   // tile beyond the surface
}

}  // namespace
