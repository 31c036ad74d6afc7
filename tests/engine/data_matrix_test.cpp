#include "data_matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// A matrix filled from a list of rows, released when the test ends.
class TestMatrix {
public:
    TestMatrix(const TestMatrix&) = delete;
    TestMatrix& operator=(const TestMatrix&) = delete;
    explicit TestMatrix(std::vector<std::vector<double>> values)
        : R_(static_cast<int>(values.size())), C_(R_ ? static_cast<int>(values[0].size()) : 0) {
        allocateMatrix(rows_, R_, C_);
        for (int i = 0; i < R_; ++i)
            for (int j = 0; j < C_; ++j) rows_[i][j] = values[i][j];
    }
    ~TestMatrix() { freeMatrix(rows_, R_, C_); }
    RowTable rows() const { return rows_; }
    double at(int i, int j) const { return rows_[i][j]; }
    void normalise() { normaliseMatrix(rows_, R_, C_); }

private:
    RowTable rows_ = nullptr;
    int R_, C_;
};

}  // namespace

TEST(NormaliseMatrix, MapsTheRangeOntoMinusOneToOne) {
    TestMatrix m({{-5, 0, 15}});
    m.normalise();
    EXPECT_EQ(m.at(0, 0), -1.0);
    EXPECT_EQ(m.at(0, 1), -0.5);
    EXPECT_EQ(m.at(0, 2), 1.0);
}

TEST(NormaliseMatrix, BoundsStartAtTheFixed32BitLimits) {
    TestMatrix m({{3e9, 4e9}});
    m.normalise();
    EXPECT_NEAR(m.at(0, 0), -0.0796126, 1e-7);
    EXPECT_EQ(m.at(0, 1), 1.0);

    TestMatrix same({{3e9, 3e9}});
    same.normalise();
    EXPECT_EQ(same.at(0, 0), 1.0);
    EXPECT_EQ(same.at(0, 1), 1.0);
}

TEST(NormaliseMatrix, AFlatMatrixBecomesZeroNotNotANumber) {
    TestMatrix flat({{2.5, 2.5}, {2.5, 2.5}});
    flat.normalise();
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) EXPECT_EQ(flat.at(i, j), 0.0);
    TestMatrix single({{42.0, 42.0}});
    single.normalise();
    EXPECT_EQ(single.at(0, 0), 0.0);
}

TEST(NormaliseMatrix, NotANumberChangesNoBound) {
    TestMatrix m({{NAN, 0, 10}});
    m.normalise();
    EXPECT_TRUE(std::isnan(m.at(0, 0)));
    EXPECT_EQ(m.at(0, 1), -1.0);
    EXPECT_EQ(m.at(0, 2), 1.0);
}

TEST(MatrixStorage, AllocateLeavesAnExistingMatrixAloneAndNoStorageIsANoOp) {
    TestMatrix m({{1, 2}, {3, 4}});
    RowTable rows = m.rows();
    allocateMatrix(rows, 2, 2);
    EXPECT_EQ(rows, m.rows());
    EXPECT_EQ(m.at(1, 1), 4.0);
    zeroMatrix(rows, 2, 2);
    EXPECT_EQ(m.at(1, 1), 0.0);

    RowTable none = nullptr;
    zeroMatrix(none, 3, 3);
    freeMatrix(none, 3, 3);
    RowTable empty = nullptr;
    allocateMatrix(empty, 0, 0);
    EXPECT_NE(empty, nullptr);  // a table without rows is still storage
    freeMatrix(empty, 0, 0);
}

TEST(MatrixStorage, AMatrixBeyondMemoryIsRefusedWithAMessage) {
    RowTable rows = nullptr;
    try {
        allocateMatrix(rows, 2000000000, 2000000000);
        FAIL() << "allocated 32 exabytes";
    } catch (const MatrixTooLarge& error) {
        EXPECT_STREQ(error.what(),
                     "Not enough memory for a matrix of 2000000000 rows and 2000000000 columns");
    }
    EXPECT_EQ(rows, nullptr);
}
