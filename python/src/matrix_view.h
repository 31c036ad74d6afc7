#pragma once

#include <pybind11/numpy.h>

#include <climits>
#include <new>
#include <string>
#include <vector>

// The engine's row table over a C-contiguous float64 NumPy array: one pointer per row into the
// array's own buffer, so the data are not copied. The array must outlive the view.
class MatrixView {
  public:
    using Array = pybind11::array_t<double, pybind11::array::c_style>;

    explicit MatrixView(const Array& array) {
        if (array.ndim() != 2) throw pybind11::value_error("data must be a 2-D array");
        if (array.shape(0) > INT_MAX || array.shape(1) > INT_MAX)
            throw pybind11::value_error("data has more rows or columns than can be counted");
        R_ = static_cast<int>(array.shape(0));
        C_ = static_cast<int>(array.shape(1));
        rows_.resize(static_cast<std::size_t>(R_));
        const double* base = array.data();
        for (int i = 0; i < R_; ++i)
            rows_[static_cast<std::size_t>(i)] = base + static_cast<std::size_t>(i) * C_;
    }

    const double* const* rows() const { return rows_.data(); }
    int rowCount() const { return R_; }
    int columnCount() const { return C_; }

  private:
    std::vector<const double*> rows_;
    int R_ = 0, C_ = 0;
};
