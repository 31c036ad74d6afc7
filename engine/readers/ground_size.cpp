#include "ground_size.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;

}  // namespace

GroundSize groundSizeOfCell(double widthDegrees, double heightDegrees, double latitude) {
    const double phi = latitude * kRadiansPerDegree;
    // Metres per degree of latitude and of longitude on WGS 84.
    const double alongMeridian = 111132.954 - 559.822 * std::cos(2 * phi) +
                                 1.175 * std::cos(4 * phi) - 0.0023 * std::cos(6 * phi);
    const double alongParallel =
        111412.84 * std::cos(phi) - 93.5 * std::cos(3 * phi) + 0.118 * std::cos(5 * phi);
    return {std::fabs(widthDegrees) * std::fabs(alongParallel),
            std::fabs(heightDegrees) * alongMeridian};
}

std::string geographicCellNote(double widthDegrees, double heightDegrees, double latitude) {
    const GroundSize ground = groundSizeOfCell(widthDegrees, heightDegrees, latitude);
    char text[320];
    std::snprintf(text, sizeof text,
                  "the cells are %.6g x %.6g degree, which is not square on the ground: about "
                  "%.3g m x %.3g m at the raster's centre (latitude %.2f); the sides are told in "
                  "degrees, so reproject it to a metric grid for sides in metres",
                  widthDegrees, heightDegrees, ground.east, ground.north, latitude);
    return text;
}
