// readGdal for builds without GDAL (the Windows cross build): rasters are named as unreadable.

#include "gdal_reader.h"
#include "reader_support.h"

std::optional<DataMatrix> readGdal(RunHost& host, const std::string& path, int) {
    return fileRefused(host, path,
                       "is a raster, and this build of Vantrel reads rasters through GDAL, which "
                       "it was built without; save it as .npy, GSF, CSV or a text matrix");
}

struct GdalRasterRows::Open {};

std::unique_ptr<GdalRasterRows> GdalRasterRows::open(RunHost& host, const std::string& path,
                                                     int band) {
    readGdal(host, path, band);
    return nullptr;
}

GdalRasterRows::GdalRasterRows(std::unique_ptr<Open> open) : open_(std::move(open)) {}
GdalRasterRows::~GdalRasterRows() = default;

int GdalRasterRows::rowCount() const {
    return 0;
}

int GdalRasterRows::columnCount() const {
    return 0;
}

const SurfaceUnits& GdalRasterRows::units() const {
    static const SurfaceUnits none;
    return none;
}

bool GdalRasterRows::read(int, int, double*, std::string& error) {
    error = "this build reads no rasters";
    return false;
}
