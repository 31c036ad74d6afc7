#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "surface_file.h"

// Which reader a file goes to when none is forced: by its first bytes where they are a known
// signature (TIFF, PNG, netCDF, HDF5, NPY, GSF, .gwy, X3P), else by the name's ending, else the
// text matrix.
SurfaceFormat formatOfFile(std::string_view firstBytes, const std::string& path);

// The format its first bytes announce; kAuto when they announce none.
SurfaceFormat formatOfSignature(std::string_view firstBytes);

// The format the name's ending stands for (case ignored); kAuto when it stands for none.
SurfaceFormat formatOfName(const std::string& path);

// The endings formatOfName knows, each with its dot: ".txt", ".csv", ...
std::vector<std::string> knownEndings();

// The first line of every GSF file.
inline constexpr std::string_view kGsfMagicLine = "Gwyddion Simple Field 1.0\n";
