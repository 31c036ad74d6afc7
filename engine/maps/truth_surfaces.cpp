#include "truth_surfaces.h"

#include <cmath>

#include "fbm_surface.h"

namespace {

// The lower Cholesky factor of the covariance of fractional Brownian motion at times 1 ... n,
// row by row; empty when rounding leaves the matrix not positive definite.
std::vector<double> fbmCholesky(int n, double hurst) {
    std::vector<double> L(static_cast<std::size_t>(n) * n, 0.0);
    auto cov = [&](int i, int j) {
        const double twoH = 2.0 * hurst;
        return 0.5 * (std::pow(i + 1.0, twoH) + std::pow(j + 1.0, twoH) -
                      std::pow(std::fabs(static_cast<double>(i - j)), twoH));
    };
    for (int j = 0; j < n; ++j) {
        double* Lj = L.data() + static_cast<std::size_t>(j) * n;
        double diagonal = cov(j, j);
        for (int k = 0; k < j; ++k) diagonal -= Lj[k] * Lj[k];
        if (!(diagonal > 0.0)) return {};
        Lj[j] = std::sqrt(diagonal);
        for (int i = j + 1; i < n; ++i) {
            double* Li = L.data() + static_cast<std::size_t>(i) * n;
            double sum = cov(i, j);
            for (int k = 0; k < j; ++k) sum -= Li[k] * Lj[k];
            Li[j] = sum / Lj[j];
        }
    }
    return L;
}

bool badHurst(double h) {
    return !(h > 0.0 && h < 1.0);
}

}  // namespace

std::vector<double> makeFbmMosaic(int rows, int columns, const double hurst[4], std::uint64_t seed,
                                  std::string& error) {
    if (rows < 2 || columns < 2 || rows > 16384 || columns > 16384) {
        error = "the size must lie between 2 and 16384 in each direction";
        return {};
    }
    std::vector<double> mosaic(static_cast<std::size_t>(rows) * columns);
    const int top = rows / 2, left = columns / 2;
    for (int q = 0; q < 4; ++q) {
        const int r0 = q < 2 ? 0 : top, c0 = q % 2 == 0 ? 0 : left;
        const int h = q < 2 ? top : rows - top, w = q % 2 == 0 ? left : columns - left;
        const FbmPair pair =
            makeFbmPair(h, w, hurst[q], seed * 4 + static_cast<unsigned>(q), error);
        if (!error.empty()) return {};
        for (int i = 0; i < h; ++i)
            for (int j = 0; j < w; ++j)
                mosaic[static_cast<std::size_t>(r0 + i) * columns + c0 + j] =
                    pair.first[static_cast<std::size_t>(i) * w + j];
    }
    return mosaic;
}

std::vector<double> makeFbmSheet(int rows, int columns, double columnHurst, double rowHurst,
                                 std::uint64_t seed, std::string& error) {
    if (badHurst(columnHurst) || badHurst(rowHurst)) {
        error = "the exponents must lie strictly between 0 and 1";
        return {};
    }
    if (rows < 2 || columns < 2 || rows > 4096 || columns > 4096) {
        error = "the sheet's size must lie between 2 and 4096 in each direction";
        return {};
    }
    const std::vector<double> down = fbmCholesky(rows, columnHurst);
    const std::vector<double> along = fbmCholesky(columns, rowHurst);
    if (down.empty() || along.empty()) {
        error = "the covariance matrix is not positive definite in double precision";
        return {};
    }
    const std::size_t R = static_cast<std::size_t>(rows), C = static_cast<std::size_t>(columns);
    PortableNormal normal(seed);
    std::vector<double> Z(R * C);
    for (double& z : Z) z = normal.next();
    // Y = Z L2^T: Y[i][j] = sum over b <= j of Z[i][b] L2[j][b].
    std::vector<double> Y(R * C, 0.0);
    for (std::size_t i = 0; i < R; ++i)
        for (std::size_t j = 0; j < C; ++j) {
            double sum = 0.0;
            for (std::size_t b = 0; b <= j; ++b) sum += Z[i * C + b] * along[j * C + b];
            Y[i * C + j] = sum;
        }
    // B = L1 Y: row i is the sum over a <= i of L1[i][a] times row a of Y.
    std::vector<double> B(R * C, 0.0);
    for (std::size_t i = 0; i < R; ++i)
        for (std::size_t a = 0; a <= i; ++a) {
            const double weight = down[i * R + a];
            for (std::size_t j = 0; j < C; ++j) B[i * C + j] += weight * Y[a * C + j];
        }
    return B;
}
