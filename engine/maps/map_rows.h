#pragma once

#include <vector>

// Where a map reads its surface: a matrix held whole in memory, or a file read a band of rows at
// a time. Either way the map sees a table of row pointers indexed by the surface's own row
// numbers, so that its arithmetic does not depend on which rows are in memory.
class MapRows {
  public:
    MapRows(int R, int C) : R_(R), C_(C) {}
    virtual ~MapRows() = default;
    MapRows(const MapRows&) = delete;
    MapRows& operator=(const MapRows&) = delete;

    int rowCount() const { return R_; }
    int columnCount() const { return C_; }

    // From now on the rows come with their missing (not finite) values replaced by `value`.
    void fillMissingWith(double value) {
        filling_ = true;
        fill_ = value;
    }

    // Makes rows first ... last (inclusive, within the surface) readable: the table's entry i
    // is row i for those rows, until the next call. Throws when the rows cannot be read.
    virtual const double* const* band(int first, int last) = 0;

  protected:
    // Copies C values replacing the missing ones when filling.
    void copyRow(const double* from, double* to) const;

    int R_, C_;
    bool filling_ = false;
    double fill_ = 0.0;
};

// A matrix in memory; rows are copied only when missing values are to be filled.
class MatrixRows : public MapRows {
  public:
    MatrixRows(const double* const* data, int R, int C) : MapRows(R, C), data_(data) {}
    const double* const* band(int first, int last) override;

  private:
    const double* const* data_;
    std::vector<double> copy_;
    std::vector<const double*> table_;
};

// A surface read a band at a time through readRows: the band's rows are held, and every other
// entry of the table is a row of not-a-number, so that a window reaching past what was read
// spoils its tile's value for all to see instead of reading stale memory.
class StreamedRows : public MapRows {
  public:
    StreamedRows(int R, int C);
    const double* const* band(int first, int last) override;

  protected:
    // Rows first ... first + count - 1 into `out`, C doubles each; missing values not finite.
    // Throws when they cannot be read.
    virtual void readRows(int first, int count, double* out) = 0;

  private:
    std::vector<double> buffer_, missing_;
    std::vector<const double*> table_;
};
