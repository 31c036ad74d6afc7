#include "gdal_reader.h"

#include <algorithm>
#include <cmath>

#include "gdal_library.h"
#include "ground_size.h"
#include "reader_support.h"

// The band's dataset, closed when it goes.
struct GdalRasterRows::Open {
    const GdalLibrary& gdal;
    std::string path;
    GDALDatasetH dataset = nullptr;
    GDALRasterBandH band = nullptr;
    int R = 0, C = 0;
    SurfaceUnits units;
    int hasNodata = 0;
    double nodata = 0.0, scale = 1.0, offset = 0.0;

    Open(const GdalLibrary& library, const std::string& name) : gdal(library), path(name) {}
    ~Open() {
        if (dataset) gdal.GDALClose(dataset);
    }
    Open(const Open&) = delete;
    Open& operator=(const Open&) = delete;
};

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

// The values of `count` cells as the reader gives them: nodata cells NaN, packed codes scaled.
void toValues(const GdalRasterRows::Open& open, double* values, std::size_t count) {
    if (open.hasNodata && !std::isnan(open.nodata))
        for (std::size_t j = 0; j < count; ++j)
            if (values[j] == open.nodata) values[j] = std::nan("");
    // Packed bands (an elevation model's Int16 codes, say) hold codes: the value is
    // code x scale + offset. The no-data value is a code, so it is compared first.
    if (open.scale != 1.0 || open.offset != 0.0)
        for (std::size_t j = 0; j < count; ++j) values[j] = values[j] * open.scale + open.offset;
}

bool readBand(const GdalRasterRows::Open& open, const GdalMessages& messages, RunHost& host,
              DataMatrix& rows) {
    const GdalLibrary& gdal = open.gdal;
    const int R = rows.rowCount();
    const int C = rows.columnCount();
    int blockWidth = 0, blockHeight = 0;
    gdal.GDALGetBlockSize(open.band, &blockWidth, &blockHeight);
    if (blockHeight < 1) blockHeight = 1;
    for (int i = 0; i < R; ++i) {
        if (gdal.GDALRasterIO(open.band, GF_Read, 0, i, C, 1, rows[i], C, 1, GDT_Float64, 0, 0) !=
            CE_None) {
            const std::string what = "row " + std::to_string(i + 1) + " of the band cannot be read";
            return fileProblem(
                host, open.path,
                messages.dataRanOut() ? "is cut short: " + what : messages.explain(what));
        }
        toValues(open, rows[i], static_cast<std::size_t>(C));
        // The row of blocks is read whole: let it go before the next is read.
        if ((i + 1) % blockHeight == 0) gdal.GDALFlushRasterCache(open.band);
    }
    gdal.GDALFlushRasterCache(open.band);
    return true;
}

// The band opened, its size, nodata value, packing and units known; nothing after telling the
// host why not.
std::unique_ptr<GdalRasterRows::Open> openBand(RunHost& host, const GdalLibrary& gdal,
                                               const GdalMessages& messages,
                                               const std::string& path, int bandNumber) {
    auto open = std::make_unique<GdalRasterRows::Open>(gdal, path);
    open->dataset =
        gdal.GDALOpenEx(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY | GDAL_OF_VERBOSE_ERROR,
                        nullptr, nullptr, nullptr);
    if (!open->dataset)
        return fileRefused(host, path, messages.explain("is not a raster that GDAL can read")),
               nullptr;
    const int bands = gdal.GDALGetRasterCount(open->dataset);
    if (bandNumber < 1 || bandNumber > bands)
        return fileRefused(host, path,
                           "has " + std::to_string(bands) + (bands == 1 ? " band" : " bands") +
                               "; there is no band " + std::to_string(bandNumber)),
               nullptr;
    open->band = gdal.GDALGetRasterBand(open->dataset, bandNumber);
    if (gdal.GDALDataTypeIsComplex(gdal.GDALGetRasterDataType(open->band)))
        return fileRefused(host, path,
                           "band " + std::to_string(bandNumber) +
                               " holds complex values; only real numbers can be analysed"),
               nullptr;
    open->C = gdal.GDALGetRasterBandXSize(open->band);
    open->R = gdal.GDALGetRasterBandYSize(open->band);
    open->nodata = gdal.GDALGetRasterNoDataValue(open->band, &open->hasNodata);
    open->scale = gdal.GDALGetRasterScale(open->band, nullptr);
    open->offset = gdal.GDALGetRasterOffset(open->band, nullptr);
    readUnits(gdal, open->dataset, open->band, open->R, open->C, open->units);
    return open;
}

}  // namespace

std::optional<DataMatrix> readGdal(RunHost& host, const std::string& path, int bandNumber) {
    std::string why;
    const GdalLibrary* library = gdalLibrary(why);
    if (!library) return fileRefused(host, path, gdalMissingText(why));
    GdalMessages messages(*library);
    const auto open = openBand(host, *library, messages, path, bandNumber);
    if (!open) return std::nullopt;
    auto matrix = confirmSizeAndAllocate(host, open->R, open->C);
    if (!matrix) return std::nullopt;
    if (!readBand(*open, messages, host, *matrix)) return std::nullopt;
    matrix->units = open->units;
    return matrix;
}

std::unique_ptr<GdalRasterRows> GdalRasterRows::open(RunHost& host, const std::string& path,
                                                     int band) {
    std::string why;
    const GdalLibrary* library = gdalLibrary(why);
    if (!library) return fileRefused(host, path, gdalMissingText(why)), nullptr;
    GdalMessages messages(*library);
    auto open = openBand(host, *library, messages, path, band);
    if (!open) return nullptr;
    return std::unique_ptr<GdalRasterRows>(new GdalRasterRows(std::move(open)));
}

GdalRasterRows::GdalRasterRows(std::unique_ptr<Open> open) : open_(std::move(open)) {}
GdalRasterRows::~GdalRasterRows() = default;

int GdalRasterRows::rowCount() const {
    return open_->R;
}

int GdalRasterRows::columnCount() const {
    return open_->C;
}

const SurfaceUnits& GdalRasterRows::units() const {
    return open_->units;
}

bool GdalRasterRows::read(int first, int count, double* out, std::string& error) {
    const GdalLibrary& gdal = open_->gdal;
    GdalMessages messages(gdal);
    const int C = open_->C;
    // A row of blocks at a time, each let go before the next, so that GDAL's cache never holds
    // more than one beside the band.
    int blockWidth = 0, blockHeight = 0;
    gdal.GDALGetBlockSize(open_->band, &blockWidth, &blockHeight);
    if (blockHeight < 1) blockHeight = 1;
    for (int row = first; row < first + count;) {
        const int end = std::min(first + count, (row / blockHeight + 1) * blockHeight);
        double* into = out + static_cast<std::size_t>(row - first) * C;
        const bool read = gdal.GDALRasterIO(open_->band, GF_Read, 0, row, C, end - row, into, C,
                                            end - row, GDT_Float64, 0, 0) == CE_None;
        gdal.GDALFlushRasterCache(open_->band);
        if (!read) {
            const std::string what = "rows " + std::to_string(row + 1) + " to " +
                                     std::to_string(end) + " of the band cannot be read";
            error = open_->path + ": " +
                    (messages.dataRanOut() ? "is cut short: " + what : messages.explain(what));
            return false;
        }
        toValues(*open_, into, static_cast<std::size_t>(end - row) * C);
        row = end;
    }
    return true;
}
