#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "fbm_surface.h"
#include "multifractal_analysis.h"
#include "multifractal_spectrum.h"

namespace {

// Four boxes with F_v = 1, 2, 4, 8: F_q by hand, with the sign of q telling small boxes from
// large ones.
TEST(Spectrum, FluctuationFunctionsOfKnownBoxes) {
    SideBoxes boxes;
    boxes.side = 5;
    boxes.boxRows = 2;
    boxes.boxColumns = 2;
    boxes.meanSquares = {1.0, 4.0, 16.0, 64.0};
    const std::vector<double> q = {-2.0, -1.0, 0.0, 1.0, 2.0, 40.0};
    const SideFluctuations f = sideFluctuations(boxes, q);
    const struct {
        double q, F;
    } expected[] = {
        {-2.0, std::pow((1.0 + 1 / 4.0 + 1 / 16.0 + 1 / 64.0) / 4, -0.5)},
        {-1.0, 1.0 / ((1.0 + 0.5 + 0.25 + 0.125) / 4)},
        {0.0, std::pow(1.0 * 2 * 4 * 8, 0.25)},
        {1.0, (1.0 + 2 + 4 + 8) / 4},
        {2.0, std::sqrt((1.0 + 4 + 16 + 64) / 4)},
        {40.0, 8.0 * std::pow(0.25, 1 / 40.0)},  // no overflow: the largest term is taken out
    };
    for (std::size_t k = 0; k < q.size(); ++k)
        EXPECT_NEAR(std::exp(f.logF[k]), expected[k].F, 1e-12 * expected[k].F)
            << "q = " << expected[k].q;
    EXPECT_EQ(f.zeroBoxes, 0);
}

TEST(Spectrum, ZeroBoxesAreCountedAndLeftOut) {
    SideBoxes boxes;
    boxes.side = 3;
    boxes.boxRows = 1;
    boxes.boxColumns = 3;
    boxes.meanSquares = {0.0, 4.0, 4.0};
    const SideFluctuations f = sideFluctuations(boxes, {-1.0, 0.0, 1.0});
    EXPECT_EQ(f.zeroBoxes, 1);
    for (double logF : f.logF) EXPECT_NEAR(logF, std::log(2.0), 1e-15);
}

// tau = q^2 - 2 (h = q) gives alpha = 2q inside the grid and f(alpha) = q^2 + 2.
TEST(Spectrum, LegendreTransformOfAParabola) {
    std::vector<double> q, tau;
    for (int k = -4; k <= 4; ++k) q.push_back(k * 0.5), tau.push_back(q.back() * q.back() - 2);
    std::vector<double> alpha, f;
    legendreTransform(q, tau, alpha, f);
    for (std::size_t k = 1; k + 1 < q.size(); ++k) {
        EXPECT_NEAR(alpha[k], 2 * q[k], 1e-12);
        EXPECT_NEAR(f[k], q[k] * q[k] + 2, 1e-12);
    }
}

// An exact fractional Brownian surface is monofractal: h(q) is flat and near H, and its
// intervals are finite and hold the fit.
TEST(Spectrum, FractionalBrownianSurfaceIsFlat) {
    for (const double H : {0.3, 0.7}) {
        std::string error;
        const FbmPair pair = makeFbmPair(256, 256, H, 11, error);
        ASSERT_TRUE(error.empty()) << error;
        std::vector<const double*> rows;
        for (int i = 0; i < 256; ++i) rows.push_back(pair.first.data() + 256 * i);
        MultifractalRequest request;
        request.surrogates = 0;
        const MultifractalResult result = analyseMultifractal(rows.data(), 256, 256, request);
        ASSERT_TRUE(result.defined());
        for (std::size_t k = 0; k < result.spectrum.q.size(); ++k) {
            EXPECT_NEAR(result.spectrum.h[k], H, 0.06) << "q = " << result.spectrum.q[k];
            EXPECT_LT(result.hLow[k], result.spectrum.h[k]);
            EXPECT_GT(result.hHigh[k], result.spectrum.h[k]);
        }
        EXPECT_LT(std::fabs(result.width), 0.05);
    }
}

}  // namespace
