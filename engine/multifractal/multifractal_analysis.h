#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "multifractal_spectrum.h"
#include "residual_boxes.h"

// The multifractal moving-average analysis of a surface or a measure: h(q), tau(q), the
// singularity spectrum f(alpha), 90% intervals on h(q) from a jackknife over tiles, and a test
// of the width h(qmin) - h(qmax) against phase-randomised surrogates of the data (monofractal
// fields of the same power spectrum). docs/multifractal.md gives the method and its accuracy.

struct MultifractalRequest {
    std::vector<double> q;   // ascending; empty: -4 to 4 in steps of 0.5
    std::vector<int> sides;  // an explicit list; empty: fromSide ... toSide, or the defaults
    int fromSide = 0, toSide = 0;
    ResidualKind kind = ResidualKind::kSurface;
    // Window shifts; below 0: the kind's most accurate, centred windows (0.5) for a surface,
    // backward windows (0) for a measure.
    double nShift = -1.0, mShift = -1.0;
    int threads = 0;         // 0: one per core
    int surrogates = 99;     // 0: no test
    std::uint64_t seed = 1;  // of the surrogates' phases
};

struct SurrogateTest {
    int count = 0;               // surrogates whose width could be found
    double pValue = 1.0;         // (1 + surrogates at least as wide) / (1 + count)
    std::vector<double> widths;  // the surrogates'
    bool done = false;
};

struct MultifractalResult {
    int rows = 0, columns = 0;
    ResidualKind kind = ResidualKind::kSurface;
    double nShift = 0.0, mShift = 0.0;  // the shifts used
    Spectrum spectrum;
    std::vector<double> hLow, hHigh;  // 90% interval per q
    double width = 0.0;               // h(qmin) - h(qmax)
    double alphaWidth = 0.0;          // max alpha - min alpha
    SurrogateTest test;
    std::vector<std::string> warnings;
    bool defined() const { return spectrum.valid; }
    // "multifractal", "no evidence of multifractality", or "not tested".
    std::string verdict() const;
};

// The test's level: a p-value at or below it says "multifractal".
inline constexpr double kSignificance = 0.05;

// The shift a request's `shift` stands for with residuals of `kind`.
double effectiveShift(double shift, ResidualKind kind);

// The default q grid, -4 to 4 in steps of 0.5.
std::vector<double> defaultMoments();
// The default sides of an R x C surface: odd sides in log steps from 9 to an eighth of the
// smaller dimension, or from 5 to a quarter of it on a surface too small for 5 such sides.
std::vector<int> defaultMultifractalSides(int R, int C);

// Why the data cannot be analysed, or nothing when it can.
std::optional<std::string> multifractalProblem(const double* const* data, int R, int C);

// The analysis; the data must pass multifractalProblem.
MultifractalResult analyseMultifractal(const double* const* data, int R, int C,
                                       const MultifractalRequest& request);
