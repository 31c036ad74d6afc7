#include "raster_writer.h"

#include <limits>

#include "gdal_library.h"

namespace {

const GdalLibrary* loadedGdal() {
    std::string why;
    return gdalLibrary(why);  // loaded once by open(): a later call only finds it again
}

}  // namespace

GeoTiffWriter::~GeoTiffWriter() {
    std::string ignored;
    if (dataset_) close(ignored);
}

bool GeoTiffWriter::open(const std::string& path, int rows, int columns,
                         const std::vector<std::string>& bandNames,
                         const RasterPlacement& placement, std::string& error) {
    if (dataset_) {
        error = "Cannot write " + path + ": the writer already has " + path_ + " open";
        return false;
    }
    std::string why;
    const GdalLibrary* gdal = gdalLibrary(why);
    if (!gdal) {
        error = "Cannot write " + path + ": GDAL cannot be loaded (" + why + ")";
        return false;
    }
    GDALDriverH driver = gdal->GDALGetDriverByName("GTiff");
    GDALDatasetH dataset =
        driver ? gdal->GDALCreate(driver, path.c_str(), columns, rows,
                                  static_cast<int>(bandNames.size()), GDT_Float64, nullptr)
               : nullptr;
    if (!dataset) {
        error = "Cannot write " + path + ": GDAL could not create the GeoTIFF";
        return false;
    }
    dataset_ = dataset;
    path_ = path;
    names_ = bandNames;
    rows_ = rows;
    columns_ = columns;
    double transform[6];
    for (int k = 0; k < 6; ++k) transform[k] = placement.geoTransform[k];
    bool placed = gdal->GDALSetGeoTransform(dataset, transform) == CE_None;
    if (!placement.crsWkt.empty())
        placed = placed && gdal->GDALSetProjection(dataset, placement.crsWkt.c_str()) == CE_None;
    for (std::size_t b = 0; b < bandNames.size() && placed; ++b) {
        GDALRasterBandH band = gdal->GDALGetRasterBand(dataset, static_cast<int>(b) + 1);
        gdal->GDALSetDescription(band, bandNames[b].c_str());
        gdal->GDALSetRasterNoDataValue(band, std::numeric_limits<double>::quiet_NaN());
    }
    if (placed) return true;
    std::string ignored;
    close(ignored);
    error = "Cannot write " + path + ": GDAL could not place the GeoTIFF";
    return false;
}

bool GeoTiffWriter::writeRows(int firstRow, int rowCount, const std::vector<RasterBand>& bands,
                              std::string& error) {
    const std::size_t cells = static_cast<std::size_t>(rowCount) * columns_;
    bool fits = dataset_ && firstRow >= 0 && rowCount >= 0 && firstRow + rowCount <= rows_ &&
                bands.size() == names_.size();
    for (std::size_t b = 0; b < bands.size() && fits; ++b)
        fits = bands[b].name == names_[b] && bands[b].values.size() == cells;
    if (!fits) {
        error = "Cannot write " + path_ + ": rows " + std::to_string(firstRow) + " to " +
                std::to_string(firstRow + rowCount) + " of these bands do not fit the file";
        return false;
    }
    if (rowCount == 0) return true;
    const GdalLibrary* gdal = loadedGdal();
    bool written = true;
    for (std::size_t b = 0; b < bands.size() && written; ++b) {
        GDALRasterBandH band = gdal->GDALGetRasterBand(dataset_, static_cast<int>(b) + 1);
        // GDAL's interface takes the buffer as writable even for writing.
        std::vector<double> values = bands[b].values;
        written = gdal->GDALRasterIO(band, GF_Write, 0, firstRow, columns_, rowCount, values.data(),
                                     columns_, rowCount, GDT_Float64, 0, 0) == CE_None;
    }
    if (!written) error = "Cannot write " + path_ + ": GDAL could not write the bands";
    return written;
}

bool GeoTiffWriter::close(std::string& error) {
    if (!dataset_) {
        error = "Cannot close " + path_ + ": it is not open";
        return false;
    }
    loadedGdal()->GDALClose(dataset_);
    dataset_ = nullptr;
    return true;
}

bool writeGeoTiff(const std::string& path, int rows, int columns,
                  const std::vector<RasterBand>& bands, const RasterPlacement& placement,
                  std::string& error) {
    std::vector<std::string> names;
    for (const RasterBand& band : bands) names.push_back(band.name);
    GeoTiffWriter writer;
    if (!writer.open(path, rows, columns, names, placement, error)) return false;
    const bool written = writer.writeRows(0, rows, bands, error);
    std::string closing;
    return writer.close(closing) && written;
}
