#include "simd_level.h"

#include "surface_kernels.h"

SimdLevel supportedSimdLevel() {
#if defined(VANTREL_X86_KERNELS)
    static const SimdLevel level = [] {
        __builtin_cpu_init();
        if (__builtin_cpu_supports("avx512f")) return SimdLevel::kAvx512;
        if (__builtin_cpu_supports("avx2")) return SimdLevel::kAvx2;
        return SimdLevel::kPortable;
    }();
    return level;
#else
    return SimdLevel::kPortable;
#endif
}

SimdLevel usableSimdLevel(SimdLevel limit) {
    SimdLevel supported = supportedSimdLevel();
    return static_cast<int>(limit) < static_cast<int>(supported) ? limit : supported;
}

const char* simdLevelName(SimdLevel level) {
    switch (level) {
        case SimdLevel::kAvx512:
            return "avx512";
        case SimdLevel::kAvx2:
            return "avx2";
        case SimdLevel::kPortable:
            break;
    }
    return "portable";
}

const SurfaceKernels& surfaceKernels(SimdLevel level) {
#if defined(VANTREL_X86_KERNELS)
    switch (usableSimdLevel(level)) {
        case SimdLevel::kAvx512:
            return avx512SurfaceKernels();
        case SimdLevel::kAvx2:
            return avx2SurfaceKernels();
        case SimdLevel::kPortable:
            break;
    }
#else
    (void)level;
#endif
    return portableSurfaceKernels();
}
