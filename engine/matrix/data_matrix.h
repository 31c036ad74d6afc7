#pragma once

#include <new>
#include <string>

// A matrix of R rows by C columns of double, held as a row table of R separately allocated
// rows. The table carries no size: R and C travel beside it, and every operation takes the
// table and both counts. A null table means "no storage", which differs from a table of no rows.
using RowTable = double**;

// A row table with its counts, as the run holds it.
struct DataMatrix {
    RowTable rows = nullptr;
    int rowCount = 0;
    int columnCount = 0;
};

// Thrown instead of allocating a matrix that cannot fit in the memory this machine has left;
// an allocation that would only succeed on paper (overcommitted memory) would end the program
// later with no message at all.
class MatrixTooLarge : public std::bad_alloc {
  public:
    MatrixTooLarge(int rows, int columns);
    const char* what() const noexcept override { return message_.c_str(); }

  private:
    std::string message_;
};

// Allocates a zeroed matrix of R x C unless `rows` already holds storage, in which case
// nothing at all happens. Throws std::bad_alloc (MatrixTooLarge when the size is out of reach).
void allocateMatrix(RowTable& rows, int R, int C);
// Sets every value to 0.0; nothing when there is no storage.
void zeroMatrix(RowTable rows, int R, int C);
// Releases rows 0 ... R-1, then the table; nothing when there is no storage. The caller's
// reference is left as it was.
void freeMatrix(RowTable rows, int R, int C);
// Rescales every value in place to [-1, 1]: x = ((x - lo) / (hi - lo)) * 2 - 1, with the bounds
// starting at +-2147483647. When hi == lo every value becomes 0.0 rather than not-a-number.
void normaliseMatrix(RowTable rows, int R, int C);
