// writeGeoTiff for builds without GDAL (the Windows cross build).

#include "raster_writer.h"

bool writeGeoTiff(const std::string& path, int, int, const std::vector<RasterBand>&,
                  const RasterPlacement&, std::string& error) {
    error = "Cannot write " + path +
            ": this build of Vantrel writes GeoTIFF through GDAL, which it was built without; "
            "write .npy or .csv instead";
    return false;
}
