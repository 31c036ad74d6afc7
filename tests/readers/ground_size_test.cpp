// A geographic cell's size on the ground against the closed forms of the WGS 84 ellipsoid: the
// radius of curvature of the meridian and the radius of the parallel.

#include "ground_size.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kA = 6378137.0;            // semi-major axis, metres
constexpr double kF = 1.0 / 298.257223563;  // flattening
constexpr double kE2 = kF * (2.0 - kF);     // first eccentricity squared

TEST(GroundSize, OneDegreeMatchesTheEllipsoidAtEveryLatitude) {
    for (double latitude : {0.0, 15.0, 36.6, 45.0, 60.0, 75.0, 89.0, -36.6}) {
        SCOPED_TRACE(latitude);
        const double phi = latitude * kPi / 180.0;
        const double w = std::sqrt(1.0 - kE2 * std::sin(phi) * std::sin(phi));
        const double meridian = kA * (1.0 - kE2) / (w * w * w) * kPi / 180.0;
        const double parallel = kA * std::cos(phi) / w * kPi / 180.0;
        const GroundSize one = groundSizeOfCell(1.0, 1.0, latitude);
        EXPECT_NEAR(one.north, meridian, 0.05);
        EXPECT_NEAR(one.east, parallel, 0.05);
    }
}

TEST(GroundSize, ScalesWithTheCellAndIgnoresTheSignOfItsSides) {
    const GroundSize one = groundSizeOfCell(1.0, 1.0, 36.6);
    const GroundSize cell = groundSizeOfCell(1.0 / 1200, -1.0 / 1200, 36.6);
    EXPECT_NEAR(cell.east, one.east / 1200, 1e-9);
    EXPECT_NEAR(cell.north, one.north / 1200, 1e-9);
}

}  // namespace
