#include <fftw3.h>
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "fbm_surface.h"
#include "multifractal_analysis.h"
#include "phase_surrogates.h"

namespace {

std::vector<double> amplitudes(const std::vector<double>& field, int R, int C) {
    std::vector<double> in(field);
    std::vector<fftw_complex> out(static_cast<std::size_t>(R) * (C / 2 + 1));
    fftw_plan plan = fftw_plan_dft_r2c_2d(R, C, in.data(), out.data(), FFTW_ESTIMATE);
    fftw_execute(plan);
    fftw_destroy_plan(plan);
    std::vector<double> a;
    for (auto& c : out) a.push_back(std::hypot(c[0], c[1]));
    return a;
}

// A surrogate keeps the amplitude of every Fourier mode and the mean, draws new phases, and is
// the same for the same seed. The data is symmetric about its centre, so that its least-squares
// plane is flat and the amplitudes kept are the data's own.
TEST(PhaseSurrogates, KeepThePowerSpectrum) {
    const int R = 24, C = 30;
    std::mt19937_64 random(4);
    std::exponential_distribution<double> skewed(1.0);
    std::vector<double> data(R * C);
    for (int i = 0; i < R; ++i)
        for (int j = 0; j < C; ++j)
            if (i * C + j < (R - 1 - i) * C + (C - 1 - j))
                data[i * C + j] = data[(R - 1 - i) * C + (C - 1 - j)] = skewed(random);
    std::vector<const double*> rows;
    for (int i = 0; i < R; ++i) rows.push_back(data.data() + i * C);
    const PhaseSurrogates surrogates(rows.data(), R, C);
    const std::vector<double> a = surrogates.make(1), b = surrogates.make(1),
                              c = surrogates.make(2);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    double meanData = 0, meanA = 0;
    for (int k = 0; k < R * C; ++k) meanData += data[k], meanA += a[k];
    EXPECT_NEAR(meanA, meanData, 1e-9 * R * C);
    const std::vector<double> spectrumData = amplitudes(data, R, C),
                              spectrumA = amplitudes(a, R, C);
    for (std::size_t k = 1; k < spectrumA.size(); ++k)
        EXPECT_NEAR(spectrumA[k], spectrumData[k], 1e-9 * (1 + spectrumData[k])) << "mode " << k;
}

// A monofractal surface is not called multifractal.
TEST(PhaseSurrogates, FractionalBrownianSurfaceShowsNoMultifractality) {
    std::string error;
    const FbmPair pair = makeFbmPair(128, 128, 0.5, 21, error);
    ASSERT_TRUE(error.empty()) << error;
    std::vector<const double*> rows;
    for (int i = 0; i < 128; ++i) rows.push_back(pair.first.data() + 128 * i);
    MultifractalRequest request;
    request.surrogates = 19;
    request.threads = 2;
    const MultifractalResult result = analyseMultifractal(rows.data(), 128, 128, request);
    EXPECT_EQ(result.test.count, 19);
    EXPECT_EQ(result.verdict(), "no evidence of multifractality");
}

}  // namespace
