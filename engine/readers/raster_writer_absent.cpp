// The GeoTIFF writer for builds without GDAL (the Windows cross build).

#include "raster_writer.h"

namespace {

std::string withoutGdal(const std::string& path) {
    return "Cannot write " + path +
           ": this build of Vantrel writes GeoTIFF through GDAL, which it was built without; "
           "write .npy or .csv instead";
}

}  // namespace

GeoTiffWriter::~GeoTiffWriter() = default;

bool GeoTiffWriter::open(const std::string& path, int, int, const std::vector<std::string>&,
                         const RasterPlacement&, std::string& error) {
    error = withoutGdal(path);
    return false;
}

bool GeoTiffWriter::writeRows(int, int, const std::vector<RasterBand>&, std::string& error) {
    error = withoutGdal(path_);
    return false;
}

bool GeoTiffWriter::close(std::string& error) {
    error = withoutGdal(path_);
    return false;
}

bool writeGeoTiff(const std::string& path, int, int, const std::vector<RasterBand>&,
                  const RasterPlacement&, std::string& error) {
    error = withoutGdal(path);
    return false;
}
