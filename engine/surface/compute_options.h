#pragma once

#include <string>
#include <vector>

#include "cancel_token.h"

// How a run computes, apart from what it computes: the dialog's four RunOptions choose the
// output, these choose the means (and, for the command line, where the results go). Every choice
// here leaves the bytes of the exact modes as they are.

// The vector width of the exact kernels: the widest this processor offers unless limited.
enum class SimdLevel {
    kPortable = 0,  // the build's baseline vectors (SSE2 on x86-64)
    kAvx2 = 1,      // 4 doubles
    kAvx512 = 2,    // 8 doubles
};

enum class SurfaceMethod {
    kExact,  // the plain or sliding sums, byte for byte (RunOptions::optimise picks which)
    kFast,   // running sums down the columns and along the rows: a constant cost per cell
};

struct ComputeOptions {
    int threads = 0;  // 0: one per core
    SurfaceMethod method = SurfaceMethod::kExact;
    SimdLevel simdLimit = SimdLevel::kAvx512;  // tests lower it to prove each width
    // The results file; empty: INPUT.out.txt beside the input. Surface files stay beside it.
    std::string resultsFile = {};
    // The window areas to compute, in order, instead of the settings' progression; empty: the
    // settings' progression. The command line's --sides fills it.
    std::vector<int> areas = {};
    // Polled between areas and between the row blocks of each surface; none: the run cannot be
    // stopped from outside. runAnalysis takes the host's when this is none.
    const CancelToken* cancel = nullptr;
};
