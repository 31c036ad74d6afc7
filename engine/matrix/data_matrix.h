#pragma once

#include <new>
#include <string>

// A matrix of R rows by C columns of double, held as a row table of R separately allocated
// rows. The table carries no size: R and C travel beside it, and every operation takes the
// table and both counts. A null table means "no storage", which differs from a table of no rows.
using RowTable = double**;

// What the file says about the grid's geometry and units; zeros and empty texts where it says
// nothing (a text matrix, CSV or .npy never does).
struct SurfaceUnits {
    double pixelWidth = 0.0;   // the spacing of columns, in lateralUnit
    double pixelHeight = 0.0;  // the spacing of rows, in lateralUnit
    std::string lateralUnit;   // "m", "metre", "degree", ...
    std::string valueUnit;     // the unit of the values (GSF's ZUnits, a band's unit type)
    // Said about the grid on the way, such as a geographic raster's cells that are not square
    // on the ground; shown by the front end beside its results.
    std::string note;
    // Where a raster has them: its geotransform (GDAL's six coefficients) and its coordinate
    // system as WKT, so that what is made from it can be placed the same way.
    bool hasGeoTransform = false;
    double geoTransform[6] = {0.0, 1.0, 0.0, 0.0, 0.0, 1.0};
    std::string crsWkt;
    bool hasPixelSize() const { return pixelWidth > 0.0 && pixelHeight > 0.0; }
};

// The one owner of a loaded matrix: its rows and columns, its storage (a row table of
// separately allocated rows, which the kernels read as `const double* const*`) and what the file
// said about its pixels. Move-only: the storage is released exactly once, by whoever holds it
// last, on every way out; a moved-from matrix has no storage and no rows.
class DataMatrix {
  public:
    DataMatrix() = default;
    // A zeroed R x C matrix. Throws std::bad_alloc (MatrixTooLarge when the size is out of reach).
    DataMatrix(int R, int C);
    ~DataMatrix();
    DataMatrix(DataMatrix&& other) noexcept;
    DataMatrix& operator=(DataMatrix&& other) noexcept;
    DataMatrix(const DataMatrix&) = delete;
    DataMatrix& operator=(const DataMatrix&) = delete;

    int rowCount() const { return rowCount_; }
    int columnCount() const { return columnCount_; }
    // False for a default or moved-from matrix; a 0 x 0 matrix that was allocated has storage.
    bool hasStorage() const { return rows_ != nullptr; }
    double* const* rows() { return rows_; }
    const double* const* rows() const { return rows_; }
    double* operator[](int i) { return rows_[i]; }
    const double* operator[](int i) const { return rows_[i]; }

    // Keeps only the block of `rows` x `columns` cells from (top, left), in place: its rows move
    // to the table's start, its values to each row's start, the other rows are released.
    void keepBlock(int top, int left, int rows, int columns);
    // Releases row i now, for a caller that copies the matrix out row by row and would hold it
    // about once; the row must not be read again.
    void releaseRow(int i);

    SurfaceUnits units;

  private:
    RowTable rows_ = nullptr;
    int rowCount_ = 0;
    int columnCount_ = 0;
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
void zeroMatrix(double* const* rows, int R, int C);
// Releases rows 0 ... R-1, then the table; nothing when there is no storage. The caller's
// reference is left as it was.
void freeMatrix(RowTable rows, int R, int C);
void normaliseMatrix(DataMatrix& matrix);
// Rescales every value in place to [-1, 1]: x = ((x - lo) / (hi - lo)) * 2 - 1, with the bounds
// starting at +-2147483647. When hi == lo every value becomes 0.0 rather than not-a-number.
void normaliseMatrix(double* const* rows, int R, int C);
