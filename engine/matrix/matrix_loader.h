#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "data_matrix.h"
#include "run_host.h"

// Loads the data matrix file at `path` in two passes. The counting pass finds R and C and checks
// that every data line holds C values; then the size is shown through the host and the user is
// asked whether to go on; only then is storage allocated and the reading pass converts the
// values. Every value must read whole as strtod reads it in the "C" locale.
//
// Returns the matrix, or nothing when the file cannot be opened (nothing shown), a row has the
// wrong number of values, the user answers No, or a value does not convert. The wait cursor is
// shown for the whole load, ended on every way out. Throws std::bad_alloc when the matrix does
// not fit in memory, and RunCancelled when the host's cancel token asks to stop between blocks
// of the file; either way nothing is held. The values are converted on `threads` threads (0: one
// per core); the result does not depend on how many. The first `skipBytes` bytes (a header of
// comment lines) are left out. With `comments`, text from a '#' to its line's end is a comment,
// read as blanks (comment_blanking.h); without, a '#' is part of a value, which then does not
// convert.
std::optional<DataMatrix> loadDataMatrix(RunHost& host, std::string path, int threads = 0,
                                         std::size_t skipBytes = 0, bool comments = false);

// The two passes of loadDataMatrix over a file already open (fmemopen in the fuzzer), read in
// blocks of blockSize bytes, so that values split across blocks can be tested with small ones.
// The caller keeps the wait cursor and closes the file.
std::optional<DataMatrix> loadDataMatrixFrom(RunHost& host, std::FILE* file,
                                             std::size_t blockSize = 1u << 20, int threads = 0,
                                             bool comments = false);

// The data-size label's text for R rows and C columns.
std::string dataSizeText(int R, int C);
