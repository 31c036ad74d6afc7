// The exact window-mean kernels for the build's baseline vectors of two doubles (SSE2 on
// x86-64); also the kernels of every other processor.
#include "surface_kernels.h"

namespace {

constexpr int kLanes = 2;
// Vectors per staggered group and per direct group: enough independent chains to keep the adders
// busy while each waits for its previous result.
constexpr int kGroup = 8;
constexpr int kHalfGroup = 4;  // a smaller staggered group for middle windows; 0: none
constexpr int kDirect = 8;

#include "surface_kernels_impl.h"

}  // namespace

const SurfaceKernels& portableSurfaceKernels() {
    static constexpr SurfaceKernels kernels{SimdLevel::kPortable,
                                            (kGroup > kDirect ? kGroup : kDirect) * kLanes,
                                            slideColumns, plainCells};
    return kernels;
}
