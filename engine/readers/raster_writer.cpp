#include "raster_writer.h"

#include <limits>

#include "gdal_library.h"

bool writeGeoTiff(const std::string& path, int rows, int columns,
                  const std::vector<RasterBand>& bands, const RasterPlacement& placement,
                  std::string& error) {
    std::string why;
    const GdalLibrary* gdal = gdalLibrary(why);
    if (!gdal) {
        error = "Cannot write " + path + ": GDAL cannot be loaded (" + why + ")";
        return false;
    }
    GDALDriverH driver = gdal->GDALGetDriverByName("GTiff");
    GDALDatasetH dataset =
        driver ? gdal->GDALCreate(driver, path.c_str(), columns, rows,
                                  static_cast<int>(bands.size()), GDT_Float64, nullptr)
               : nullptr;
    if (!dataset) {
        error = "Cannot write " + path + ": GDAL could not create the GeoTIFF";
        return false;
    }
    double transform[6];
    for (int k = 0; k < 6; ++k) transform[k] = placement.geoTransform[k];
    bool written = gdal->GDALSetGeoTransform(dataset, transform) == CE_None;
    if (!placement.crsWkt.empty())
        written = written && gdal->GDALSetProjection(dataset, placement.crsWkt.c_str()) == CE_None;
    for (std::size_t b = 0; b < bands.size() && written; ++b) {
        GDALRasterBandH band = gdal->GDALGetRasterBand(dataset, static_cast<int>(b) + 1);
        gdal->GDALSetDescription(band, bands[b].name.c_str());
        gdal->GDALSetRasterNoDataValue(band, std::numeric_limits<double>::quiet_NaN());
        std::vector<double> values = bands[b].values;
        written = gdal->GDALRasterIO(band, GF_Write, 0, 0, columns, rows, values.data(), columns,
                                     rows, GDT_Float64, 0, 0) == CE_None;
    }
    gdal->GDALClose(dataset);
    if (!written) error = "Cannot write " + path + ": GDAL could not write the bands";
    return written;
}
