#pragma once

// Corrections measured by `make validate` (vantrel-validate --calibrate) on exact fractional
// Brownian surfaces with the calibration seeds, never on the seeds the report is made with.
// docs/analysis.md gives the study.

// The mean of (fitted H - true H) with the default sides shrinks as the fitted range widens:
// over 64 x 64 ... 1024 x 1024 it follows a / L within its noise, L = log2(last / first fitted
// side) of the range actually fitted (5 to 13 up to 128 x 128, 5 to about an eighth of the
// smaller dimension above). The curve gives a at the fitted values below (weighted least
// squares over the six sizes at each H; linear in between).
struct BiasPoint {
    double fitted, scale;
};
inline constexpr BiasPoint kBiasCurve[] = {
    {0.2, 0.0134}, {0.35, 0.0095}, {0.5, 0.0068}, {0.65, 0.0094}, {0.8, 0.0116},
};
inline constexpr double kBiasRangePower = 1.0;

// The smallest side of the surfaces the correction and the interval were calibrated on; below
// it neither is known to hold.
inline constexpr int kSmallestCalibratedSide = 64;

// The exponents the calibration surfaces had: outside them the interval is not known to hold.
inline constexpr double kLowestCalibratedHurst = 0.2;
inline constexpr double kHighestCalibratedHurst = 0.8;

// The half-width of the 90% interval in standard errors. Tiles share the windows that straddle
// their borders, so the spread of H is 1.0 to 1.3 times the jackknife error; with the bias
// removed, 90% of the calibration fits lie within 1.0 to 2.2 errors of the truth, depending on H
// and size. The factor covers the widest with a margin for the noise of the correction.
inline constexpr double kIntervalFactor = 2.3;
