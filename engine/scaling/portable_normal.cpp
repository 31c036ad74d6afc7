#include <cmath>

#include "fbm_surface.h"

double PortableNormal::next() {
    if (haveSpare_) {
        haveSpare_ = false;
        return spare_;
    }
    // Marsaglia's polar method on 53-bit uniforms in (-1, 1).
    for (;;) {
        const double u = (static_cast<double>(bits_() >> 11) + 0.5) * 0x1p-52 - 1.0;
        const double v = (static_cast<double>(bits_() >> 11) + 0.5) * 0x1p-52 - 1.0;
        const double q = u * u + v * v;
        if (q >= 1.0 || q == 0.0) continue;
        const double factor = std::sqrt(-2.0 * std::log(q) / q);
        spare_ = v * factor;
        haveSpare_ = true;
        return u * factor;
    }
}
