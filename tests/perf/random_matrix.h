#pragma once

#include <cmath>
#include <random>
#include <vector>

#include "compute_options.h"
#include "literal_analysis.h"
#include "simd_level.h"

// Values of mixed signs and magnitudes, with some exact zeros, so that sums round often.
inline double randomValue(std::mt19937_64& random) {
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::uniform_int_distribution<int> kind(0, 9);
    switch (kind(random)) {
        case 0:
            return 0.0;
        case 1:
            return std::round(unit(random) * 1000);
        case 2:
            return unit(random) * 1e6;
        case 3:
            return unit(random) * 1e-3;
        default:
            return unit(random);
    }
}

inline LiteralMatrix randomMatrix(std::mt19937_64& random, int R, int C) {
    LiteralMatrix matrix = literalAllocate(R, C);
    for (int i = 0; i < R; ++i)
        for (int j = 0; j < C; ++j) matrix.rows[i][j] = randomValue(random);
    return matrix;
}

// Every vector width this processor can run, narrowest first.
inline std::vector<SimdLevel> levelsOfThisMachine() {
    std::vector<SimdLevel> levels{SimdLevel::kPortable};
    if (supportedSimdLevel() >= SimdLevel::kAvx2) levels.push_back(SimdLevel::kAvx2);
    if (supportedSimdLevel() >= SimdLevel::kAvx512) levels.push_back(SimdLevel::kAvx512);
    return levels;
}
