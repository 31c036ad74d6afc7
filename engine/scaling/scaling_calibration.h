#pragma once

// Corrections measured by `make validate` (vantrel-validate --calibrate) on exact fractional
// Brownian surfaces with the calibration seeds, never on the seeds the report is made with.
// docs/analysis.md gives the study.

// The mean of (fitted H - true H) with the default sides, at the fitted values below.
struct BiasPoint {
    double fitted, bias;
};
// Means over 256 x 256, 512 x 512, 384 x 640 and 1024 x 1024 (216 surfaces at each H).
inline constexpr BiasPoint kBiasCurve[] = {
    {0.2, 0.0}, {0.35, 0.0}, {0.5, 0.0}, {0.65, 0.0}, {0.8, 0.0},
};

// The half-width of the 90% interval in jackknife standard errors: tiles share the windows that
// straddle their borders, so the plain jackknife is too narrow by about this factor over 1.645.
inline constexpr double kIntervalFactor = 1.645;
