#pragma once

// The half-width of the 90% interval on h(q) in jackknife standard errors over tiles, measured
// on exact fractional Brownian surfaces with the calibration seeds (docs/multifractal.md).
inline constexpr double kMultifractalIntervalFactor = 2.3;
