// readGdal for builds without GDAL (the Windows cross build): rasters are named as unreadable.

#include "gdal_reader.h"
#include "reader_support.h"

std::optional<DataMatrix> readGdal(RunHost& host, const std::string& path, int) {
    return fileRefused(host, path,
                       "is a raster, and this build of Vantrel reads rasters through GDAL, which "
                       "it was built without; save it as .npy, GSF, CSV or a text matrix");
}
