#include "phase_surrogates.h"

#include <fftw3.h>

#include <cmath>

#include "fbm_surface.h"

namespace {

// The coefficients of the least-squares plane a + b i + c j of the data.
struct Plane {
    double a = 0, b = 0, c = 0;
    double at(int i, int j) const { return a + b * i + c * j; }
};

Plane planeOf(const double* const* data, int R, int C) {
    const double meanI = (R - 1) / 2.0, meanJ = (C - 1) / 2.0;
    double mean = 0, si = 0, sj = 0;
    for (int i = 0; i < R; ++i)
        for (int j = 0; j < C; ++j) {
            mean += data[i][j];
            si += (i - meanI) * data[i][j];
            sj += (j - meanJ) * data[i][j];
        }
    const double cells = static_cast<double>(R) * C;
    // Sum over the grid of (i - meanI)^2 = C R (R^2 - 1) / 12, and likewise for j.
    const double vi = cells * (static_cast<double>(R) * R - 1) / 12.0;
    const double vj = cells * (static_cast<double>(C) * C - 1) / 12.0;
    Plane plane;
    plane.b = vi > 0 ? si / vi : 0.0;
    plane.c = vj > 0 ? sj / vj : 0.0;
    plane.a = mean / cells - plane.b * meanI - plane.c * meanJ;
    return plane;
}

}  // namespace

struct PhaseSurrogates::Plans {
    int R, C, half;
    Plane plane;
    std::vector<double> amplitude;  // |X(k, l)| of the data less its plane, R x (C/2 + 1)
    fftw_plan forward, backward;
};

PhaseSurrogates::PhaseSurrogates(const double* const* data, int R, int C)
    : plans_(std::make_unique<Plans>()) {
    Plans& p = *plans_;
    p.R = R;
    p.C = C;
    p.half = C / 2 + 1;
    p.plane = planeOf(data, R, C);
    const std::size_t cells = static_cast<std::size_t>(R) * C;
    const std::size_t modes = static_cast<std::size_t>(R) * p.half;
    double* field = fftw_alloc_real(cells);
    fftw_complex* spectrum = fftw_alloc_complex(modes);
    p.forward = fftw_plan_dft_r2c_2d(R, C, field, spectrum, FFTW_ESTIMATE);
    p.backward = fftw_plan_dft_c2r_2d(R, C, spectrum, field, FFTW_ESTIMATE);
    for (int i = 0; i < R; ++i)
        for (int j = 0; j < C; ++j)
            field[static_cast<std::size_t>(i) * C + j] = data[i][j] - p.plane.at(i, j);
    fftw_execute(p.forward);
    p.amplitude.resize(modes);
    for (std::size_t k = 0; k < modes; ++k)
        p.amplitude[k] = std::hypot(spectrum[k][0], spectrum[k][1]);
    fftw_free(spectrum);
    fftw_free(field);
}

PhaseSurrogates::~PhaseSurrogates() {
    fftw_destroy_plan(plans_->forward);
    fftw_destroy_plan(plans_->backward);
}

bool PhaseSurrogates::available() {
    return true;
}

std::vector<double> PhaseSurrogates::make(std::uint64_t seed) const {
    const Plans& p = *plans_;
    const std::size_t cells = static_cast<std::size_t>(p.R) * p.C;
    const std::size_t modes = static_cast<std::size_t>(p.R) * p.half;
    double* field = fftw_alloc_real(cells);
    fftw_complex* spectrum = fftw_alloc_complex(modes);
    PortableNormal normal(seed);
    for (std::size_t k = 0; k < cells; ++k) field[k] = normal.next();
    fftw_execute_dft_r2c(p.forward, field, spectrum);
    for (std::size_t k = 0; k < modes; ++k) {
        const double modulus = std::hypot(spectrum[k][0], spectrum[k][1]);
        const double scale = modulus > 0 ? p.amplitude[k] / modulus : 0.0;
        spectrum[k][0] *= scale;
        spectrum[k][1] *= scale;
    }
    fftw_execute_dft_c2r(p.backward, spectrum, field);
    std::vector<double> out(cells);
    for (int i = 0; i < p.R; ++i)
        for (int j = 0; j < p.C; ++j) {
            const std::size_t at = static_cast<std::size_t>(i) * p.C + j;
            out[at] = field[at] / static_cast<double>(cells) + p.plane.at(i, j);
        }
    fftw_free(spectrum);
    fftw_free(field);
    return out;
}
