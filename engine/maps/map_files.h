#pragma once

#include <string>
#include <vector>

#include "hurst_map.h"
#include "raster_writer.h"

// A map written out. Each quantity is a band of tileRows x tileColumns values, not-a-number
// where a tile has none: H, H_low, H_high (the 90% interval), D = 3 - H, cells and flags (the
// MapFlag bits) of the exponent's map; with the directional maps the same as H_rows...,
// H_columns... and anisotropy (H_rows less H_columns). Every value sits at its tile's centre:
// the map's pixels are `stride` cells wide, and its first pixel's centre is the first tile's.

// The bands, in the order the files hold them.
std::vector<RasterBand> mapBands(const std::vector<HurstMap>& maps);

// The geotransform of the map from the surface's (cells of the surface when it has none).
RasterPlacement mapPlacement(const MapLayout& layout, bool hasGeoTransform,
                             const double geoTransform[6], const std::string& crsWkt);

// Where tile (a, b)'s centre lies in the placement's coordinates.
void tileCentre(const RasterPlacement& placement, int a, int b, double& x, double& y);

// One row per tile: row, column, x, y, H, lo, hi, flags, then D, cells and any directional
// bands by name; empty fields where a tile has no value.
std::string mapCsv(const std::vector<HurstMap>& maps, const RasterPlacement& placement);

// A NumPy structured array of shape (tile rows, tile columns) with fields row, column, x, y and
// one float64 field per band.
std::string mapNpy(const std::vector<HurstMap>& maps, const RasterPlacement& placement);
