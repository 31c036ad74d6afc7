#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "compute_options.h"
#include "literal_analysis.h"
#include "simd_level.h"

// The literal loader reads with the C library's fscanf. Windows' rounds some long decimals to a
// neighbouring double, so a comparison with the literal loader holds only elsewhere; there,
// make test-windows compares the engine's files with the Linux build's instead.
#ifdef _WIN32
#define SKIP_WHERE_FSCANF_ROUNDS_WRONGLY()                                                        \
    GTEST_SKIP() << "the literal analysis reads with this C library's fscanf, which rounds some " \
                    "long decimals to a neighbouring double"
#else
#define SKIP_WHERE_FSCANF_ROUNDS_WRONGLY() (void)0
#endif

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

inline std::string formatted(const char* format, int digits, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, digits, value);
    return text;
}

// The values in a layout the loader accepts, chosen at random: digits from 1 to 17, fixed or
// exponent form, a '+' now and then, blanks and tabs between values, CR LF or LF line ends,
// blank lines, white space before and after, runs of blanks longer than a block.
inline std::string randomDataText(std::mt19937_64& random, const LiteralMatrix& values) {
    std::uniform_int_distribution<int> digits(1, 17), pick(0, 9);
    const char* const separators[] = {" ", "\t", "  ", " \t", "\t\t"};
    const std::string lineEnd = pick(random) < 3 ? "\r\n" : "\n";
    std::string text;
    for (int i = 0; i < values.R; ++i) {
        if (pick(random) == 0) text += lineEnd;
        if (pick(random) == 0) text += " ";
        if (pick(random) == 0) text += std::string(70, ' ');  // longer than a small block
        for (int j = 0; j < values.C; ++j) {
            double v = values.rows[i][j];
            int form = pick(random);
            std::string number = form < 6   ? formatted("%.*g", digits(random), v)
                                 : form < 8 ? formatted("%.*e", digits(random), v)
                                            : formatted("%.*f", digits(random), v);
            if (v > 0 && form == 9) number.insert(number.begin(), '+');
            text += number;
            if (j + 1 < values.C || pick(random) < 3) text += separators[pick(random) % 5];
        }
        text += lineEnd;
    }
    if (pick(random) < 5) text += lineEnd;
    return text;
}

// Every vector width this processor can run, narrowest first.
inline std::vector<SimdLevel> levelsOfThisMachine() {
    std::vector<SimdLevel> levels{SimdLevel::kPortable};
    if (supportedSimdLevel() >= SimdLevel::kAvx2) levels.push_back(SimdLevel::kAvx2);
    if (supportedSimdLevel() >= SimdLevel::kAvx512) levels.push_back(SimdLevel::kAvx512);
    return levels;
}
