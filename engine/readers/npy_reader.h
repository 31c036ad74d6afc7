#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "data_matrix.h"
#include "run_host.h"

// Reads a NumPy .npy file (versions 1 to 3) open at its start: a 2-D array of float32, float64,
// integers or bools, in either byte order, C or Fortran order, one row (or column) at a time.
// The header is checked against the bytes the file holds before the size question is asked.
// The matrix; nothing, after a message that begins with `name`, for anything else, and without
// one when the user declines the size. NaN values arrive as NaN: the caller deals with them.
std::optional<DataMatrix> readNpy(RunHost& host, std::FILE* file, const std::string& name);
