// The exact window-mean kernels for AVX-512 vectors of eight doubles; only this file is compiled
// with -mavx512f.
#include <immintrin.h>

#include "surface_kernels.h"

namespace {

constexpr int kLanes = 8;
// Staggered groups (vectors per sub-group, sub-groups), the widest first: each needs a window
// side of at least (vectors per sub-group - 1) * kLanes. Then direct groups of kDirect vectors.
// Eight vectors in flight keep both kinds of units busy while each chain waits for its result.
constexpr int kStaggeredShapes[][2] = {{8, 1}, {4, 2}, {2, 4}};
constexpr int kDirect = 8;

// Half of the additions go to the fused multiply-add units, which AVX-512F has: fma(b, 1.0, a)
// is the correctly rounded a + b, since b * 1.0 is exact.
constexpr bool kSplitAdds = true;
template <class T>
inline __attribute__((always_inline)) T sumOnMultiplyUnit(T a, T b) {
    return _mm512_fmadd_pd(b, _mm512_set1_pd(1.0), a);
}

#include "surface_kernels_impl.h"

}  // namespace

const SurfaceKernels& avx512SurfaceKernels() {
    static constexpr SurfaceKernels kernels{SimdLevel::kAvx512, widestGroupColumns(), slideColumns,
                                            plainCells};
    return kernels;
}
