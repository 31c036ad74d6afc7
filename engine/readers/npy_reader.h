#pragma once

#include <cstdio>
#include <string>

#include "data_matrix.h"
#include "run_host.h"

// Reads a NumPy .npy file (versions 1 to 3) open at its start: a 2-D array of float32, float64,
// integers or bools, in either byte order, C or Fortran order, one row (or column) at a time.
// The header is checked against the bytes the file holds before the size question is asked.
// False, after a message that begins with `name`, for anything else; false without one when the
// user declines the size. NaN values arrive as NaN: the caller deals with missing values.
bool readNpy(RunHost& host, std::FILE* file, const std::string& name, RowTable& rows, int& R,
             int& C);
