#pragma once

#include <string>

#include "data_matrix.h"
#include "run_host.h"

// Surface files in every format Vantrel reads, through one entry point that every front end
// calls. The text matrix goes to loadDataMatrix unchanged; the other readers show the same size
// label and ask the same question before reading any value.

enum class SurfaceFormat { kAuto, kText, kCsv, kNpy, kGsf, kGwy, kGdal };

struct ReadOptions {
    SurfaceFormat format = SurfaceFormat::kAuto;  // kAuto: by content, then by the name's ending
    int band = 1;                                 // the raster band GDAL reads, counted from 1
    bool cropValid = false;  // keep the largest rectangle without missing values
    // Load missing values as not-a-number instead of ending the load (the roughness map leaves
    // the tiles they reach empty); cropValid, when set, comes first.
    bool keepMissing = false;
    int threads = 0;  // the text loader's threads; 0: one per core
    // A text matrix's leading lines that begin with '#' are a header to read, not data (see
    // text_header.h). The run reads every line as data and turns this off.
    bool commentLines = true;
};

// What the file says about the grid's geometry and units; zeros and empty texts where it says
// nothing (a text matrix, CSV or .npy never does).
struct SurfaceUnits {
    double pixelWidth = 0.0;   // the spacing of columns, in lateralUnit
    double pixelHeight = 0.0;  // the spacing of rows, in lateralUnit
    std::string lateralUnit;   // "m", "metre", "degree", ...
    std::string valueUnit;     // the unit of the values (GSF's ZUnits, a band's unit type)
    // Said about the grid on the way, such as a geographic raster's cells that are not square
    // on the ground; shown by the front end beside its results.
    std::string note;
    // Where a raster has them: its geotransform (GDAL's six coefficients) and its coordinate
    // system as WKT, so that what is made from it can be placed the same way.
    bool hasGeoTransform = false;
    double geoTransform[6] = {0.0, 1.0, 0.0, 0.0, 0.0, 1.0};
    std::string crsWkt;
    bool hasPixelSize() const { return pixelWidth > 0.0 && pixelHeight > 0.0; }
};

// Loads the surface file at `path` into `rows` (R x C) with the reader that `options` chooses.
// Returns true with the matrix, and its units where the file has them. Returns false with `rows`
// null after telling the user what was wrong with the file (the text matrix keeps its own
// messages and says nothing when it cannot be opened), or when the user declines the size.
// Missing values end the load with a message unless options.cropValid is set. Throws
// std::bad_alloc when the matrix does not fit in memory, and RunCancelled when the host's cancel
// token asks to stop; either way nothing is held.
bool loadSurfaceFile(RunHost& host, const std::string& path, const ReadOptions& options,
                     RowTable& rows, int& R, int& C, SurfaceUnits& units);

// The format for --format's word ("text", "csv", "npy", "gsf", "gwy", "gdal"); false for other
// words.
bool surfaceFormatFromName(const std::string& name, SurfaceFormat& format);

// A file-dialog filter entry naming every ending that chooses a reader, as
// "Surface files (*.txt;*.csv;...)|*.txt;*.csv;...|".
std::string surfaceFileFilter();
