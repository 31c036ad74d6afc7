// The generator's surfaces against the law they claim: squared increments at lag d average
// 2 d^(2H), so the structure function has slope 2H on a log-log scale.

#include "fbm_surface.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Mean of (B(x + d) - B(x))^2 over every pair along the rows and the columns.
double structureFunction(const std::vector<double>& b, int rows, int columns, int d) {
    double sum = 0.0;
    long long count = 0;
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < columns; ++j) {
            const double here = b[static_cast<std::size_t>(i) * columns + j];
            if (j + d < columns) {
                const double next = b[static_cast<std::size_t>(i) * columns + j + d] - here;
                sum += next * next;
                ++count;
            }
            if (i + d < rows) {
                const double below = b[static_cast<std::size_t>(i + d) * columns + j] - here;
                sum += below * below;
                ++count;
            }
        }
    return sum / static_cast<double>(count);
}

}  // namespace

TEST(FbmSurface, StructureFunctionHasSlopeTwoH) {
    const int rows = 96, columns = 128, seeds = 12;
    const int lags[] = {1, 2, 4, 8, 16};
    for (double hurst : {0.2, 0.5, 0.8}) {
        double logS[5] = {}, logD[5] = {};
        for (int k = 0; k < 5; ++k) logD[k] = std::log(lags[k]);
        for (int seed = 0; seed < seeds; ++seed) {
            std::string error;
            const FbmPair pair = makeFbmPair(rows, columns, hurst, seed, error);
            ASSERT_TRUE(error.empty()) << error;
            for (int k = 0; k < 5; ++k)
                logS[k] += (structureFunction(pair.first, rows, columns, lags[k]) +
                            structureFunction(pair.second, rows, columns, lags[k])) /
                           (2.0 * seeds);
        }
        // The level at lag 1 and the least-squares slope.
        EXPECT_NEAR(logS[0] / 2.0, 1.0, 0.05) << "H " << hurst;
        for (double& s : logS) s = std::log(s);
        double meanD = 0, meanS = 0, sxy = 0, sxx = 0;
        for (int k = 0; k < 5; ++k) meanD += logD[k] / 5, meanS += logS[k] / 5;
        for (int k = 0; k < 5; ++k) {
            sxy += (logD[k] - meanD) * (logS[k] - meanS);
            sxx += (logD[k] - meanD) * (logD[k] - meanD);
        }
        EXPECT_NEAR(sxy / sxx, 2.0 * hurst, 0.06) << "H " << hurst;
    }
}

TEST(FbmSurface, SameSeedSameBitsOtherSeedOtherSurface) {
    std::string error;
    const FbmPair a = makeFbmPair(20, 30, 0.65, 7, error);
    const FbmPair b = makeFbmPair(20, 30, 0.65, 7, error);
    const FbmPair c = makeFbmPair(20, 30, 0.65, 8, error);
    EXPECT_EQ(a.first, b.first);
    EXPECT_EQ(a.second, b.second);
    EXPECT_NE(a.first, c.first);
    EXPECT_EQ(a.first[0], 0.0);
}

TEST(FbmSurface, RefusesExponentOutsideOpenUnitInterval) {
    for (double hurst : {0.0, 1.0, -0.5, std::nan("")}) {
        std::string error;
        EXPECT_TRUE(makeFbmPair(8, 8, hurst, 1, error).first.empty());
        EXPECT_EQ(error, "the Hurst exponent must lie strictly between 0 and 1");
    }
}
