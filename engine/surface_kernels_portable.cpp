// The exact window-mean kernels for the build's baseline vectors of two doubles (SSE2 on
// x86-64); also the kernels of every other processor.
#include "surface_kernels.h"

namespace {

constexpr int kLanes = 2;
// Staggered groups (vectors per sub-group, sub-groups), the widest first: each needs a window
// side of at least (vectors per sub-group - 1) * kLanes. Then direct groups of kDirect vectors.
constexpr int kStaggeredShapes[][2] = {{8, 1}, {4, 2}, {2, 4}};
constexpr int kDirect = 8;

// Every addition on the adders.
constexpr bool kSplitAdds = false;
template <class T>
inline T sumOnMultiplyUnit(T a, T b) {
    return a + b;
}

#include "surface_kernels_impl.h"

}  // namespace

const SurfaceKernels& portableSurfaceKernels() {
    static constexpr SurfaceKernels kernels{SimdLevel::kPortable, widestGroupColumns(),
                                            slideColumns, plainCells};
    return kernels;
}
