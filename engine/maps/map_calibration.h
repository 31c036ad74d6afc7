#pragma once

// What the simulation study in docs/maps.md (vantrel-validate --maps) found on exact fractional
// Brownian surfaces with the calibration seeds, never with the seeds the study reports.

// The half-width of a tile's 90% interval in jackknife standard errors (16 quarters of the
// tile left out one at a time). The quarters share the windows across their borders, so the
// jackknife understates the spread.
inline constexpr double kMapIntervalFactor = 2.3;

// The exponents along rows and along columns of a whole surface with the default sides: the
// mean of (fitted H - true H) on isotropic 1024 x 1024 surfaces at the fitted values below
// (linear in between, constant beyond), taken off the fit; and the interval's half-width in
// jackknife standard errors (tiles left out one at a time). On isotropic surfaces (60 at each
// of H 0.3, 0.5, 0.7) 90% of the fits, bias removed, lie within 1.6 to 2.0 errors; the
// fractional Brownian sheet, whose lines are strongly alike, needs up to 4.4 (docs/maps.md).
struct DirectionalBias {
    double fitted, bias;
};
inline constexpr DirectionalBias kDirectionalBias[] = {{0.3, 0.0095}, {0.5, 0.005}, {0.7, 0.0035}};
inline constexpr double kDirectionalIntervalFactor = 2.3;

// The half-width of the interval of their difference, in jackknife errors of the difference
// (the same tile left out of both fits): 90% of the isotropic surfaces lie within 1.87 to 1.96.
inline constexpr double kAnisotropyIntervalFactor = 2.1;

// The exponents the study covered; a tile's estimate beyond them by more than the margin is
// flagged.
inline constexpr double kMapCalibratedLow = 0.2, kMapCalibratedHigh = 0.8;
inline constexpr double kMapCalibratedMargin = 0.05;
