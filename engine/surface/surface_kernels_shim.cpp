// The exact window-mean kernels for one vector width, compiled once per instruction set with
// VANTREL_KERNEL_LANES set to the doubles of its vectors: 2 for the baseline (SSE2 on x86-64, and
// every other processor), 4 with -mavx2, 8 with -mavx512f. Everything here stays inside this
// object (an anonymous namespace, and no header with code of its own), so that no function
// compiled for a wide instruction set can stand in for the portable one at link time.
#include "surface_kernels.h"

#if VANTREL_KERNEL_LANES == 8
#include <immintrin.h>
#endif

namespace {

constexpr int kLanes = VANTREL_KERNEL_LANES;
// Staggered groups (vectors per sub-group, sub-groups), the widest first: each needs a window
// side of at least (vectors per sub-group - 1) * kLanes. Then direct groups of kDirect vectors.
// Eight vectors in flight keep the units busy while each chain waits for its result.
constexpr int kStaggeredShapes[][2] = {{8, 1}, {4, 2}, {2, 4}};
constexpr int kDirect = 8;

#if VANTREL_KERNEL_LANES == 8
// Half of the additions go to the fused multiply-add units, which AVX-512F has: fma(b, 1.0, a)
// is the correctly rounded a + b, since b * 1.0 is exact.
constexpr bool kSplitAdds = true;
template <class T>
inline __attribute__((always_inline)) T sumOnMultiplyUnit(T a, T b) {
    return _mm512_fmadd_pd(b, _mm512_set1_pd(1.0), a);
}
#else
// Every addition on the adders.
constexpr bool kSplitAdds = false;
template <class T>
inline T sumOnMultiplyUnit(T a, T b) {
    return a + b;
}
#endif

#include "surface_kernels_impl.h"

}  // namespace

#if VANTREL_KERNEL_LANES == 8
#define VANTREL_KERNELS_ACCESSOR avx512SurfaceKernels
#define VANTREL_KERNELS_LEVEL SimdLevel::kAvx512
#elif VANTREL_KERNEL_LANES == 4
#define VANTREL_KERNELS_ACCESSOR avx2SurfaceKernels
#define VANTREL_KERNELS_LEVEL SimdLevel::kAvx2
#else
#define VANTREL_KERNELS_ACCESSOR portableSurfaceKernels
#define VANTREL_KERNELS_LEVEL SimdLevel::kPortable
#endif

const SurfaceKernels& VANTREL_KERNELS_ACCESSOR() {
    static constexpr SurfaceKernels kernels{VANTREL_KERNELS_LEVEL, widestGroupColumns(),
                                            slideColumns, plainCells};
    return kernels;
}
