#pragma once

// Corrections measured by `make validate` (vantrel-validate --calibrate) on exact fractional
// Brownian surfaces with the calibration seeds, never on the seeds the report is made with.
// docs/analysis.md gives the study.

// The mean of (fitted H - true H) with the default sides shrinks as the fit range widens: over
// 256 x 256 ... 1024 x 1024 it follows a / L^1.5 within its noise, L = log2(last / first fitted
// side) with the default range, 5 to one eighth of the smaller dimension. The curve gives a at
// the fitted values below (weighted means over 216 surfaces at each H; linear in between).
struct BiasPoint {
    double fitted, scale;
};
inline constexpr BiasPoint kBiasCurve[] = {
    {0.2, 0.0238}, {0.35, 0.0123}, {0.5, 0.0146}, {0.65, 0.0137}, {0.8, 0.0236},
};
inline constexpr double kBiasRangePower = 1.5;

// The half-width of the 90% interval in jackknife standard errors. Tiles share the windows that
// straddle their borders, so the spread of H is 1.0 to 1.3 times the jackknife error; with the
// bias removed, 90% of the calibration fits lie within 1.0 to 2.1 errors of the truth, depending
// on H and size. The factor covers the widest with a margin for the noise of the correction.
inline constexpr double kIntervalFactor = 2.3;
