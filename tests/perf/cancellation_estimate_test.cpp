// The estimate of the digits the exact sums lose to the data's mean, against a 128-bit reference
// over the centred data. Its constants were fitted on diamond-square surfaces; these random-walk
// surfaces took no part in that.

#include "cancellation_estimate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "exact_residual.h"
#include "rough_surface.h"
#include "surface_calculator.h"

namespace {

struct Errors {
    double exact = 0.0;  // largest relative error of the sliding sums
    double fast = 0.0;   // and of the fast method
    int largestSide = 0;
};

// Areas 4, 8, ... 65536 with shifts 0.5, as far as their side stays below the data's.
Errors largestErrors(const std::vector<double>& values, int N, double offset) {
    LiteralMatrix data = literalAllocate(N, N), centred = literalAllocate(N, N);
    for (int i = 0; i < N; ++i)
        for (int j = 0; j < N; ++j) {
            data.rows[i][j] = values[static_cast<std::size_t>(i) * N + j];
            centred.rows[i][j] = data.rows[i][j] - offset;  // exact: both lie within a factor 2
        }
    LiteralMatrix surface = literalAllocate(N, N);
    SurfaceCalculator calculator({});
    FastCentre centre(calculator.pool(), data.rows, N, N);
    Errors errors;
    for (int area = 4; area <= 65536; area *= 2) {
        const WindowGeometry g = windowGeometry(area, 0.5, 0.5);
        if (g.side >= N) break;
        errors.largestSide = g.side;
        const long double reference = exactResidual(&centred, g.side, g.rowOffset, g.columnOffset);
        ComputedRegion written = emptyRegion();
        auto relative = [&](double sum) {
            return static_cast<double>(std::fabs((sum - reference) / reference));
        };
        errors.exact = std::max(errors.exact, relative(calculator.computeExact(
                                                  surface.rows, written, data.rows, N, N, g, 1)));
        written = emptyRegion();
        errors.fast = std::max(errors.fast, relative(calculator.computeFast(
                                                nullptr, written, data.rows, N, N, g, centre)));
    }
    literalFree(&data);
    literalFree(&centred);
    literalFree(&surface);
    return errors;
}

}  // namespace

TEST(CancellationEstimate, MatchesTheReferenceWithinAFactorOfTwenty) {
    struct Case {
        int N;
        unsigned seed;
        double offset;
        double digitsLost;
    };
    const Case cases[] = {
        {512, 41, 1e8, 8.0},    // a mean of 1e8 on a spread of 1
        {512, 41, 1e12, 12.0},  // 1e12: the sums go wrong in their first digit
        {256, 42, 1e6, 6.0},
        {512, 43, 1e10, 10.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.offset);
        const std::vector<double> values = randomWalkSurface(c.N, c.N, c.seed, c.offset);
        const Errors observed = largestErrors(values, c.N, c.offset);
        std::vector<const double*> rows;
        for (int i = 0; i < c.N; ++i)
            rows.push_back(values.data() + static_cast<std::size_t>(i) * c.N);
        const DataMoments moments = dataMoments(rows.data(), c.N, c.N);
        const double estimate = expectedRelativeError(moments, observed.largestSide);
        std::printf("N %d offset %g: exact %.2g, estimate %.2g, fast %.2g\n", c.N, c.offset,
                    observed.exact, estimate, observed.fast);
        EXPECT_NEAR(digitsLostToTheMean(moments), c.digitsLost, 0.05);
        EXPECT_GT(observed.exact, estimate / 20);
        EXPECT_LT(observed.exact, estimate * 20);
        EXPECT_LT(observed.fast, 1e-13);  // the remedy the warning names
    }
}
