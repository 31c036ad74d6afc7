#pragma once

#include <optional>
#include <string>

#include "data_matrix.h"
#include "run_host.h"

// Surface files in every format Vantrel reads, through one entry point that every front end
// calls. The text matrix goes to loadDataMatrix unchanged; the other readers show the same size
// label and ask the same question before reading any value.

enum class SurfaceFormat { kAuto, kText, kCsv, kNpy, kGsf, kGwy, kX3p, kGdal };

struct ReadOptions {
    SurfaceFormat format = SurfaceFormat::kAuto;  // kAuto: by content, then by the name's ending
    int band = 1;                                 // the raster band GDAL reads, counted from 1
    bool cropValid = false;  // keep the largest rectangle without missing values
    // Load missing values as not-a-number instead of ending the load (the roughness map leaves
    // the tiles they reach empty); cropValid, when set, comes first.
    bool keepMissing = false;
    int threads = 0;  // the text loader's threads; 0: one per core
    // A text matrix's leading lines that begin with '#' are a header to read (text_header.h), and
    // text from a '#' to its line's end anywhere else is a comment (comment_blanking.h), as
    // numpy.loadtxt reads them. The run reads every byte as data and turns this off.
    bool commentLines = true;
};

// Loads the surface file at `path` with the reader that `options` chooses. Returns the matrix,
// with its units where the file has them; or nothing after telling the user what was wrong with
// the file (the text matrix keeps its own messages and says nothing when it cannot be opened),
// or when the user declines the size. Missing values end the load with a message unless
// options.cropValid is set. Throws std::bad_alloc when the matrix does not fit in memory, and
// RunCancelled when the host's cancel token asks to stop; either way nothing is held.
std::optional<DataMatrix> loadSurfaceFile(RunHost& host, const std::string& path,
                                          const ReadOptions& options);

// The format loadSurfaceFile reads `path` as: `forced`, or the one its content and name choose.
SurfaceFormat surfaceFileFormat(const std::string& path, SurfaceFormat forced);

// The format for --format's word ("text", "csv", "npy", "gsf", "gwy", "x3p", "gdal"); false for
// other words.
bool surfaceFormatFromName(const std::string& name, SurfaceFormat& format);

// A file-dialog filter entry naming every ending that chooses a reader, as
// "Surface files (*.txt;*.csv;...)|*.txt;*.csv;...|".
std::string surfaceFileFilter();
