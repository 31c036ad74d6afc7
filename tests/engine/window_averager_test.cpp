#include "window_averager.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

// An R x C matrix and its surface, both held as row tables.
struct Surfaces {
    int R, C;
    RowTable data = nullptr;
    RowTable surface = nullptr;

    Surfaces(const Surfaces&) = delete;
    Surfaces& operator=(const Surfaces&) = delete;
    Surfaces(int rows, int columns) : R(rows), C(columns) {
        allocateMatrix(data, R, C);
        allocateMatrix(surface, R, C);
    }
    ~Surfaces() {
        freeMatrix(data, R, C);
        freeMatrix(surface, R, C);
    }
    void compute(int area, double nShift, double mShift, int optimise) {
        WindowGeometry g = windowGeometry(area, nShift, mShift);
        WindowAverager averager(data, R, C, g.side, g.rowOffset, g.columnOffset);
        zeroMatrix(surface, R, C);
        computeSurface(surface, averager, optimise);
    }
    std::vector<double> surfaceValues() const {
        std::vector<double> values;
        for (int i = 0; i < R; ++i) values.insert(values.end(), surface[i], surface[i] + C);
        return values;
    }
};

// The 4 x 4 matrix holding 1 ... 16 row by row.
struct OneToSixteen : Surfaces {
    OneToSixteen() : Surfaces(4, 4) {
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) data[i][j] = i * 4 + j + 1;
    }
};

}  // namespace

TEST(RoundHalfDown, HalvesRoundDownAndNegativesTruncate) {
    EXPECT_EQ(roundHalfDown(1.5), 1);
    EXPECT_EQ(roundHalfDown(2.5), 2);
    EXPECT_EQ(roundHalfDown(2.51), 3);
    EXPECT_EQ(roundHalfDown(0.0), 0);
    EXPECT_EQ(roundHalfDown(-0.8), 0);
    EXPECT_EQ(roundHalfDown(-1.7), -1);
}

TEST(WindowGeometry, SideIsTheTruncatedRootAndOffsetsFollowTheShifts) {
    auto check = [](int area, double shift, int side, int offset) {
        WindowGeometry g = windowGeometry(area, shift, shift);
        EXPECT_EQ(g.side, side) << area << " " << shift;
        EXPECT_EQ(g.rowOffset, offset) << area << " " << shift;
        EXPECT_EQ(g.columnOffset, offset) << area << " " << shift;
    };
    check(10, 0.0, 3, 0);
    check(9, 0.5, 3, 1);
    check(16, 0.5, 4, 2);
    check(16, 1.0, 4, 3);
    check(16, 0.9999, 4, 3);  // 3.9996 rounds to 4, clamped to s - 1
    check(16, 0.9, 4, 3);     // 3.6 rounds to 4, clamped to s - 1
    check(1, 0.5, 1, 0);
    check(1, 1.0, 1, 0);
    WindowGeometry mixed = windowGeometry(25, 0.0, 1.0);
    EXPECT_EQ(mixed.rowOffset, 0);
    EXPECT_EQ(mixed.columnOffset, 4);
}

TEST(ComputeSurface, FourByFourExampleInBothModes) {
    for (int optimise : {0, 1}) {
        OneToSixteen s;
        s.compute(4, 0.0, 0.0, optimise);
        for (int i = 0; i < 4; ++i) {
            for (int j = 0; j < 4; ++j) {
                double expected = (i == 0 || j == 0) ? 0.0 : s.data[i][j] - 2.5;
                EXPECT_EQ(s.surface[i][j], expected) << i << "," << j << " mode " << optimise;
            }
        }
    }
}

TEST(ComputeSurface, AreaOneCopiesTheDataAndWindowsLargerThanTheDataGiveZeros) {
    for (int optimise : {0, 1}) {
        OneToSixteen s;
        s.compute(1, 0.0, 0.0, optimise);
        EXPECT_EQ(s.surface[3][2], 15.0);
        EXPECT_EQ(s.surface[0][0], 1.0);
        s.compute(25, 0.5, 0.5, optimise);
        for (double v : s.surfaceValues()) EXPECT_EQ(v, 0.0);
    }
}

TEST(ComputeSurface, ShiftsPlaceTheComputedRows) {
    Surfaces s(8, 5);
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 5; ++j) s.data[i][j] = 1.0;
    auto computedRows = [&](int area, double nShift) {
        s.compute(area, nShift, 0.0, 1);
        std::vector<int> rows;
        for (int i = 0; i < s.R; ++i)
            if (s.surface[i][s.C - 1] != 0.0) rows.push_back(i);
        return rows;
    };
    EXPECT_EQ(computedRows(9, 0.5), (std::vector<int>{1, 2, 3, 4, 5, 6}));    // 1 ... R-2
    EXPECT_EQ(computedRows(16, 0.5), (std::vector<int>{1, 2, 3, 4, 5}));      // 1 ... R-3
    EXPECT_EQ(computedRows(16, 1.0), (std::vector<int>{0, 1, 2, 3, 4}));      // 0 ... R-4
    EXPECT_EQ(computedRows(16, 0.0), (std::vector<int>{3, 4, 5, 6, 7}));      // 3 ... R-1
}

TEST(ComputeSurface, AreasWithTheSameSideGiveTheSameSurface) {
    Surfaces s(9, 7);
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> uniform(-3, 3);
    for (int i = 0; i < 9; ++i)
        for (int j = 0; j < 7; ++j) s.data[i][j] = uniform(random);
    s.compute(10, 0.5, 0.25, 1);
    std::vector<double> ten = s.surfaceValues();
    s.compute(15, 0.5, 0.25, 1);
    EXPECT_EQ(s.surfaceValues(), ten);
    s.compute(12, 0.5, 0.25, 0);
    std::vector<double> plain = s.surfaceValues();
    for (std::size_t k = 0; k < ten.size(); ++k) EXPECT_NEAR(plain[k], ten[k], 1e-13);
}

TEST(WindowAverager, FullMeanAddsFromTheBottomRightCornerAndSlideDownSubtractsFirst) {
    // Values chosen so that another order of additions gives another double.
    Surfaces s(3, 2);
    const double values[3][2] = {{1e16, 1.0}, {-1e16, 1.0}, {3.0, 1e-3}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 2; ++j) s.data[i][j] = values[i][j];
    WindowAverager averager(s.data, 3, 2, 2, 0, 0);
    double sum = 0.0;
    sum += 1.0;    // [1][1]
    sum += -1e16;  // [1][0]
    sum += 1.0;    // [0][1]
    sum += 1e16;   // [0][0]
    EXPECT_EQ(averager.fullMean(1, 1), sum / 4);
    sum = (sum - 1.0) + 1e-3;   // column 1 leaves, enters
    sum = (sum - 1e16) + 3.0;   // column 0
    EXPECT_EQ(averager.slideDown(2, 1), sum / 4);
}
