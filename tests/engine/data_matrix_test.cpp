#include "data_matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <type_traits>
#include <vector>

// Normalisation maps [min, max] onto [-1, 1]; the bounds start at the fixed 32-bit limits, a flat
// matrix becomes zeros rather than not-a-number, and not-a-number changes no bound.
TEST(NormaliseMatrix, WorkedExamples) {
    struct Case {
        std::vector<double> row, normalised;
    };
    const Case cases[] = {
        {{-5, 0, 15}, {-1.0, -0.5, 1.0}},
        {{3e9, 4e9}, {-0.0796126, 1.0}},
        {{3e9, 3e9}, {1.0, 1.0}},
        {{2.5, 2.5, 2.5}, {0.0, 0.0, 0.0}},
        {{42.0}, {0.0}},
        {{NAN, 0, 10}, {NAN, -1.0, 1.0}},
    };
    for (const Case& c : cases) {
        const int C = static_cast<int>(c.row.size());
        RowTable rows = nullptr;
        allocateMatrix(rows, 1, C);
        std::copy(c.row.begin(), c.row.end(), rows[0]);
        normaliseMatrix(rows, 1, C);
        for (int j = 0; j < C; ++j) {
            if (std::isnan(c.normalised[j]))
                EXPECT_TRUE(std::isnan(rows[0][j]));
            else
                EXPECT_NEAR(rows[0][j], c.normalised[j], 1e-7) << c.row[0] << ", column " << j;
        }
        freeMatrix(rows, 1, C);
    }
}

TEST(DataMatrixOwner, IsMoveOnlyAndAMovedFromMatrixHoldsNothing) {
    static_assert(!std::is_copy_constructible_v<DataMatrix>);
    static_assert(!std::is_copy_assignable_v<DataMatrix>);
    static_assert(std::is_nothrow_move_constructible_v<DataMatrix>);
    DataMatrix first(3, 5);
    first[2][4] = 7.5;
    first.units.pixelWidth = 2.0;
    DataMatrix second(std::move(first));
    EXPECT_FALSE(first.hasStorage());
    EXPECT_EQ(first.rowCount(), 0);
    EXPECT_EQ(first.columnCount(), 0);
    EXPECT_EQ(second.rowCount(), 3);
    EXPECT_EQ(second.columnCount(), 5);
    EXPECT_EQ(second[2][4], 7.5);
    EXPECT_EQ(second.units.pixelWidth, 2.0);
    DataMatrix third(1, 1);
    third = std::move(second);  // the 1 x 1 storage is released here, under the sanitizer's eye
    EXPECT_EQ(third[2][4], 7.5);
    EXPECT_TRUE(DataMatrix(0, 0).hasStorage());
    EXPECT_FALSE(DataMatrix().hasStorage());
}

TEST(DataMatrixOwner, KeepBlockMovesTheBlockToTheStart) {
    struct Case {
        int top, left, rows, columns;
    };
    const Case cases[] = {{0, 0, 4, 6}, {1, 2, 2, 3}, {3, 5, 1, 1}, {0, 1, 4, 5}};
    for (const Case& c : cases) {
        DataMatrix matrix(4, 6);
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 6; ++j) matrix[i][j] = 10 * i + j;
        matrix.keepBlock(c.top, c.left, c.rows, c.columns);
        ASSERT_EQ(matrix.rowCount(), c.rows);
        ASSERT_EQ(matrix.columnCount(), c.columns);
        for (int i = 0; i < c.rows; ++i)
            for (int j = 0; j < c.columns; ++j)
                EXPECT_EQ(matrix[i][j], 10 * (i + c.top) + j + c.left);
    }
}
