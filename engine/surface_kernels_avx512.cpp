// The exact window-mean kernels for AVX-512 vectors of eight doubles; only this file is compiled
// with -mavx512f.
#include "surface_kernels.h"

namespace {

constexpr int kLanes = 8;
// Vectors per staggered group and per direct group: enough independent chains to keep the adders
// busy while each waits for its previous result.
constexpr int kGroup = 4;
constexpr int kHalfGroup = 0;  // a smaller staggered group for middle windows; 0: none
constexpr int kDirect = 4;

#include "surface_kernels_impl.h"

}  // namespace

const SurfaceKernels& avx512SurfaceKernels() {
    static constexpr SurfaceKernels kernels{SimdLevel::kAvx512,
                                            (kGroup > kDirect ? kGroup : kDirect) * kLanes,
                                            slideColumns, plainCells};
    return kernels;
}
