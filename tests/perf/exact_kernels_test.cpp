// The vector kernels against the literal window averager, bit for bit, at every vector width this
// processor has and with 1, 2 and 3 threads.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "literal_analysis.h"
#include "random_matrix.h"
#include "surface_calculator.h"

namespace {

struct Area {
    int area;
    double nShift;
    double mShift;
};

std::string bits(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Each area computed on one reused surface, as a run does, at every vector width of this
// processor with 1, 2 and 3 threads, against the literal surface and residual sum of the area.
void expectLiteralEverywhere(const LiteralMatrix& data, const std::vector<Area>& areas) {
    for (int optimise : {1, 0}) {
        std::vector<LiteralMatrix> surfaces;
        std::vector<double> residuals;
        for (const Area& a : areas) {
            int s, F, G;
            literalGeometry(a.area, a.nShift, a.mShift, &s, &F, &G);
            surfaces.push_back(literalAllocate(data.R, data.C));
            literalSurface(&surfaces.back(), &data, s, F, G, optimise);
            residuals.push_back(literalResidual(&surfaces.back(), &data, s, F, G));
        }
        for (SimdLevel level : levelsOfThisMachine())
            for (int threads : {1, 2, 3}) {
                LiteralMatrix actual = literalAllocate(data.R, data.C);  // zeros, as a run starts
                SurfaceCalculator calculator({threads, SurfaceMethod::kExact, level});
                ComputedRegion written = emptyRegion();
                for (std::size_t k = 0; k < areas.size(); ++k) {
                    const Area& a = areas[k];
                    const double residual = calculator.computeExact(
                        actual.rows, written, data.rows, data.R, data.C,
                        windowGeometry(a.area, a.nShift, a.mShift), optimise);
                    std::string difference;
                    for (int i = 0; i < data.R && difference.empty(); ++i)
                        for (int j = 0; j < data.C && difference.empty(); ++j)
                            if (!sameBits(surfaces[k].rows[i][j], actual.rows[i][j]))
                                difference = "cell (" + std::to_string(i) + ", " +
                                             std::to_string(j) +
                                             "): " + bits(surfaces[k].rows[i][j]) + " expected, " +
                                             bits(actual.rows[i][j]) + " computed";
                    if (difference.empty() && !sameBits(residual, residuals[k]))
                        difference =
                            "residual sum " + bits(residual) + ", expected " + bits(residuals[k]);
                    EXPECT_TRUE(difference.empty())
                        << data.R << " x " << data.C << ", area " << a.area << ", shifts "
                        << a.nShift << " " << a.mShift << (optimise ? ", sliding, " : ", plain, ")
                        << simdLevelName(level) << ", " << threads << " threads: " << difference;
                    if (!difference.empty()) break;
                }
                literalFree(&actual);
            }
        for (LiteralMatrix& m : surfaces) literalFree(&m);
    }
}

}  // namespace

// Window sides around every switch between group kinds (ramps of staggered groups of 2 to 8
// vectors of 2, 4 or 8 lanes) and region widths around every group width, so that every kernel
// meets full groups, a last group that overlaps the one before, and ranges narrower than a vector.
TEST(ExactKernels, EverySideAndRegionWidthMatchesTheLiteralAverager) {
    std::mt19937_64 random(4);
    for (int side : {1, 2, 3, 5, 8, 9, 13, 14, 15, 23, 24, 25, 28, 29, 56, 57}) {
        for (int width : {1, 3, 8, 9, 16, 17, 31, 32, 33, 64, 65, 97}) {
            LiteralMatrix data = randomMatrix(random, side + 3, side - 1 + width);
            expectLiteralEverywhere(data, {{side * side, 0.5, 0.5}});
            literalFree(&data);
        }
    }
}

TEST(ExactKernels, MatricesAndAreasOfEveryKindMatchTheLiteralAverager) {
    struct Case {
        const char* what;
        int R, C;
        std::vector<Area> areas;
    };
    const Case cases[] = {
        // Threads take rows in stripes and sum the residual of finished stripes while others
        // compute: tall matrices cross many stripes, with several column parts per thread.
        {"tall", 333, 150, {{4, 0.5, 0.5}, {64, 0.5, 0.5}, {900, 0.0, 1.0}, {3025, 1.0, 0.0}}},
        // The surface is zeroed only where the computed region leaves it; regions that shrink,
        // grow and move must still leave zeros everywhere else (side 41 > 40 rows: all zeros).
        {"reused",
         40,
         70,
         {{100, 0.0, 1.0},
          {4, 1.0, 0.0},
          {400, 0.5, 0.5},
          {1681, 0.0, 0.0},
          {9, 0.3, 0.8},
          {1, 0, 0}}},
        {"empty", 0, 0, {{1, 0.0, 0.0}, {4, 0.5, 0.5}}},
        {"one cell", 1, 1, {{1, 0.0, 0.0}, {4, 0.5, 0.5}, {1, 1.0, 1.0}}},
        {"one row", 1, 5, {{1, 0.0, 0.0}, {4, 0.5, 0.5}, {1, 1.0, 1.0}}},
        {"one column", 5, 1, {{1, 0.0, 0.0}, {4, 0.5, 0.5}, {1, 1.0, 1.0}}},
    };
    std::mt19937_64 random(6);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LiteralMatrix data = randomMatrix(random, c.R, c.C);
        expectLiteralEverywhere(data, c.areas);
        literalFree(&data);
    }
    // Random sizes, areas and shifts (every third matrix with shifts 0, 0.5 and 1 only).
    std::uniform_int_distribution<int> size(1, 90);
    std::uniform_real_distribution<double> shift(0.0, 1.0);
    for (int trial = 0; trial < 12; ++trial) {
        const int R = size(random);
        const int C = size(random) + 10;
        std::uniform_int_distribution<int> area(1, (std::max(R, C) + 3) * (std::max(R, C) + 3));
        std::vector<Area> areas;
        for (int k = 0; k < 5; ++k) {
            const bool round = trial % 3 == 0;
            areas.push_back({area(random), round ? (k % 3) / 2.0 : shift(random),
                             round ? ((k + 1) % 3) / 2.0 : shift(random)});
        }
        LiteralMatrix data = randomMatrix(random, R, C);
        expectLiteralEverywhere(data, areas);
        literalFree(&data);
    }
}

