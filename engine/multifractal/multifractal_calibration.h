#pragma once

// The half-width of the 90% interval on h(q) in jackknife standard errors over tiles. On exact
// fractional Brownian surfaces with the calibration seeds (1 to 20 and 4001 to 4060; 256 x 256
// and 512 x 512, H = 0.3, 0.5, 0.8, default sides and q), 90% of the estimates lay within 1.73
// to 2.39 errors of H, depending on H, size and seed set: the 17 values of q of one surface move
// together, so a set of 60 surfaces still leaves the 90th percentile uncertain by about 10%. The
// factor covers the widest with that margin. docs/multifractal.md gives the coverage on other
// seeds.
inline constexpr double kMultifractalIntervalFactor = 2.6;
