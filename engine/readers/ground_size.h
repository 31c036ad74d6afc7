#pragma once

#include <string>

// The size on the ground of a geographic raster's cell, whose sides are angles: a degree of
// longitude shrinks with the cosine of the latitude, so cells that are square in degrees are
// not square in metres, and lengths told in degrees are not lengths.

struct GroundSize {
    double east = 0.0;   // metres across a cell, west to east
    double north = 0.0;  // metres along a cell, south to north
};

// The metres a cell of width x height degrees spans at `latitude` degrees, on the WGS 84
// ellipsoid (the series of the meridian and parallel arcs, good to a centimetre per degree).
GroundSize groundSizeOfCell(double widthDegrees, double heightDegrees, double latitude);

// The note for a geographic raster: what a cell measures at the raster's centre and what to do
// for sides in metres.
std::string geographicCellNote(double widthDegrees, double heightDegrees, double latitude);
