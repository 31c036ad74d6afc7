#include "fbm_surface.h"

#include <fftw3.h>

#include <cmath>
#include <complex>
#include <memory>

namespace {

// The stationary covariance of the embedding for alpha = 2H, on distances scaled so that every
// lag of the output grid is at most 1. Within that distance it is c0 - r^alpha + c2 r^2; beyond,
// it falls to 0 at `reach` (1 for alpha <= 1.5, 2 above, where the tail keeps it positive
// definite).
struct SteinCovariance {
    double alpha, reach, beta, c0, c2;

    explicit SteinCovariance(double hurst) : alpha(2.0 * hurst) {
        if (alpha <= 1.5) {
            reach = 1.0;
            beta = 0.0;
            c2 = alpha / 2.0;
            c0 = 1.0 - alpha / 2.0;
        } else {
            reach = 2.0;
            beta = alpha * (2.0 - alpha) / (3.0 * reach * (reach * reach - 1.0));
            c2 = (alpha - beta * (reach - 1.0) * (reach - 1.0) * (reach + 2.0)) / 2.0;
            c0 = beta * (reach - 1.0) * (reach - 1.0) * (reach - 1.0) + 1.0 - c2;
        }
    }
    double operator()(double r) const {
        if (r <= 1.0) return c0 - std::pow(r, alpha) + c2 * r * r;
        if (r <= reach) return beta * (reach - r) * (reach - r) * (reach - r) / r;
        return 0.0;
    }
};

// The least size >= n whose only prime factors are 2, 3, 5 and 7, which FFTW transforms fastest.
int smoothSize(int n) {
    for (int m = n;; ++m) {
        int rest = m;
        for (int p : {2, 3, 5, 7})
            while (rest % p == 0) rest /= p;
        if (rest == 1) return m;
    }
}

struct FftwBuffer {
    explicit FftwBuffer(std::size_t n) : data(fftw_alloc_complex(n)) {}
    ~FftwBuffer() { fftw_free(data); }
    fftw_complex* data;
};

}  // namespace

FbmPair makeFbmPair(int rows, int columns, double hurst, std::uint64_t seed, std::string& error) {
    if (!(hurst > 0.0 && hurst < 1.0)) {
        error = "the Hurst exponent must lie strictly between 0 and 1";
        return {};
    }
    if (rows < 1 || columns < 1) {
        error = "the size must be at least 1 x 1";
        return {};
    }
    const SteinCovariance covariance(hurst);
    // Grid step: the longest lag of the output, its diagonal, has length 1.
    const double diagonal = std::hypot(std::max(rows - 1, 1), std::max(columns - 1, 1));
    const double step = 1.0 / diagonal;
    // The torus must hold the covariance's whole reach in both directions.
    const int M = smoothSize(
        std::max(2 * rows, static_cast<int>(std::ceil(2.0 * covariance.reach * diagonal))));
    const int N = smoothSize(
        std::max(2 * columns, static_cast<int>(std::ceil(2.0 * covariance.reach * diagonal))));
    const std::size_t cells = static_cast<std::size_t>(M) * N;

    FftwBuffer buffer(cells);
    auto at = [&](int k, int l) -> fftw_complex& {
        return buffer.data[static_cast<std::size_t>(k) * N + l];
    };
    fftw_plan plan = fftw_plan_dft_2d(M, N, buffer.data, buffer.data, FFTW_FORWARD, FFTW_ESTIMATE);
    for (int k = 0; k < M; ++k) {
        const double dk = std::min(k, M - k);
        for (int l = 0; l < N; ++l) {
            const double dl = std::min(l, N - l);
            at(k, l)[0] = covariance(step * std::sqrt(dk * dk + dl * dl));
            at(k, l)[1] = 0.0;
        }
    }
    fftw_execute(plan);

    // The eigenvalues of the embedding are the transform of its first row; rounding can leave
    // the smallest a hair below 0, which stands for 0.
    PortableNormal normal(seed);
    for (std::size_t k = 0; k < cells; ++k) {
        const double amplitude =
            std::sqrt(std::max(0.0, buffer.data[k][0]) / static_cast<double>(cells));
        buffer.data[k][0] = amplitude * normal.next();
        buffer.data[k][1] = amplitude * normal.next();
    }
    fftw_execute(plan);
    fftw_destroy_plan(plan);

    // Back to fractional Brownian increments: the value at the origin taken away, the quadratic
    // term of the covariance restored by a random plane of variance 2 c2 |h|^2, and the heights
    // scaled from the unit diagonal to grid units (B(t x) has the law of t^H B(x)).
    const double planeScale = std::sqrt(2.0 * covariance.c2);
    const double unitScale = std::pow(diagonal, hurst);
    FbmPair pair;
    for (std::vector<double>* field : {&pair.first, &pair.second}) {
        const int part = field == &pair.first ? 0 : 1;
        const double slopeRows = planeScale * normal.next();
        const double slopeColumns = planeScale * normal.next();
        const double origin = at(0, 0)[part];
        field->resize(static_cast<std::size_t>(rows) * columns);
        for (int i = 0; i < rows; ++i)
            for (int j = 0; j < columns; ++j)
                (*field)[static_cast<std::size_t>(i) * columns + j] =
                    unitScale *
                    (at(i, j)[part] - origin + step * (i * slopeRows + j * slopeColumns));
    }
    return pair;
}
