#pragma once

#include "compute_options.h"

// The widest vectors this processor and operating system support, among those this build has
// kernels for.
SimdLevel supportedSimdLevel();

// The lower of the supported level and `limit`.
SimdLevel usableSimdLevel(SimdLevel limit);

// "portable", "avx2" or "avx512".
const char* simdLevelName(SimdLevel level);
