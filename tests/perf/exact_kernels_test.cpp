// The vector kernels against the literal window averager, bit for bit, at every vector width this
// processor has and with 1, 2 and 3 threads.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <random>
#include <string>

#include "literal_analysis.h"
#include "random_matrix.h"
#include "surface_calculator.h"

namespace {

struct Area {
    int area;
    double nShift;
    double mShift;
};

std::string describe(const Area& a, int R, int C, int optimise, SimdLevel level, int threads) {
    return std::to_string(R) + " x " + std::to_string(C) + ", area " + std::to_string(a.area) +
           ", shifts " + std::to_string(a.nShift) + " " + std::to_string(a.mShift) +
           (optimise ? ", sliding" : ", plain") + ", " + simdLevelName(level) + ", " +
           std::to_string(threads) + " threads";
}

std::string exactText(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

// The first cell whose bits differ, or "" when none does.
std::string firstDifference(const LiteralMatrix& expected, const LiteralMatrix& actual) {
    for (int i = 0; i < expected.R; ++i)
        for (int j = 0; j < expected.C; ++j)
            if (std::memcmp(&expected.rows[i][j], &actual.rows[i][j], sizeof(double)) != 0)
                return "cell (" + std::to_string(i) + ", " + std::to_string(j) +
                       "): " + exactText(expected.rows[i][j]) + " expected, " +
                       exactText(actual.rows[i][j]) + " computed";
    return "";
}

// Computes each area on one reused surface, as a run does, and compares it with the literal
// surface of the same area.
void expectLiteralSurfaces(const LiteralMatrix& data, const std::vector<Area>& areas, int optimise,
                           SimdLevel level, int threads) {
    LiteralMatrix expected = literalAllocate(data.R, data.C);
    LiteralMatrix actual = literalAllocate(data.R, data.C);
    SurfaceCalculator calculator({threads, SurfaceMethod::kExact, level});
    ComputedRegion written = emptyRegion();
    for (const Area& a : areas) {
        int s, F, G;
        literalGeometry(a.area, a.nShift, a.mShift, &s, &F, &G);
        literalSurface(&expected, &data, s, F, G, optimise);
        calculator.computeExact(actual.rows, written, data.rows, data.R, data.C,
                                windowGeometry(a.area, a.nShift, a.mShift), optimise);
        std::string difference = firstDifference(expected, actual);
        if (!difference.empty()) {
            ADD_FAILURE() << describe(a, data.R, data.C, optimise, level, threads) << ": "
                          << difference;
            break;
        }
    }
    literalFree(&expected);
    literalFree(&actual);
}

void expectLiteralEverywhere(const LiteralMatrix& data, const std::vector<Area>& areas) {
    for (SimdLevel level : levelsOfThisMachine())
        for (int threads : {1, 2, 3})
            for (int optimise : {1, 0})
                expectLiteralSurfaces(data, areas, optimise, level, threads);
}

}  // namespace

TEST(ExactKernels, VectorWidthIsTheWidestAllowedThatTheProcessorHas) {
    std::cout << "vector widths tested on this machine:";
    for (SimdLevel level : levelsOfThisMachine()) std::cout << ' ' << simdLevelName(level);
    std::cout << '\n';
    for (SimdLevel level : levelsOfThisMachine())
        EXPECT_EQ(SurfaceCalculator({1, SurfaceMethod::kExact, level}).simdLevel(), level);
    EXPECT_EQ(SurfaceCalculator({1, SurfaceMethod::kExact, SimdLevel::kAvx512}).simdLevel(),
              levelsOfThisMachine().back());
}

// Window sides around every switch between group kinds (ramps of staggered groups of 2 to 8
// vectors of 2, 4 or 8 lanes) and region widths around every group width, so that every kernel
// meets full groups, a last group that overlaps the one before, and ranges narrower than a vector.
TEST(ExactKernels, EverySideAndRegionWidthMatchesTheLiteralAverager) {
    std::mt19937_64 random(4);
    for (int side : {1, 2, 3, 5, 8, 9, 13, 14, 15, 23, 24, 25, 28, 29, 56, 57}) {
        for (int width : {1, 3, 8, 9, 16, 17, 31, 32, 33, 64, 65, 97}) {
            const int R = side + 3;
            const int C = side - 1 + width;
            LiteralMatrix data = randomMatrix(random, R, C);
            expectLiteralEverywhere(data, {{side * side, 0.5, 0.5}});
            literalFree(&data);
        }
    }
}

TEST(ExactKernels, RandomSizesShiftsAndAreasMatchTheLiteralAverager) {
    std::mt19937_64 random(5);
    std::uniform_int_distribution<int> size(1, 90);
    std::uniform_real_distribution<double> shift(0.0, 1.0);
    const double roundShifts[] = {0.0, 0.5, 1.0};
    for (int trial = 0; trial < 12; ++trial) {
        const int R = size(random);
        const int C = size(random) + 10;
        std::uniform_int_distribution<int> area(1, (std::max(R, C) + 3) * (std::max(R, C) + 3));
        std::vector<Area> areas;
        for (int k = 0; k < 5; ++k) {
            double n = trial % 3 == 0 ? roundShifts[k % 3] : shift(random);
            double m = trial % 3 == 0 ? roundShifts[(k + 1) % 3] : shift(random);
            areas.push_back({area(random), n, m});
        }
        LiteralMatrix data = randomMatrix(random, R, C);
        expectLiteralEverywhere(data, areas);
        literalFree(&data);
    }
}

// The surface is zeroed only where the computed region leaves it; areas that shrink, grow and
// move the region must still leave zeros everywhere else.
TEST(ExactKernels, ReusedSurfaceHoldsZerosOutsideEachNewRegion) {
    std::mt19937_64 random(6);
    LiteralMatrix data = randomMatrix(random, 40, 70);
    expectLiteralEverywhere(data, {{100, 0.0, 1.0},
                                   {4, 1.0, 0.0},
                                   {400, 0.5, 0.5},
                                   {1681, 0.0, 0.0},  // side 41 > 40 rows: all zeros
                                   {9, 0.3, 0.8},
                                   {1, 0.0, 0.0}});
    literalFree(&data);
}

TEST(ExactKernels, EmptyMatrixAndSingleCell) {
    std::mt19937_64 random(7);
    for (auto [R, C] : {std::pair{0, 0}, std::pair{1, 1}, std::pair{1, 5}, std::pair{5, 1}}) {
        LiteralMatrix data = randomMatrix(random, R, C);
        expectLiteralEverywhere(data, {{1, 0.0, 0.0}, {4, 0.5, 0.5}, {1, 1.0, 1.0}});
        literalFree(&data);
    }
}
