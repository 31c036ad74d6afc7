#pragma once

#include <array>
#include <cstdint>
#include <vector>

// The two-dimensional p-model: a unit mass on one cell, each cell split `levels` times into four
// quadrants that carry the fractions p1 ... p4 of its mass, permuted at random at every split.
// The result has 2^levels x 2^levels cells, row by row, and its mass exponents are known exactly:
//   tau(q) = -log2(p1^q + p2^q + p3^q + p4^q),
// alpha(q) = d tau / d q and f(alpha) = q alpha - tau.

using PModelFractions = std::array<double, 4>;

// The measure; the fractions must be positive and sum to 1 (checked by the caller). Deterministic
// for a seed on every platform (the permutations use the generator's bits directly).
std::vector<double> makePModel(const PModelFractions& p, int levels, std::uint64_t seed);

double pModelTau(const PModelFractions& p, double q);
double pModelAlpha(const PModelFractions& p, double q);
double pModelFAlpha(const PModelFractions& p, double q);
