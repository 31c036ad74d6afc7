#pragma once

// The exact modes run their sums over the raw values: the running sums carry the data's mean at
// every step, and a residual is what is left after they cancel. Data whose mean is large beside
// its spread (heights with an instrument offset, terrain in metres with millimetre detail) lose
// digits there. This estimates how many, before a run, from the mean, the spread and the largest
// window side; the fast method sums the centred data and does not lose them.

struct DataMoments {
    double mean = 0.0;
    double spread = 0.0;  // standard deviation
};

// Mean and standard deviation of every value, in long double.
DataMoments dataMoments(const double* const* data, int R, int C);

// The largest relative error expected of the exact modes' residual sums over windows of side up
// to `largestSide`. With x = 2^-53 * |mean| / spread * largestSide it is 0.15 x + (35 x)^2: the
// rounding of the running sums, and once those errors approach the residuals themselves, their
// squares. The constants were fitted to a 128-bit reference on diamond-square surfaces of 256^2
// and 512^2 cells with means of 1e6 to 1e10 times their spread; on surfaces not used for the fit
// the observed errors lie within a factor of 20 of it either way
// (tests/perf/cancellation_estimate_test.cpp). 0 when the spread is 0 or not finite.
double expectedRelativeError(const DataMoments& moments, int largestSide);

// Decimal digits the mean costs: log10 of the expected error over that of the same data centred.
double digitsLostToTheMean(const DataMoments& moments);
