#pragma once

#include <pybind11/numpy.h>

#include <climits>
#include <new>
#include <string>
#include <vector>

// The engine's row table over a float64 NumPy array whose rows are each contiguous (C order, or
// a slice of columns of one): one pointer per row into the array's own buffer, so the data are
// not copied. The array must outlive the view.
class MatrixView {
  public:
    using Array = pybind11::array_t<double>;

    explicit MatrixView(const Array& array) {
        if (array.ndim() != 2) throw pybind11::value_error("data must be a 2-D array");
        if (array.shape(0) > INT_MAX || array.shape(1) > INT_MAX)
            throw pybind11::value_error("data has more rows or columns than can be counted");
        R_ = static_cast<int>(array.shape(0));
        C_ = static_cast<int>(array.shape(1));
        rows_.resize(static_cast<std::size_t>(R_));
        if (C_ > 1 && array.strides(1) != sizeof(double))
            throw pybind11::value_error("the values of each row must be contiguous");
        if (R_ > 1 && array.strides(0) < static_cast<pybind11::ssize_t>(sizeof(double)) * C_)
            throw pybind11::value_error("rows must follow one another without overlapping");
        const char* base = reinterpret_cast<const char*>(array.data());
        for (int i = 0; i < R_; ++i)
            rows_[static_cast<std::size_t>(i)] = reinterpret_cast<const double*>(
                base + static_cast<std::size_t>(i) * array.strides(0));
    }

    const double* const* rows() const { return rows_.data(); }
    int rowCount() const { return R_; }
    int columnCount() const { return C_; }

  private:
    std::vector<const double*> rows_;
    int R_ = 0, C_ = 0;
};
