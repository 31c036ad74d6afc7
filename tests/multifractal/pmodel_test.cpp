#include <gtest/gtest.h>

#include <cmath>

#include "multifractal_analysis.h"
#include "pmodel_measure.h"

namespace {

const PModelFractions kFractions = {0.1, 0.2, 0.3, 0.4};

TEST(PModel, ExactExponents) {
    const struct {
        PModelFractions p;
        double q, tau;
    } cases[] = {
        {{0.25, 0.25, 0.25, 0.25}, 3.0, 4.0},  // uniform: tau = 2q - 2
        {{0.25, 0.25, 0.25, 0.25}, -2.0, -6.0},
        {kFractions, 0.0, -2.0},  // four quadrants fill the plane
        {kFractions, 1.0, 0.0},   // mass is conserved
        {kFractions, 2.0, -std::log2(0.01 + 0.04 + 0.09 + 0.16)},
        {kFractions, -1.0, -std::log2(10.0 + 5.0 + 10.0 / 3.0 + 2.5)},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(pModelTau(c.p, c.q), c.tau, 1e-12) << "q = " << c.q;
        // alpha = tau'(q) and f = q alpha - tau, against a numerical derivative.
        const double d = (pModelTau(c.p, c.q + 1e-5) - pModelTau(c.p, c.q - 1e-5)) / 2e-5;
        EXPECT_NEAR(pModelAlpha(c.p, c.q), d, 1e-6);
        EXPECT_NEAR(pModelFAlpha(c.p, c.q), c.q * d - c.tau, 1e-5);
    }
}

// The generator's boxes at every level carry moments (sum p^q)^level exactly, whatever the
// permutations: a wrong split would show at once.
TEST(PModel, BoxMomentsFollowTheExactTau) {
    const int levels = 6, size = 1 << levels;
    const std::vector<double> mass = makePModel(kFractions, levels, 5);
    ASSERT_EQ(mass.size(), static_cast<std::size_t>(size * size));
    for (const double q : {-2.0, 0.5, 1.0, 3.0})
        for (int level = 1; level <= levels; ++level) {
            const int box = size >> level;
            double moment = 0.0;
            for (int a = 0; a < size; a += box)
                for (int b = 0; b < size; b += box) {
                    double m = 0.0;
                    for (int i = a; i < a + box; ++i)
                        for (int j = b; j < b + box; ++j) m += mass[i * size + j];
                    moment += std::pow(m, q);
                }
            EXPECT_NEAR(std::log2(moment), -level * pModelTau(kFractions, q),
                        1e-9 * (1 + level * std::fabs(pModelTau(kFractions, q))))
                << "q = " << q << " level " << level;
        }
    EXPECT_NE(makePModel(kFractions, 3, 1), makePModel(kFractions, 3, 2));
    EXPECT_EQ(makePModel(kFractions, 3, 1), makePModel(kFractions, 3, 1));
}

// The estimator on a p-model measure: tau(q) near the exact curve, h falling with q (a swap of
// the q signs would make it rise), and the test says multifractal.
TEST(PModel, MeasureAnalysisRecoversTau) {
    const int levels = 8, size = 1 << levels;
    const std::vector<double> mass = makePModel(kFractions, levels, 3);
    std::vector<const double*> rows;
    for (int i = 0; i < size; ++i) rows.push_back(mass.data() + i * size);
    MultifractalRequest request;
    request.kind = ResidualKind::kMeasure;
    request.surrogates = 19;
    const MultifractalResult result = analyseMultifractal(rows.data(), size, size, request);
    ASSERT_TRUE(result.defined());
    const Spectrum& s = result.spectrum;
    for (std::size_t k = 0; k < s.q.size(); ++k) {
        if (std::fabs(s.q[k]) <= 2.0) {
            EXPECT_NEAR(s.tau[k], pModelTau(kFractions, s.q[k]), 0.25) << "q = " << s.q[k];
        }
        if (k > 0) {
            EXPECT_LT(s.h[k], s.h[k - 1]) << "q = " << s.q[k];
        }
    }
    EXPECT_GT(result.width, 1.0);
    EXPECT_EQ(result.verdict(), "multifractal");
}

}  // namespace
