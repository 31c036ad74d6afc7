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

// A GeoTIFF written a block of rows at a time, so that a raster computed in pieces is never held
// whole. The file has every band from the start; rows not written yet are not-a-number.
class GeoTiffWriter {
  public:
    GeoTiffWriter() = default;
    ~GeoTiffWriter();  // closes the file when close() was not called
    GeoTiffWriter(const GeoTiffWriter&) = delete;
    GeoTiffWriter& operator=(const GeoTiffWriter&) = delete;

    // Creates `path` (which the caller has made sure is not an input) with one band per name;
    // false with `error` set to a sentence for the user when GDAL is missing or refuses.
    bool open(const std::string& path, int rows, int columns,
              const std::vector<std::string>& bandNames, const RasterPlacement& placement,
              std::string& error);
    // Writes rows firstRow ... firstRow + rowCount - 1 of every band; `bands` are the bands
    // named at open(), in that order, each rowCount x columns values.
    bool writeRows(int firstRow, int rowCount, const std::vector<RasterBand>& bands,
                   std::string& error);
    // Finishes the file. Only an open file can be closed.
    bool close(std::string& error);

  private:
    void* dataset_ = nullptr;  // GDALDatasetH
    std::string path_;
    std::vector<std::string> names_;
    int rows_ = 0, columns_ = 0;
};

// Writes `path` whole (which the caller has made sure is not the input); false with `error` set
// to a sentence for the user when GDAL is missing or refuses.
bool writeGeoTiff(const std::string& path, int rows, int columns,
                  const std::vector<RasterBand>& bands, const RasterPlacement& placement,
                  std::string& error);
