#pragma once

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
