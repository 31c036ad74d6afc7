#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// Phase-randomised surrogates of a surface: its Fourier amplitudes with phases drawn afresh, so
// that a surrogate has the data's power spectrum and mean but is Gaussian and hence monofractal.
// The data's least-squares plane is taken off before the transform and put back after it, so
// that a tilted surface does not fill the spectrum with the jump between its opposite edges.
// The phases are those of the transform of white Gaussian noise, which keeps the symmetry a
// real field needs.

class PhaseSurrogates {
  public:
    // Transforms the data once. Plans are made here, on the calling thread (FFTW's planner is not
    // safe to call from several threads); `make` may then be called from any thread.
    PhaseSurrogates(const double* const* data, int R, int C);
    ~PhaseSurrogates();
    PhaseSurrogates(const PhaseSurrogates&) = delete;
    PhaseSurrogates& operator=(const PhaseSurrogates&) = delete;

    // False when this build has no Fourier transform; make then returns an empty vector.
    static bool available();

    // The surrogate of `seed`, row by row.
    std::vector<double> make(std::uint64_t seed) const;

  private:
    struct Plans;
    std::unique_ptr<Plans> plans_;
};
