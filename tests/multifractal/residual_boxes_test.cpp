#include "residual_boxes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "hurst_fit.h"
#include "literal_residuals.h"
#include "multifractal_analysis.h"

namespace {

struct Matrix {
    Grid grid;
    std::vector<const double*> rows;
};

Matrix randomMatrix(int R, int C, std::uint64_t seed, double offset) {
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    Matrix m;
    m.grid.assign(static_cast<std::size_t>(R), std::vector<double>(static_cast<std::size_t>(C)));
    for (auto& row : m.grid)
        for (double& v : row) v = offset + unit(random);
    for (auto& row : m.grid) m.rows.push_back(row.data());
    return m;
}

struct BoxCase {
    int R, C, side;
    double nShift, mShift;
};

// Every box of both kinds against the residuals computed loop by loop: a profile of the whole
// surface, a grid shifted by a row or a column, or the wrong window would all differ.
TEST(ResidualBoxes, BothKindsMatchTheDefinitionBoxByBox) {
    const BoxCase cases[] = {
        {23, 19, 3, 0.0, 0.0}, {23, 19, 5, 0.5, 0.5}, {30, 31, 4, 1.0, 0.0},
        {17, 29, 7, 0.3, 0.8}, {40, 24, 9, 0.0, 0.5}, {26, 26, 13, 0.0, 0.0},
    };
    for (const bool measure : {false, true})
        for (const BoxCase& c : cases) {
            SCOPED_TRACE(testing::Message()
                         << (measure ? "measure " : "surface ") << c.R << "x" << c.C << " side "
                         << c.side << " shifts " << c.nShift << " " << c.mShift);
            const Matrix m = randomMatrix(c.R, c.C, 7 + c.side, measure ? 2.0 : -0.5);
            ResidualBoxes engine(m.rows.data(), c.R, c.C,
                                 measure ? ResidualKind::kMeasure : ResidualKind::kSurface,
                                 c.nShift, c.mShift, 2);
            const SideBoxes boxes = engine.boxesOf(c.side);
            const WindowGeometry g = windowGeometry(c.side * c.side, c.nShift, c.mShift);
            const std::vector<double> expected =
                literalBoxes(m.grid, c.side, g.rowOffset, g.columnOffset, measure);
            EXPECT_EQ(boxes.boxRows, c.R / c.side - 1);
            EXPECT_EQ(boxes.boxColumns, c.C / c.side - 1);
            ASSERT_EQ(boxes.meanSquares.size(), expected.size());
            for (std::size_t v = 0; v < expected.size(); ++v)
                EXPECT_NEAR(boxes.meanSquares[v], expected[v], 1e-9 * (1.0 + expected[v]))
                    << "box " << v;
        }
}

// A uniform measure m: the profile inside each backward window gives every cell
// e = m (n^2 - ((n + 1) / 2)^2), so h is the slope of ln(3n^2 - 2n - 1) against ln n, near 2 (a
// profile of the whole surface would give 1); the surface kind sees no roughness at all.
TEST(ResidualBoxes, UniformMeasureHasExponentTwo) {
    Grid grid(128, std::vector<double>(128, 3.0));
    std::vector<const double*> rows;
    for (auto& row : grid) rows.push_back(row.data());
    MultifractalRequest request;
    request.kind = ResidualKind::kMeasure;
    request.surrogates = 0;
    const MultifractalResult result = analyseMultifractal(rows.data(), 128, 128, request);
    ASSERT_TRUE(result.defined());
    std::vector<double> x, y;
    for (const SideFluctuations& side : result.spectrum.sides) {
        const double n = side.side;
        x.push_back(std::log(n));
        y.push_back(std::log(3 * n * n - 2 * n - 1));
    }
    const double expected = fitLine(x, y, std::vector<bool>(x.size(), true)).slope;
    EXPECT_NEAR(expected, 2.0, 0.1);
    for (double h : result.spectrum.h) EXPECT_NEAR(h, expected, 1e-6);

    request.kind = ResidualKind::kSurface;
    const MultifractalResult flat = analyseMultifractal(rows.data(), 128, 128, request);
    EXPECT_FALSE(flat.defined());
    ASSERT_FALSE(flat.warnings.empty());
    EXPECT_NE(flat.warnings.front().find("boxes have a residual of 0"), std::string::npos);
}

TEST(ResidualBoxes, SideThatLeavesNoWholeBoxGivesNone) {
    const Matrix m = randomMatrix(20, 30, 1, 0.0);
    ResidualBoxes engine(m.rows.data(), 20, 30, ResidualKind::kSurface, 0.0, 0.0, 1);
    EXPECT_TRUE(engine.boxesOf(11).meanSquares.empty());
    EXPECT_EQ(engine.boxesOf(10).meanSquares.size(), 2u);  // 1 x 2 boxes
}

}  // namespace
