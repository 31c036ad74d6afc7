#pragma once

#include <string>
#include <vector>

#include "literal_analysis.h"
#include "workloads.h"

// The same float32 values as a text matrix, a GeoTIFF and a .npy file, for timing whole runs
// on each.
struct RasterInputs {
    std::string text, geoTiff, npy;
};

// Loads the text matrix `source`, rounds it to float32 and writes it in the three forms into
// `folder` under `stem`, unless they are there from an earlier run. The text holds each value
// with 9 significant digits, which read back as exactly the float32 value. The work is done in
// a child process, so that this one stays small for the peak-memory runs that follow.
RasterInputs makeRasterInputs(const std::string& source, const std::string& folder,
                              const std::string& stem);

// An R x C float32 GeoTIFF of a rough surface (each row the one above plus normal steps, summed
// along the row with half weight), `folder`/surface-RxC-f32.tif, made in a child process unless
// it is there from an earlier run; one row at a time, so that neither process holds the surface.
std::string makeLargeGeoTiff(const std::string& folder, int R, int C);

// Whole `vantrel-cli run` on `path` with the one area 4, the median of `runs`, against the same
// run on the text matrix `textPath` (the baseline, in `literal`); the results files must match.
Timing timeWholeRun(const std::string& cli, const std::string& textPath, const std::string& path,
                    int runs);

// Runs a program with its arguments and waits for it, its output and messages thrown away;
// false when it could not be run or did not succeed.
bool runQuietly(const std::vector<std::string>& command);
