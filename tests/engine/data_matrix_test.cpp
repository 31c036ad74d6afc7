#include "data_matrix.h"

#include <gtest/gtest.h>

#include <cmath>
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
