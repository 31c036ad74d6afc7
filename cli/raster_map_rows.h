#pragma once

#include <string>

#include "gdal_reader.h"
#include "map_rows.h"

// A raster's rows for the roughness map, read a band at a time through GDAL windows.
class RasterMapRows : public StreamedRows {
  public:
    explicit RasterMapRows(GdalRasterRows& raster)
        : StreamedRows(raster.rowCount(), raster.columnCount()), raster_(raster) {}

  protected:
    // Throws std::runtime_error with GDAL's sentence when the rows cannot be read.
    void readRows(int first, int count, double* out) override;

  private:
    GdalRasterRows& raster_;
};
