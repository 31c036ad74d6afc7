#pragma once

#include <string>
#include <vector>

// A GeoTIFF of float64 bands written through GDAL: a derived raster (a roughness map) placed by
// a geotransform and a coordinate system, each band named, not-a-number as its nodata value.

struct RasterBand {
    std::string name;
    std::vector<double> values;  // rows x columns, row by row
};

struct RasterPlacement {
    double geoTransform[6] = {0.0, 1.0, 0.0, 0.0, 0.0, 1.0};
    std::string crsWkt;  // empty: none
};

// Writes `path` (which the caller has made sure is not the input); false with `error` set to a
// sentence for the user when GDAL is missing or refuses.
bool writeGeoTiff(const std::string& path, int rows, int columns,
                  const std::vector<RasterBand>& bands, const RasterPlacement& placement,
                  std::string& error);
