#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "data_matrix.h"
#include "run_host.h"

// ISO 25178-72 XML surface files (.x3p): a zip archive of main.xml (x3p_header.h), the binary
// file of the values it links to (usually bindata/data.bin: SizeX x SizeY values of CZ's
// DataType, little endian, X fastest, so SizeX is the number of columns), optionally a bit
// array of the valid points and md5checksum.hex, main.xml's checksum. Only surfaces on a grid
// are read: FeatureType SUR with incremental X and Y axes and one layer. The pixel size is the
// X and Y increments; every length and value is in metres. The values may also be main.xml's
// own DataList, where an empty Datum is a missing point.
//
// Nothing is read whole: the document and the values come from the archive in pieces, the
// values row by row into the matrix once the user has agreed to its size. An invalid point (NaN,
// or one the valid points file marks) becomes NaN for the shared missing-value rules. A
// checksum that does not match is said in units.note; the values are read all the same.

// Reads an .x3p file open at its start: the matrix with its units; nothing, after a message that
// begins with `name`, for a file that is not one, holds another kind of data, or is damaged, and
// nothing without one when the user declines the size.
std::optional<DataMatrix> readX3p(RunHost& host, std::FILE* file, const std::string& name);
