#pragma once

#include <cstddef>
#include <cstdio>

#include "data_matrix.h"
#include "run_host.h"
#include "worker_pool.h"

// The reading pass of the data matrix loader: converts the first R x C values of the file, in
// file order, into rows[i][j] (value k to row k / C, column k % C), each value read whole as
// strtod reads it. The file is read from its current position in blocks of blockSize bytes and
// cut into chunks that end at white space, so that no value is split; the values of each chunk
// are counted as it is read, and batches of chunks are then converted on the pool's threads.
// At most a batch of chunks is held in memory at once. Values after the first R x C are not
// looked at.
//
// False, after telling the user which value is at fault (the first in file order), when a value
// does not convert or the file ends early; false without a message when reading the file fails
// after the values were all read. With `comments`, comments are blanks (comment_blanking.h).
bool readMatrixValues(RunHost& host, std::FILE* file, std::size_t blockSize, double* const* rows,
                      int R, int C, WorkerPool& pool, bool comments = false);
