#pragma once

#include <cpl_error.h>
#include <gdal.h>
#include <ogr_srs_api.h>

#include <string>

// The GDAL functions the raster reader calls, loaded from the system's GDAL the first time a
// raster is read. GDAL brings a hundred shared libraries and some 200 MB of address space with
// it; loading it only for rasters keeps every other run as small and quick to start as before.

// clang-format off
#define VANTREL_GDAL_FUNCTIONS(X) \
    X(GDALAllRegister) \
    X(GDALOpenEx) \
    X(GDALClose) \
    X(GDALGetRasterCount) \
    X(GDALGetRasterBand) \
    X(GDALGetRasterDataType) \
    X(GDALDataTypeIsComplex) \
    X(GDALGetRasterBandXSize) \
    X(GDALGetRasterBandYSize) \
    X(GDALGetBlockSize) \
    X(GDALGetRasterNoDataValue) \
    X(GDALGetRasterScale) \
    X(GDALGetRasterOffset) \
    X(GDALRasterIO) \
    X(GDALFlushRasterCache) \
    X(GDALGetGeoTransform) \
    X(GDALGetSpatialRef) \
    X(GDALGetRasterUnitType) \
    X(GDALGetProjectionRef) \
    X(GDALGetDriverByName) \
    X(GDALCreate) \
    X(GDALSetGeoTransform) \
    X(GDALSetProjection) \
    X(GDALSetRasterNoDataValue) \
    X(GDALSetDescription) \
    X(OSRIsProjected) \
    X(OSRIsLocal) \
    X(OSRIsGeographic) \
    X(OSRGetLinearUnits) \
    X(OSRGetAngularUnits) \
    X(CPLPushErrorHandlerEx) \
    X(CPLPopErrorHandler) \
    X(CPLGetErrorHandlerUserData)
// clang-format on

struct GdalLibrary {
#define VANTREL_GDAL_POINTER(name) decltype(&::name) name = nullptr;
    VANTREL_GDAL_FUNCTIONS(VANTREL_GDAL_POINTER)
#undef VANTREL_GDAL_POINTER
};

// The loaded functions, with every driver registered; null, with `why` set to what the system
// said, when the library or one of its functions cannot be found.
const GdalLibrary* gdalLibrary(std::string& why);

// The Debian package that holds the shared library `soname`, by the Debian policy's rule:
// "libgdal.so.32" is in libgdal32, and "libfoo2.so.1" in libfoo2-1.
std::string debianPackageOfLibrary(const std::string& soname);

// What the user reads when GDAL cannot be loaded: the system's reason `why` and the package to
// install.
std::string gdalMissingText(const std::string& why);