// Additions done on the multiply-add units (fma(b, 1, a)) and vector lanes must round exactly as
// the scalar additions, also where sums overflow, cancel to signed zeros, pass through
// subnormals and meet infinities (whose differences are not-a-number).
TEST(ExactKernels, InfinitiesSignedZerosOverflowAndSubnormalsGiveTheLiteralBits) {
    std::mt19937_64 random(9);
    const double specials[] = {std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity(),
                               0.0,
                               -0.0,
                               std::numeric_limits<double>::max(),
                               -std::numeric_limits<double>::max(),
                               std::numeric_limits<double>::denorm_min(),
                               -4.9e-320,
                               1e308,
                               -1e-310};
    std::uniform_int_distribution<int> pick(0, 39);
    LiteralMatrix data = randomMatrix(random, 70, 90);
    for (int i = 0; i < data.R; ++i)
        for (int j = 0; j < data.C; ++j) {
            const int k = pick(random);
            if (k < 10) data.rows[i][j] = specials[k];
        }
    expectLiteralEverywhere(data, {{4, 0.5, 0.5}, {64, 0.0, 1.0}, {900, 0.5, 0.5}});
    // Only signed zeros and subnormals: every sum stays a number.
    for (int i = 0; i < data.R; ++i)
        for (int j = 0; j < data.C; ++j)
            data.rows[i][j] = specials[2 + pick(random) % 2] * 0.0 +
                              (pick(random) < 20 ? specials[6] * pick(random) : -0.0);
    expectLiteralEverywhere(data, {{9, 0.5, 0.5}, {2500, 0.5, 0.5}});
    literalFree(&data);
}
