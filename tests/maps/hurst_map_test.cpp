// Maps of surfaces whose local exponent is known: a mosaic of fractional Brownian quadrants
// whose exponents rise from above left to below right, so that a transposed or mirrored map,
// or tiles put in the wrong place, show as a quadrant with the wrong exponent.

#include "hurst_map.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "fbm_surface.h"
#include "truth_surfaces.h"

namespace {

std::vector<const double*> rowsOf(const std::vector<double>& values, int columns) {
    std::vector<const double*> rows;
    for (std::size_t i = 0; i < values.size(); i += static_cast<std::size_t>(columns))
        rows.push_back(values.data() + i);
    return rows;
}

constexpr int kSize = 512;
const double kQuadrants[4] = {0.2, 0.4, 0.6, 0.8};

const std::vector<double>& mosaic() {
    static const std::vector<double> values = [] {
        std::string error;
        auto made = makeFbmMosaic(kSize, kSize, kQuadrants, 11, error);
        EXPECT_EQ(error, "");
        return made;
    }();
    return values;
}

MapRequest smallTiles() {
    MapRequest request;
    request.tile = 64;
    request.stride = 32;
    return request;
}

TEST(HurstMap, EachQuadrantsTilesRecoverItsExponent) {
    const auto rows = rowsOf(mosaic(), kSize);
    const MapRequest request = smallTiles();
    ASSERT_FALSE(mapProblem(kSize, kSize, request));
    const HurstMap map =
        computeHurstMaps(rows.data(), kSize, kSize, request, {WindowAxis::kSquare})[0];
    ASSERT_EQ(map.layout.tileRows, 15);
    ASSERT_EQ(map.layout.tileColumns, 15);
    const int halo = mapHalo(map.sides), half = kSize / 2;
    int inner[4] = {}, covered[4] = {};
    double mean[4] = {};
    for (int a = 0; a < map.layout.tileRows; ++a)
        for (int b = 0; b < map.layout.tileColumns; ++b) {
            const int r0 = a * 32 - halo, r1 = a * 32 + 64 + halo;
            const int c0 = b * 32 - halo, c1 = b * 32 + 64 + halo;
            if ((r0 < half && r1 > half) || (c0 < half && c1 > half)) continue;
            const int q = (r0 >= half ? 2 : 0) + (c0 >= half ? 1 : 0);
            const std::size_t t = static_cast<std::size_t>(a) * map.layout.tileColumns + b;
            ++inner[q];
            mean[q] += map.hurst[t];
            covered[q] += map.low[t] <= kQuadrants[q] && kQuadrants[q] <= map.high[t];
            EXPECT_NEAR(map.hurst[t], kQuadrants[q], 0.2) << "tile " << a << ", " << b;
            EXPECT_EQ(map.flags[t] & (kMapMissing | kMapFewCells | kMapFlat), 0);
            // Cells near the surface's edge have no window of the largest side.
            const bool edge = r0 < 0 || c0 < 0 || r1 > kSize || c1 > kSize;
            if (edge)
                EXPECT_LT(map.cells[t], 64.0 * 64.0);
            else
                EXPECT_EQ(map.cells[t], 64.0 * 64.0);
        }
    for (int q = 0; q < 4; ++q) {
        SCOPED_TRACE(q);
        ASSERT_GT(inner[q], 10);
        EXPECT_NEAR(mean[q] / inner[q], kQuadrants[q], 0.05);
        EXPECT_GE(covered[q], inner[q] * 2 / 3);
    }
}

// A tile's value depends only on the tile and its halo of half the largest side: the same tile
// cut out with that margin maps to the same value, and with a margin one cell short it does not.
TEST(HurstMap, ATileNeedsItsHaloAndNothingMore) {
    const auto rows = rowsOf(mosaic(), kSize);
    const MapRequest request = smallTiles();
    const HurstMap whole =
        computeHurstMaps(rows.data(), kSize, kSize, request, {WindowAxis::kSquare})[0];
    const int halo = mapHalo(whole.sides);
    const int a = 3, b = 5;  // rows 96-159, columns 160-223
    auto cutOut = [&](int margin) {
        const int size = 64 + 2 * margin;
        std::vector<double> part(static_cast<std::size_t>(size) * size);
        for (int i = 0; i < size; ++i)
            for (int j = 0; j < size; ++j)
                part[static_cast<std::size_t>(i) * size + j] =
                    rows[a * 32 - margin + i][b * 32 - margin + j];
        const auto partRows = rowsOf(part, size);
        MapRequest inPart = request;
        inPart.stride = margin;  // tile (1, 1) of the part is the whole map's tile (a, b)
        inPart.fromSide = whole.sides.front();
        inPart.toSide = whole.sides.back();
        const HurstMap map =
            computeHurstMaps(partRows.data(), size, size, inPart, {WindowAxis::kSquare})[0];
        return map.hurst[static_cast<std::size_t>(map.layout.tileColumns) + 1];
    };
    const double expected = whole.hurst[static_cast<std::size_t>(a) * whole.layout.tileColumns + b];
    EXPECT_NEAR(cutOut(halo), expected, 1e-9);
    EXPECT_GT(std::fabs(cutOut(halo - 1) - expected), 1e-9);
}

TEST(HurstMap, TilesReachedByMissingValuesAreLeftEmpty) {
    std::vector<double> values = mosaic();
    const MapRequest request = smallTiles();
    const auto clean = rowsOf(values, kSize);
    const HurstMap before =
        computeHurstMaps(clean.data(), kSize, kSize, request, {WindowAxis::kSquare})[0];
    const int halo = mapHalo(before.sides);
    // One missing cell at row 100, column 300: tiles whose rows or halo reach it lose their value.
    values[100 * kSize + 300] = std::numeric_limits<double>::quiet_NaN();
    const auto holed = rowsOf(values, kSize);
    const HurstMap after =
        computeHurstMaps(holed.data(), kSize, kSize, request, {WindowAxis::kSquare})[0];
    int empty = 0;
    for (int a = 0; a < after.layout.tileRows; ++a)
        for (int b = 0; b < after.layout.tileColumns; ++b) {
            const std::size_t t = static_cast<std::size_t>(a) * after.layout.tileColumns + b;
            const bool reached = a * 32 - halo <= 100 && 100 < a * 32 + 64 + halo &&
                                 b * 32 - halo <= 300 && 300 < b * 32 + 64 + halo;
            if (reached) {
                ++empty;
                EXPECT_TRUE(std::isnan(after.hurst[t]));
                EXPECT_TRUE(after.flags[t] & kMapMissing);
            } else {
                EXPECT_NEAR(after.hurst[t], before.hurst[t], 1e-9) << a << ", " << b;
                EXPECT_FALSE(after.flags[t] & kMapMissing);
            }
        }
    EXPECT_GE(empty, 4);
}

TEST(HurstMap, EdgeTilesFlatTilesAndBadRequests) {
    std::vector<double> flat(128 * 128, 5.0);
    const auto rows = rowsOf(flat, 128);
    const HurstMap map =
        computeHurstMaps(rows.data(), 128, 128, smallTiles(), {WindowAxis::kSquare})[0];
    for (std::size_t t = 0; t < map.flags.size(); ++t) {
        EXPECT_TRUE(map.flags[t] & kMapFlat);
        EXPECT_TRUE(std::isnan(map.hurst[t]));
    }
    MapRequest request = smallTiles();
    request.fromSide = 5;
    request.toSide = 7;
    EXPECT_TRUE(mapProblem(512, 512, request));  // two sides only
    request.toSide = 71;
    EXPECT_TRUE(mapProblem(512, 512, request));  // beyond the tile
    request = smallTiles();
    request.tile = 1024;
    EXPECT_TRUE(mapProblem(512, 512, request));
}

// A request to stop ends the map with RunCancelled, for every kind of window.
TEST(HurstMap, StopsWhenItsTokenAsks) {
    const auto rows = rowsOf(mosaic(), kSize);
    CancelToken token;
    token.requestCancel();
    MapRequest request = smallTiles();
    request.cancel = &token;
    for (WindowAxis axis : {WindowAxis::kSquare, WindowAxis::kAlongRows, WindowAxis::kAlongColumns})
        EXPECT_THROW(computeHurstMaps(rows.data(), kSize, kSize, request, {axis}), RunCancelled);
}

}  // namespace
