// The fast method: its residual sums against an exact reference, its independence from the
// number of threads, and its files.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "analysis_run.h"
#include "cli_options.h"
#include "exact_residual.h"
#include "folder_run.h"
#include "literal_analysis.h"
#include "surface_calculator.h"

namespace {

// A rough surface like the ones the program is made for: a sum of waves whose amplitude falls
// with their frequency as f^-1.7 (heights of order one), on top of `offset`.
LiteralMatrix roughSurface(int R, int C, double offset, unsigned key) {
    std::mt19937_64 random(key);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    struct Wave {
        double amplitude, fi, fj, phase;
    };
    std::vector<Wave> waves;
    for (int k = 1; k <= 40; ++k) {
        const double frequency = 0.02 * std::pow(1.15, k);
        const double angle = 6.283185307179586 * unit(random);
        waves.push_back({1e-3 * std::pow(frequency, -1.7), frequency * std::cos(angle),
                         frequency * std::sin(angle), 6.283185307179586 * unit(random)});
    }
    LiteralMatrix matrix = literalAllocate(R, C);
    for (int i = 0; i < R; ++i)
        for (int j = 0; j < C; ++j) {
            double height = offset;
            for (const Wave& w : waves)
                height += w.amplitude * std::sin(w.fi * i + w.fj * j + w.phase);
            matrix.rows[i][j] = height;
        }
    return matrix;
}

double fastResidual(const LiteralMatrix& data, int area, double nShift, double mShift, int threads,
                    LiteralMatrix* surface = nullptr) {
    SurfaceCalculator calculator({threads, SurfaceMethod::kFast, SimdLevel::kAvx512});
    FastCentre centre(calculator.pool(), data.rows, data.R, data.C);
    ComputedRegion written = emptyRegion();
    return calculator.computeFast(surface ? surface->rows : nullptr, written, data.rows, data.R,
                                  data.C, windowGeometry(area, nShift, mShift), centre);
}

}  // namespace

TEST(FastMethod, ResidualWithin1e12OfTheExactSumOnRoughSurfaces) {
    for (double offset : {0.0, 1.0e4}) {
        LiteralMatrix data = roughSurface(240, 330, offset, 21);
        for (int area = 4; area <= 240 * 240; area *= 4) {
            for (double shift : {0.0, 0.5, 1.0}) {
                if (offset != 0.0 && shift != 0.5) continue;
                int s, F, G;
                literalGeometry(area, shift, 1.0 - shift, &s, &F, &G);
                const long double exact = exactResidual(&data, s, F, G);
                const double fast = fastResidual(data, area, shift, 1.0 - shift, 2);
                EXPECT_LE(std::fabs(static_cast<double>((fast - exact) / exact)), 1e-12)
                    << "offset " << offset << ", area " << area << ", shift " << shift;
            }
        }
        literalFree(&data);
    }
}

TEST(FastMethod, SurfaceIsTheWindowMeanUpToRounding) {
    LiteralMatrix data = roughSurface(120, 150, 50.0, 22);
    LiteralMatrix exact = literalAllocate(data.R, data.C);
    LiteralMatrix fast = literalAllocate(data.R, data.C);
    for (int area : {1, 9, 64, 2500}) {
        int s, F, G;
        literalGeometry(area, 0.5, 0.5, &s, &F, &G);
        literalSurface(&exact, &data, s, F, G, 0);
        for (int i = 0; i < data.R; ++i) std::fill(fast.rows[i], fast.rows[i] + data.C, 0.0);
        fastResidual(data, area, 0.5, 0.5, 1, &fast);
        for (int i = 0; i < data.R; ++i)
            for (int j = 0; j < data.C; ++j)
                ASSERT_NEAR(fast.rows[i][j], exact.rows[i][j], 1e-11)
                    << "area " << area << ", cell (" << i << ", " << j << ")";
    }
    literalFree(&data);
    literalFree(&exact);
    literalFree(&fast);
}

// Stripes of 32 rows and, for sides above 32 in regions of over 256 rows and as many columns as
// the side, taller ones: a stripe
// height that followed the number of threads would change the bits.
TEST(FastMethod, SameBitsForEveryNumberOfThreads) {
    LiteralMatrix data = roughSurface(600, 120, 3.0, 23);
    LiteralMatrix one = literalAllocate(data.R, data.C);
    LiteralMatrix more = literalAllocate(data.R, data.C);
    for (int area : {4, 100, 1000, 2500, 10000}) {
        const double alone = fastResidual(data, area, 0.3, 0.7, 1, &one);
        for (int threads : {2, 3}) {
            const double shared = fastResidual(data, area, 0.3, 0.7, threads, &more);
            EXPECT_EQ(std::memcmp(&alone, &shared, sizeof alone), 0) << area << ", " << threads;
            for (int i = 0; i < data.R; ++i)
                ASSERT_EQ(std::memcmp(one.rows[i], more.rows[i], sizeof(double) * data.C), 0)
                    << "area " << area << ", " << threads << " threads, row " << i;
        }
    }
    literalFree(&data);
    literalFree(&one);
    literalFree(&more);
}

// A run by the fast method names its surface files so and writes no exact ones.
TEST(FastMethod, RunWritesFastSurfaceFiles) {
    FolderRun run("1 2 3 4\n5 6 7 8\n9 10 11 12\n13 14 15 16\n");
    run.linear(4, 9, 5);
    run.options.generateSurfaces = 1;
    runAnalysis(run.settings, run.options, run.host, {2, SurfaceMethod::kFast, SimdLevel::kAvx512});
    EXPECT_EQ(run.host.messages, std::vector<std::string>{});
    Files files = run.files();
    EXPECT_EQ(files.count("data.txt.4.out.fast.txt") + files.count("data.txt.9.out.fast.txt"), 2u);
    EXPECT_EQ(files.size(), 4u);
    EXPECT_EQ(std::count(files["data.txt.out.txt"].begin(), files["data.txt.out.txt"].end(), '\n'),
              2);
}

TEST(ComputeOptionsOnTheCommandLine, ThreadsAndMethodAreParsedAndChecked) {
    std::string error;
    auto request = parseRunArguments({"run", "--threads", "3", "--method", "fast"}, error);
    ASSERT_TRUE(request) << error;
    EXPECT_EQ(request->compute.threads, 3);
    EXPECT_EQ(request->compute.method, SurfaceMethod::kFast);

    request = parseRunArguments({"run"}, error);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->compute.threads, 0);
    EXPECT_EQ(request->compute.method, SurfaceMethod::kExact);

    EXPECT_FALSE(parseRunArguments({"run", "--threads", "0"}, error));
    EXPECT_EQ(error, "--threads: '0' is out of range (1 to 1024)");
    EXPECT_FALSE(parseRunArguments({"run", "--method", "quick"}, error));
    EXPECT_EQ(error, "--method: 'quick' is neither exact nor fast");
    EXPECT_FALSE(parseRunArguments({"run", "--method"}, error));
    EXPECT_EQ(error, "--method needs a value");
}
