// The exact window-mean kernels for AVX2 vectors of four doubles; only this file is compiled
// with -mavx2.
#include "surface_kernels.h"

namespace {

constexpr int kLanes = 4;
// Vectors per staggered group and per direct group: enough independent chains to keep the adders
// busy while each waits for its previous result.
constexpr int kGroup = 8;
constexpr int kHalfGroup = 4;  // a smaller staggered group for middle windows; 0: none
constexpr int kDirect = 8;

#include "surface_kernels_impl.h"

}  // namespace

const SurfaceKernels& avx2SurfaceKernels() {
    static constexpr SurfaceKernels kernels{
        SimdLevel::kAvx2, (kGroup > kDirect ? kGroup : kDirect) * kLanes, slideColumns, plainCells};
    return kernels;
}
