// The stand-in for builds without FFTW: no surrogates, and the analysis says why.
#include "phase_surrogates.h"

struct PhaseSurrogates::Plans {};

PhaseSurrogates::PhaseSurrogates(const double* const*, int, int) {}
PhaseSurrogates::~PhaseSurrogates() = default;
bool PhaseSurrogates::available() {
    return false;
}
std::vector<double> PhaseSurrogates::make(std::uint64_t) const {
    return {};
}
