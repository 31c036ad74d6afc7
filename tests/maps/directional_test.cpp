// The exponents along rows and columns on the fractional Brownian sheet, whose rows and columns
// have different exponents known in closed form: a swapped axis shows at once.

#include <gtest/gtest.h>

#include <vector>

#include "directional_analysis.h"
#include "fbm_surface.h"
#include "hurst_map.h"
#include "truth_surfaces.h"

namespace {

std::vector<const double*> rowsOf(const std::vector<double>& values, int columns) {
    std::vector<const double*> rows;
    for (std::size_t i = 0; i < values.size(); i += static_cast<std::size_t>(columns))
        rows.push_back(values.data() + i);
    return rows;
}

TEST(Directional, TheSheetsRowsAndColumnsKeepTheirExponents) {
    std::string error;
    // Down the columns 0.3, along the rows 0.7; not square, so that a transposition fails too.
    const std::vector<double> sheet = makeFbmSheet(384, 512, 0.3, 0.7, 21, error);
    ASSERT_EQ(error, "");
    const auto rows = rowsOf(sheet, 512);
    const DirectionalResult result = analyseDirections(rows.data(), 384, 512, ScalingRequest{});
    ASSERT_TRUE(result.defined);
    EXPECT_NEAR(result.rows.hurst, 0.7, 0.1);
    EXPECT_NEAR(result.columns.hurst, 0.3, 0.1);
    EXPECT_NEAR(result.anisotropy, 0.4, 0.15);
    EXPECT_GT(result.low, 0.0);
    EXPECT_LT(result.low, result.anisotropy);
    EXPECT_GT(result.high, result.anisotropy);

    MapRequest request;
    request.tile = 128;
    request.stride = 128;
    const auto maps = computeHurstMaps(rows.data(), 384, 512, request,
                                       {WindowAxis::kAlongRows, WindowAxis::kAlongColumns});
    ASSERT_EQ(maps.size(), 2u);
    ASSERT_EQ(maps[0].layout.tileRows, 3);
    ASSERT_EQ(maps[0].layout.tileColumns, 4);
    double alongRows = 0, alongColumns = 0;
    for (std::size_t t = 0; t < 12; ++t)
        alongRows += maps[0].hurst[t] / 12, alongColumns += maps[1].hurst[t] / 12;
    EXPECT_NEAR(alongRows, 0.7, 0.12);
    EXPECT_NEAR(alongColumns, 0.3, 0.12);
}

TEST(Directional, AnIsotropicSurfaceHasNoAnisotropy) {
    std::string error;
    const FbmPair pair = makeFbmPair(512, 512, 0.5, 5, error);
    const auto rows = rowsOf(pair.first, 512);
    const DirectionalResult result = analyseDirections(rows.data(), 512, 512, ScalingRequest{});
    ASSERT_TRUE(result.defined);
    EXPECT_NEAR(result.rows.hurst, 0.5, 0.06);
    EXPECT_NEAR(result.columns.hurst, 0.5, 0.06);
    EXPECT_LT(std::fabs(result.anisotropy), 0.05);
}

}  // namespace
