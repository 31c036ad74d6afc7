#pragma once

#include "literal_analysis.h"

// The residual sum of an area as exactly as it can be had: window sums as 128-bit integers in
// units of 2^-b, b chosen so that the largest window sum just fits (every value of order one is
// then held to about 2^-100), means and differences in long double, the squares summed in long
// double row by row. The yardstick of the fast method; the block is the engine's, starting where
// the computed region starts.
long double exactResidual(const LiteralMatrix* data, int s, int F, int G);
