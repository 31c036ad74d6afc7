#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "data_matrix.h"
#include "run_host.h"
#include "surface_file.h"

// The .gwy container of SPM data: the bytes "GWYP", then one serialised object, little endian
// throughout. An object is its type name (NUL-terminated), a 32-bit size of its components, and
// the components: each a name (NUL-terminated), a type character and the value: 'b' and 'c' one
// byte, 'i' 4, 'q' and 'd' 8, 's' a NUL-terminated string, 'o' an object; the capitals C, I, Q,
// D, S and O are arrays of those, a 32-bit count and then the items.
//
// The file's object is a GwyContainer whose components "/N/data" are the channels, each a
// GwyDataField with xres (columns), yres (rows), xreal and yreal (the real size), the units
// si_unit_xy and si_unit_z (GwySIUnit objects with a string "unitstr") and the array of doubles
// "data", row by row. The channel of the lowest N is read; everything else is stepped over by
// its size without being read.

// Reads a .gwy file open at its start: the matrix with its units; nothing, after a message that
// begins with `name`, for a file that is not one, is damaged or cut short, or holds no channel,
// and nothing without one when the user declines the size.
std::optional<DataMatrix> readGwy(RunHost& host, std::FILE* file, const std::string& name);

// The first bytes of every .gwy file.
inline constexpr const char kGwyMagic[] = "GWYP";
