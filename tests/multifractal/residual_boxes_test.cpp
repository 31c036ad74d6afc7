#include "residual_boxes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "hurst_fit.h"
#include "literal_residuals.h"
#include "multifractal_analysis.h"
#include "pmodel_measure.h"
#include "simd_level.h"

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

Matrix matrixOf(Grid grid) {
    Matrix m;
    m.grid = std::move(grid);
    for (auto& row : m.grid) m.rows.push_back(row.data());
    return m;
}

// Measures whose boxes differ by many orders of magnitude: every box of the engine within a
// relative 1e-12 of the long double sums, and a box whose windows hold no mass exactly 0. Sums
// over a region wider than each box's own windows (summed-area tables over four boxes side by
// side) miss the nearly empty boxes by 3e-3 and 0.3: the heavy columns' mass leaves its rounding
// behind in the light boxes beside them.
TEST(ResidualBoxes, MeasureBoxesKeepTheirDigits) {
    const auto pmodel = [] {
        const std::vector<double> mass = makePModel({0.1, 0.2, 0.3, 0.4}, 7, 11);
        Grid grid(128, std::vector<double>(128));
        for (int i = 0; i < 128; ++i)
            for (int j = 0; j < 128; ++j) grid[i][j] = mass[static_cast<std::size_t>(i) * 128 + j];
        return grid;
    };
    // Columns before `heavy` hold about 1 a cell, the others about `light`; one cell, `hot`.
    const auto split = [](int R, int C, int heavy, double light) {
        Grid grid = randomMatrix(R, C, 5, 0.0).grid;
        for (auto& row : grid)
            for (int j = heavy; j < C; ++j) row[j] *= light;
        return grid;
    };
    const auto hot = [](int R, int C, int i, int j) {
        Grid grid(R, std::vector<double>(C, 0.0));
        grid[i][j] = 1.0;
        return grid;
    };
    struct Case {
        const char* name;
        Grid grid;
        int side;
        double shift;
    } cases[] = {
        {"p-model, side 9", pmodel(), 9, 0.0},
        {"p-model, side 31", pmodel(), 31, 0.0},
        {"p-model, centred, side 17", pmodel(), 17, 0.5},
        {"uniform", Grid(60, std::vector<double>(70, 3.0)), 7, 0.0},
        {"one hot cell", hot(64, 64, 20, 9), 8, 0.0},
        {"nearly empty beside heavy columns", split(64, 96, 16, 1e-12), 8, 0.0},
        {"nearly empty, centred", split(64, 96, 20, 1e-12), 9, 0.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Matrix m = matrixOf(c.grid);
        const int R = static_cast<int>(c.grid.size()), C = static_cast<int>(c.grid[0].size());
        const WindowGeometry g = windowGeometry(c.side * c.side, c.shift, c.shift);
        const std::vector<long double> exact =
            exactMeasureBoxes(c.grid, c.side, g.rowOffset, g.columnOffset);
        // Every vector width the processor has gives the same bits.
        std::vector<double> first;
        for (const SimdLevel level : {SimdLevel::kPortable, SimdLevel::kAvx2}) {
            ResidualBoxes engine(m.rows.data(), R, C, ResidualKind::kMeasure, c.shift, c.shift, 2,
                                 level);
            const std::vector<double> boxes = engine.boxesOf(c.side).meanSquares;
            if (first.empty()) first = boxes;
            EXPECT_EQ(boxes, first) << simdLevelName(level);
            ASSERT_EQ(boxes.size(), exact.size());
            for (std::size_t v = 0; v < exact.size(); ++v) {
                if (exact[v] == 0.0L) {
                    EXPECT_EQ(boxes[v], 0.0) << "box " << v;
                } else {
                    EXPECT_LE(std::fabs(static_cast<long double>(boxes[v]) / exact[v] - 1.0L),
                              1e-12L)
                        << "box " << v << ": " << boxes[v] << " against "
                        << static_cast<double>(exact[v]);
                }
            }
        }
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
