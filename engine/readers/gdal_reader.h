#pragma once

#include <memory>
#include <optional>
#include <string>

#include "data_matrix.h"
#include "run_host.h"
#include "surface_file.h"

// Reads one band (counted from 1) of any raster the system's GDAL opens: GeoTIFF, ESRI ASCII
// grid, PNG, TIFF, netCDF, ... Rows are read one at a time straight into the matrix and GDAL's
// block cache is emptied after each row of blocks, so no more than one row of blocks of the file
// is held beside the matrix. Cells equal to the band's nodata value become NaN. The pixel size
// comes from the geotransform, its unit from the spatial reference.
//
// Everything GDAL has to say is caught while it works: its failures reach the user as this
// reader's messages, which begin with the file's name; its warnings are dropped. The matrix with
// its units; nothing after such a message, or without one when the user declines the size.
std::optional<DataMatrix> readGdal(RunHost& host, const std::string& path, int band);

// One band of a raster kept open to be read a window of rows at a time, for work that holds only
// part of a raster larger than memory (the roughness map's bands). The values are readGdal's:
// nodata cells NaN, packed codes scaled.
class GdalRasterRows {
  public:
    // The band, or nothing after telling the host why, as readGdal tells it.
    static std::unique_ptr<GdalRasterRows> open(RunHost& host, const std::string& path, int band);
    ~GdalRasterRows();
    GdalRasterRows(const GdalRasterRows&) = delete;
    GdalRasterRows& operator=(const GdalRasterRows&) = delete;

    int rowCount() const;
    int columnCount() const;
    const SurfaceUnits& units() const;

    // Rows first ... first + count - 1 into `out`, C doubles each; false with `error` set to a
    // sentence that begins with the file's name when GDAL cannot read them. GDAL's block cache is
    // emptied after each read, so that nothing of the file stays beside the band.
    bool read(int first, int count, double* out, std::string& error);

    struct Open;  // the open dataset (gdal_reader.cpp)

  private:
    explicit GdalRasterRows(std::unique_ptr<Open> open);
    std::unique_ptr<Open> open_;
};
