#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Surfaces whose local and directional exponents are known in closed form, for proving the maps
// and the directional exponents. Row by row, rows x columns values.

// Four independent exact fractional Brownian surfaces side by side: the quadrant above left
// (rows below rows / 2, columns below columns / 2) has hurst[0], above right hurst[1], below
// left hurst[2], below right hurst[3]. Sets `error` and returns nothing on a bad argument.
std::vector<double> makeFbmMosaic(int rows, int columns, const double hurst[4], std::uint64_t seed,
                                  std::string& error);

// The fractional Brownian sheet B = L1 Z L2^T: L1 and L2 the Cholesky factors of the covariance
// matrices of one-dimensional fractional Brownian motion at times 1, 2, ... with exponents
// `columnHurst` (down the columns, rows x rows) and `rowHurst` (along the rows, columns x
// columns), Z independent standard normals. Each row is a fractional Brownian motion with
// rowHurst and each column one with columnHurst. Costs about rows x columns x (rows + columns)
// operations.
std::vector<double> makeFbmSheet(int rows, int columns, double columnHurst, double rowHurst,
                                 std::uint64_t seed, std::string& error);
