#include "gdal_reader.h"

#include <cmath>

#include "gdal_library.h"
#include "ground_size.h"
#include "reader_support.h"

namespace {

// Catches GDAL's messages on this thread for as long as it lives, so that nothing reaches the
// terminal behind the program's back; keeps the first failure's text.
class GdalMessages {
  public:
    explicit GdalMessages(const GdalLibrary& gdal) : gdal_(gdal) {
        gdal_.CPLPushErrorHandlerEx(&GdalMessages::receive, this);
    }
    ~GdalMessages() { gdal_.CPLPopErrorHandler(); }
    GdalMessages(const GdalMessages&) = delete;
    GdalMessages& operator=(const GdalMessages&) = delete;

    // "what: GDAL's text", or `what` alone when GDAL said nothing.
    std::string explain(const std::string& what) const {
        return failure_.empty() ? what : what + ": " + failure_;
    }

    // Whether GDAL's words say the data ran out: a file cut short, whose reader's own text
    // ("TIFFReadEncodedStrip:Read error at scanline 4294967295; got 654 bytes, expected 8192")
    // means nothing to the person who copied it.
    bool dataRanOut() const {
        for (const char* sign : {"Read error", "short read", "truncated", "Truncated"})
            if (failure_.find(sign) != std::string::npos) return true;
        return false;
    }

  private:
    static void CPL_STDCALL receive(CPLErr level, CPLErrorNum, const char* text) {
        std::string why;
        auto* self = static_cast<GdalMessages*>(gdalLibrary(why)->CPLGetErrorHandlerUserData());
        if ((level == CE_Failure || level == CE_Fatal) && self->failure_.empty() && text)
            self->failure_ = text;
    }
    const GdalLibrary& gdal_;
    std::string failure_;
};

class DatasetCloser {
  public:
    DatasetCloser(const GdalLibrary& gdal, GDALDatasetH dataset) : gdal_(gdal), dataset_(dataset) {}
    ~DatasetCloser() {
        if (dataset_) gdal_.GDALClose(dataset_);
    }
    DatasetCloser(const DatasetCloser&) = delete;
    DatasetCloser& operator=(const DatasetCloser&) = delete;
    GDALDatasetH get() const { return dataset_; }

  private:
    const GdalLibrary& gdal_;
    GDALDatasetH dataset_;
};

void readUnits(const GdalLibrary& gdal, GDALDatasetH dataset, GDALRasterBandH band, int R, int C,
               SurfaceUnits& units) {
    double transform[6];
    const bool placed = gdal.GDALGetGeoTransform(dataset, transform) == CE_None;
    if (placed) {
        units.pixelWidth = std::fabs(transform[1]);
        units.pixelHeight = std::fabs(transform[5]);
        units.hasGeoTransform = true;
        for (int k = 0; k < 6; ++k) units.geoTransform[k] = transform[k];
    }
    if (const char* wkt = gdal.GDALGetProjectionRef(dataset)) units.crsWkt = wkt;
    bool geographic = false;
    if (OGRSpatialReferenceH reference = gdal.GDALGetSpatialRef(dataset)) {
        char* name = nullptr;
        if (gdal.OSRIsProjected(reference) || gdal.OSRIsLocal(reference)) {
            gdal.OSRGetLinearUnits(reference, &name);
        } else if (gdal.OSRIsGeographic(reference)) {
            gdal.OSRGetAngularUnits(reference, &name);
            geographic = true;
        }
        if (name) units.lateralUnit = name;
    }
    // Cells square in degrees are not square on the ground; say what they measure there.
    const double centreLatitude =
        placed ? transform[3] + transform[4] * C / 2.0 + transform[5] * R / 2.0 : 0.0;
    if (geographic && units.hasPixelSize() && std::fabs(centreLatitude) <= 90.0)
        units.note = geographicCellNote(units.pixelWidth, units.pixelHeight, centreLatitude);
    if (const char* unit = gdal.GDALGetRasterUnitType(band)) units.valueUnit = unit;
}

bool readBand(const GdalLibrary& gdal, const GdalMessages& messages, RunHost& host,
              const std::string& path, GDALRasterBandH band, DataMatrix& rows) {
    const int R = rows.rowCount();
    const int C = rows.columnCount();
    int blockWidth = 0, blockHeight = 0;
    gdal.GDALGetBlockSize(band, &blockWidth, &blockHeight);
    if (blockHeight < 1) blockHeight = 1;
    int hasNodata = 0;
    const double nodata = gdal.GDALGetRasterNoDataValue(band, &hasNodata);
    // Packed bands (an elevation model's Int16 codes, say) hold codes: the value is
    // code x scale + offset. The no-data value is a code, so it is compared first.
    const double scale = gdal.GDALGetRasterScale(band, nullptr);
    const double offset = gdal.GDALGetRasterOffset(band, nullptr);
    const bool packed = scale != 1.0 || offset != 0.0;
    for (int i = 0; i < R; ++i) {
        if (gdal.GDALRasterIO(band, GF_Read, 0, i, C, 1, rows[i], C, 1, GDT_Float64, 0, 0) !=
            CE_None) {
            const std::string what = "row " + std::to_string(i + 1) + " of the band cannot be read";
            return fileProblem(
                host, path,
                messages.dataRanOut() ? "is cut short: " + what : messages.explain(what));
        }
        if (hasNodata && !std::isnan(nodata))
            for (int j = 0; j < C; ++j)
                if (rows[i][j] == nodata) rows[i][j] = std::nan("");
        if (packed)
            for (int j = 0; j < C; ++j) rows[i][j] = rows[i][j] * scale + offset;
        // The row of blocks is read whole: let it go before the next is read.
        if ((i + 1) % blockHeight == 0) gdal.GDALFlushRasterCache(band);
    }
    gdal.GDALFlushRasterCache(band);
    return true;
}

}  // namespace

std::optional<DataMatrix> readGdal(RunHost& host, const std::string& path, int bandNumber) {
    std::string why;
    const GdalLibrary* library = gdalLibrary(why);
    if (!library) return fileRefused(host, path, gdalMissingText(why));
    const GdalLibrary& gdal = *library;
    GdalMessages messages(gdal);
    DatasetCloser dataset(
        gdal,
        gdal.GDALOpenEx(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY | GDAL_OF_VERBOSE_ERROR,
                        nullptr, nullptr, nullptr));
    if (!dataset.get())
        return fileRefused(host, path, messages.explain("is not a raster that GDAL can read"));
    const int bands = gdal.GDALGetRasterCount(dataset.get());
    if (bandNumber < 1 || bandNumber > bands)
        return fileRefused(host, path,
                           "has " + std::to_string(bands) + (bands == 1 ? " band" : " bands") +
                               "; there is no band " + std::to_string(bandNumber));
    GDALRasterBandH band = gdal.GDALGetRasterBand(dataset.get(), bandNumber);
    if (gdal.GDALDataTypeIsComplex(gdal.GDALGetRasterDataType(band)))
        return fileRefused(host, path,
                           "band " + std::to_string(bandNumber) +
                               " holds complex values; only real numbers can be analysed");
    const int columnCount = gdal.GDALGetRasterBandXSize(band);
    const int rowCount = gdal.GDALGetRasterBandYSize(band);

    auto matrix = confirmSizeAndAllocate(host, rowCount, columnCount);
    if (!matrix) return std::nullopt;
    if (!readBand(gdal, messages, host, path, band, *matrix)) return std::nullopt;
    readUnits(gdal, dataset.get(), band, rowCount, columnCount, matrix->units);
    return matrix;
}
