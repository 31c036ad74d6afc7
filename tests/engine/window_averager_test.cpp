// The window geometry of the engine, and the literal averager in bench/literal that the exact
// kernels are compared with, on examples worked by hand.

#include "window_averager.h"

#include <gtest/gtest.h>

#include <vector>

TEST(WindowGeometry, SideIsTheTruncatedRootAndOffsetsFollowTheShifts) {
    struct Case {
        int area;
        double nShift, mShift;
        int side, rowOffset, columnOffset;
    };
    const Case cases[] = {
        {10, 0.0, 0.0, 3, 0, 0},
        {9, 0.5, 0.5, 3, 1, 1},
        {16, 0.5, 0.5, 4, 2, 2},
        {16, 1.0, 1.0, 4, 3, 3},
        {1, 0.5, 0.5, 1, 0, 0},
        {1, 1.0, 1.0, 1, 0, 0},
        {25, 0.0, 1.0, 5, 0, 4},
        {16, 0.9999, 0.9, 4, 3, 3},  // 3.9996 and 3.6 round to 4, clamped
                                     // to s - 1
        {25, 0.5, 0.5, 5, 2, 2},     // 2.5: halves round down
        {25, 0.51, 0.5, 5, 3, 2},
    };
    for (const Case& c : cases) {
        WindowGeometry g = windowGeometry(c.area, c.nShift, c.mShift);
        EXPECT_EQ(g.side, c.side) << c.area << " " << c.nShift;
        EXPECT_EQ(g.rowOffset, c.rowOffset) << c.area << " " << c.nShift;
        EXPECT_EQ(g.columnOffset, c.columnOffset) << c.area << " " << c.mShift;
    }
    EXPECT_EQ(roundHalfDown(-1.7), -1);  // negatives truncate
}

// On the 4 x 4 matrix 1 ... 16: the surface of area 4 is the data less 2.5 where the window fits;
// area 1 copies the data; a window larger than the data leaves zeros. Shifts place the rows.
TEST(LiteralAverager, WorkedExamplesInBothModes) {
    for (int optimise : {0, 1}) {
        RowTable data = nullptr, surface = nullptr;
        allocateMatrix(data, 8, 4);
        allocateMatrix(surface, 8, 4);
        for (int i = 0; i < 8; ++i)
            for (int j = 0; j < 4; ++j) data[i][j] = i < 4 ? i * 4 + j + 1 : 1.0;
        auto compute = [&](int rows, int area, double nShift) {
            WindowGeometry g = windowGeometry(area, nShift, 0.0);
            WindowAverager averager(data, rows, 4, g.side, g.rowOffset, g.columnOffset);
            zeroMatrix(surface, 8, 4);
            computeSurface(surface, averager, optimise);
        };
        compute(4, 4, 0.0);
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                EXPECT_EQ(surface[i][j], i == 0 || j == 0 ? 0.0 : data[i][j] - 2.5) << i << j;
        compute(4, 1, 0.0);
        EXPECT_EQ(surface[3][2], 15.0);
        compute(4, 25, 0.5);
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) EXPECT_EQ(surface[i][j], 0.0);
        // Over the whole 8 rows, the last column of a window of side 3 or 4.
        auto computedRows = [&](int area, double nShift) {
            compute(8, area, nShift);
            std::vector<int> rows;
            for (int i = 0; i < 8; ++i)
                if (surface[i][3] != 0.0) rows.push_back(i);
            return rows;
        };
        EXPECT_EQ(computedRows(9, 0.5), (std::vector<int>{1, 2, 3, 4, 5, 6}));
        EXPECT_EQ(computedRows(16, 0.5), (std::vector<int>{1, 2, 3, 4, 5}));
        EXPECT_EQ(computedRows(16, 1.0), (std::vector<int>{0, 1, 2, 3, 4}));
        EXPECT_EQ(computedRows(16, 0.0), (std::vector<int>{3, 4, 5, 6, 7}));
        freeMatrix(data, 8, 4);
        freeMatrix(surface, 8, 4);
    }
}
