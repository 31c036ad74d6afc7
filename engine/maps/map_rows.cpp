#include "map_rows.h"

#include <algorithm>
#include <cmath>
#include <limits>

void MapRows::copyRow(const double* from, double* to) const {
    if (!filling_) {
        std::copy(from, from + C_, to);
        return;
    }
    for (int j = 0; j < C_; ++j) to[j] = std::isfinite(from[j]) ? from[j] : fill_;
}

const double* const* MatrixRows::band(int first, int last) {
    if (!filling_) return data_;
    const std::size_t C = static_cast<std::size_t>(C_);
    copy_.resize(static_cast<std::size_t>(last - first + 1) * C);
    table_.assign(static_cast<std::size_t>(R_), nullptr);
    for (int i = first; i <= last; ++i) {
        double* row = copy_.data() + static_cast<std::size_t>(i - first) * C;
        copyRow(data_[i], row);
        table_[static_cast<std::size_t>(i)] = row;
    }
    return table_.data();
}

StreamedRows::StreamedRows(int R, int C)
    : MapRows(R, C),
      missing_(static_cast<std::size_t>(C), std::numeric_limits<double>::quiet_NaN()) {}

const double* const* StreamedRows::band(int first, int last) {
    const std::size_t C = static_cast<std::size_t>(C_);
    const int count = last - first + 1;
    // A larger band replaces the one before rather than growing it, so that the two are never
    // held together.
    const std::size_t size = static_cast<std::size_t>(count) * C;
    if (size > buffer_.capacity()) std::vector<double>().swap(buffer_);
    buffer_.resize(size);
    readRows(first, count, buffer_.data());
    table_.assign(static_cast<std::size_t>(R_), missing_.data());
    for (int i = first; i <= last; ++i) {
        double* row = buffer_.data() + static_cast<std::size_t>(i - first) * C;
        if (filling_) copyRow(row, row);
        table_[static_cast<std::size_t>(i)] = row;
    }
    return table_.data();
}
