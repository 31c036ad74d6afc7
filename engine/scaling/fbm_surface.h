#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

// Exact fractional Brownian surfaces by circulant embedding of a stationary field whose
// covariance, within the distances that occur on the grid, differs from the fractional Brownian
// one only by a quadratic term (Stein's construction); that term is put back by a random plane.
// The increments of the result have Var(B(x + h) - B(x)) = 2 |h|^(2H) in grid units.

// A fixed, portable source of standard normal numbers: the Mersenne twister the standard
// specifies, and a polar transform of our own (the standard distributions differ between
// libraries).
class PortableNormal {
  public:
    explicit PortableNormal(std::uint64_t seed) : bits_(seed) {}
    double next();

  private:
    std::mt19937_64 bits_;
    bool haveSpare_ = false;
    double spare_ = 0.0;
};

// Two independent surfaces of `rows` x `columns` (the real and imaginary parts of one
// embedding), row by row, the value at (0, 0) being 0.
struct FbmPair {
    std::vector<double> first, second;
};

// Returns the pair, or sets `error` and returns empty vectors when hurst is not in (0, 1) or the
// size is not positive. Deterministic for a seed on a given build (FFTW plans by estimate).
FbmPair makeFbmPair(int rows, int columns, double hurst, std::uint64_t seed, std::string& error);
