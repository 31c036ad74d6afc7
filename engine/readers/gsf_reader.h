#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "data_matrix.h"
#include "run_host.h"
#include "surface_file.h"

// The simple field format of microscopy tools (GSF): the line "Gwyddion Simple Field 1.0", then
// "Key = Value" lines, of which XRes (columns) and YRes (rows) are required and XReal, YReal,
// XYUnits and ZUnits are kept; one to four NUL bytes pad the header to a multiple of 4 bytes;
// then XRes x YRes float32 little endian values, row by row.

struct GsfHeader {
    long long columns = -1;  // XRes
    long long rows = -1;     // YRes
    double width = 0.0;      // XReal; 0 when not given
    double height = 0.0;     // YReal
    std::string lateralUnit, valueUnit;
    std::size_t dataOffset = 0;
};

// Parses a header whose text (the bytes before the first NUL) is `text`. False, with `what`
// saying why, when the magic line or XRes/YRes is missing or a number does not read.
bool parseGsfHeader(std::string_view text, GsfHeader& header, std::string& what);

// Reads a GSF file open at its start: the matrix with its units; nothing, after a message that
// begins with `name`, for a damaged or cut-short file, and without one when the user declines.
std::optional<DataMatrix> readGsf(RunHost& host, std::FILE* file, const std::string& name);
