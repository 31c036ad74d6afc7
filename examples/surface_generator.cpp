// vantrel-make-surface: writes a deterministic rough surface (fractional-Brownian-like heights
// made by midpoint displacement) as a text matrix, for the bundled sample and the benchmarks.
//
//   vantrel-make-surface ROWS COLUMNS [--hurst H] [--digits D] [--key K] > surface.txt
//
// With --fbm it writes an exact fractional Brownian surface instead (fbm_command.cpp):
//
//   vantrel-make-surface --fbm --hurst H --size ROWS COLUMNS --seed S OUT
//
// With --mosaic or --sheet it writes a surface of known local or directional exponents
// (truth_command.cpp).
//
// With --pmodel, the two-dimensional p-model measure and its exact spectrum (pmodel_command.cpp):
//
//   vantrel-make-surface --pmodel P1 P2 P3 P4 --levels K [--seed S] [--spectrum FILE] OUT

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "fbm_command.h"
#include "pmodel_command.h"
#include "truth_command.h"

namespace {

// Heights on a (2^n + 1)-square grid by the diamond-square scheme: each level halves the cell
// and scales the random displacement by 2^-H, which gives a surface of roughness exponent H.
std::vector<double> diamondSquare(int n, double hurst, unsigned long long key) {
    const int size = (1 << n) + 1;
    std::vector<double> h(static_cast<std::size_t>(size) * size, 0.0);
    std::mt19937_64 random(key);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    auto at = [&](int i, int j) -> double& { return h[static_cast<std::size_t>(i) * size + j]; };
    double scale = 1.0;
    for (int half = (size - 1) / 2; half >= 1; half /= 2) {
        const int cell = half * 2;
        for (int i = half; i < size; i += cell)
            for (int j = half; j < size; j += cell)
                at(i, j) = (at(i - half, j - half) + at(i - half, j + half) +
                            at(i + half, j - half) + at(i + half, j + half)) /
                               4 +
                           scale * uniform(random);
        for (int i = 0; i < size; i += half) {
            for (int j = (i / half) % 2 == 0 ? half : 0; j < size; j += cell) {
                double sum = 0;
                int count = 0;
                if (i >= half) sum += at(i - half, j), ++count;
                if (i + half < size) sum += at(i + half, j), ++count;
                if (j >= half) sum += at(i, j - half), ++count;
                if (j + half < size) sum += at(i, j + half), ++count;
                at(i, j) = sum / count + scale * uniform(random);
            }
        }
        scale *= std::pow(2.0, -hurst);
    }
    return h;
}

int usage() {
    std::fprintf(stderr,
                 "usage: vantrel-make-surface ROWS COLUMNS [--hurst H] [--digits D] [--key K]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    for (int k = 1; k < argc; ++k) {
        const std::string word = argv[k];
        if (word == "--fbm") return runFbmCommand(argc, argv);
        if (word == "--pmodel") return runPModelCommand(argc, argv);
        if (word == "--mosaic" || word == "--sheet") return runTruthCommand(argc, argv);
    }
    if (argc < 3) return usage();
    const long rows = std::strtol(argv[1], nullptr, 10);
    const long columns = std::strtol(argv[2], nullptr, 10);
    double hurst = 0.7;
    int digits = 8;
    unsigned long long key = 20261206;
    for (int k = 3; k + 1 < argc; k += 2) {
        std::string option = argv[k];
        if (option == "--hurst")
            hurst = std::strtod(argv[k + 1], nullptr);
        else if (option == "--digits")
            digits = std::atoi(argv[k + 1]);
        else if (option == "--key")
            key = std::strtoull(argv[k + 1], nullptr, 10);
        else
            return usage();
    }
    if (rows < 1 || columns < 1 || rows > 65536 || columns > 65536) return usage();
    int n = 1;
    while ((1L << n) + 1 < std::max(rows, columns)) ++n;
    const int size = (1 << n) + 1;
    std::vector<double> heights = diamondSquare(n, hurst, key);

    std::vector<char> buffer(1 << 20);
    std::setvbuf(stdout, buffer.data(), _IOFBF, buffer.size());
    for (long i = 0; i < rows; ++i) {
        for (long j = 0; j < columns; ++j)
            std::printf(j + 1 < columns ? "%.*g\t" : "%.*g", digits,
                        heights[static_cast<std::size_t>(i) * size + j]);
        std::putchar('\n');
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
