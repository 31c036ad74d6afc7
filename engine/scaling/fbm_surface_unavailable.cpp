// makeFbmPair where the build found no FFTW (the Windows programs): every call says so.

#include "fbm_surface.h"

FbmPair makeFbmPair(int, int, double, std::uint64_t, std::string& error) {
    error = "this build of Vantrel has no FFTW, which exact surfaces need";
    return {};
}
