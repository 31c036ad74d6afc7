#include "data_matrix.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "system.h"

MatrixTooLarge::MatrixTooLarge(int rows, int columns)
    : message_("Not enough memory for a matrix of " + std::to_string(rows) + " rows and " +
               std::to_string(columns) + " columns") {}

DataMatrix::DataMatrix(int R, int C) {
    allocateMatrix(rows_, R, C);
    rowCount_ = R;
    columnCount_ = C;
}

DataMatrix::~DataMatrix() {
    freeMatrix(rows_, rowCount_, columnCount_);
}

DataMatrix::DataMatrix(DataMatrix&& other) noexcept
    : units(std::move(other.units)),
      rows_(std::exchange(other.rows_, nullptr)),
      rowCount_(std::exchange(other.rowCount_, 0)),
      columnCount_(std::exchange(other.columnCount_, 0)) {}

DataMatrix& DataMatrix::operator=(DataMatrix&& other) noexcept {
    if (this != &other) {
        freeMatrix(rows_, rowCount_, columnCount_);
        units = std::move(other.units);
        rows_ = std::exchange(other.rows_, nullptr);
        rowCount_ = std::exchange(other.rowCount_, 0);
        columnCount_ = std::exchange(other.columnCount_, 0);
    }
    return *this;
}

void DataMatrix::keepBlock(int top, int left, int rows, int columns) {
    for (int i = 0; i < rowCount_; ++i)
        if (i < top || i >= top + rows) delete[] rows_[i];
    for (int k = 0; k < rows; ++k) {
        double* row = rows_[top + k];
        std::memmove(row, row + left, sizeof(double) * static_cast<std::size_t>(columns));
        rows_[k] = row;
    }
    rowCount_ = rows;
    columnCount_ = columns;
}

void DataMatrix::releaseRow(int i) {
    delete[] std::exchange(rows_[i], nullptr);
}

void normaliseMatrix(DataMatrix& matrix) {
    normaliseMatrix(matrix.rows(), matrix.rowCount(), matrix.columnCount());
}

void allocateMatrix(RowTable& rows, int R, int C) {
    if (rows) return;
    if (R < 0 || C < 0) throw MatrixTooLarge(R, C);
    // Counted in doubles, not bytes: R * (C + 1) stays below 2^62, while its byte count can wrap
    // past 2^64 (2^30 rows of 2^31 - 1 columns would come to 0 bytes).
    unsigned long long cells = static_cast<unsigned long long>(R) * (C + 1ull);
    unsigned long long available = availableMemoryBytes();
    if (available != 0 && cells > available / sizeof(double)) throw MatrixTooLarge(R, C);

    RowTable table = new double*[static_cast<std::size_t>(R)];
    int made = 0;
    try {
        for (; made < R; ++made) table[made] = new double[static_cast<std::size_t>(C)]();
    } catch (...) {
        freeMatrix(table, made, C);
        throw;
    }
    rows = table;
}

void zeroMatrix(double* const* rows, int R, int C) {
    if (!rows) return;
    for (int i = 0; i < R; ++i) std::fill(rows[i], rows[i] + C, 0.0);
}

void freeMatrix(RowTable rows, int R, int /*C*/) {
    if (!rows) return;
    for (int i = 0; i < R; ++i) delete[] rows[i];
    delete[] rows;
}

void normaliseMatrix(double* const* rows, int R, int C) {
    if (R <= 0 || C <= 0) return;
    double lo = 2147483647.0;
    double hi = -2147483647.0;
    for (int i = 0; i < R; ++i) {
        for (int j = 0; j < C; ++j) {
            double x = rows[i][j];
            if (x > hi) hi = x;
            if (x < lo) lo = x;
        }
    }
    // All values equal within the bounds: hi - lo is 0 and the division would give
    // not-a-number everywhere; a flat surface is flat at 0 instead.
    if (hi - lo == 0.0) {
        zeroMatrix(rows, R, C);
        return;
    }
    for (int i = 0; i < R; ++i)
        for (int j = 0; j < C; ++j) rows[i][j] = ((rows[i][j] - lo) / (hi - lo)) * 2 - 1;
}
