#include "residual_boxes.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "measure_boxes.h"

namespace {

ComputeOptions fastOptions(int threads, SimdLevel simdLimit) {
    ComputeOptions options;
    options.threads = threads;
    options.simdLimit = simdLimit;
    options.method = SurfaceMethod::kFast;
    return options;
}

// The n x n box grid of the residual block of `geometry`.
SideBoxes boxGrid(const WindowGeometry& geometry, int R, int C) {
    SideBoxes boxes;
    const int n = geometry.side;
    boxes.side = n;
    boxes.firstRow = n - geometry.rowOffset - 1;
    boxes.firstColumn = n - geometry.columnOffset - 1;
    if (n >= 1 && n < R && n < C) {
        boxes.boxRows = R / n - 1;
        boxes.boxColumns = C / n - 1;
    }
    boxes.meanSquares.assign(static_cast<std::size_t>(boxes.boxRows) * boxes.boxColumns, 0.0);
    return boxes;
}

// Sums the residuals' squares of box row `a`: `residual(i, j)` for the cells of every box.
template <class Residual>
void sumBoxRow(SideBoxes& boxes, int a, const Residual& residual) {
    const int n = boxes.side;
    double* out = boxes.meanSquares.data() + static_cast<std::size_t>(a) * boxes.boxColumns;
    std::vector<double> sums(static_cast<std::size_t>(boxes.boxColumns), 0.0);
    for (int i = boxes.firstRow + a * n; i < boxes.firstRow + (a + 1) * n; ++i)
        for (int b = 0; b < boxes.boxColumns; ++b) {
            double sum = 0.0;
            const int first = boxes.firstColumn + b * n;
            for (int j = first; j < first + n; ++j) {
                const double e = residual(i, j);
                sum += e * e;
            }
            sums[static_cast<std::size_t>(b)] += sum;
        }
    const double cells = static_cast<double>(n) * n;
    for (int b = 0; b < boxes.boxColumns; ++b) out[b] = sums[static_cast<std::size_t>(b)] / cells;
}

}  // namespace

ResidualBoxes::ResidualBoxes(const double* const* data, int R, int C, ResidualKind kind,
                             double nShift, double mShift, int threads, SimdLevel simdLimit)
    : data_(data),
      R_(R),
      C_(C),
      kind_(kind),
      nShift_(nShift),
      mShift_(mShift),
      calculator_(fastOptions(threads, simdLimit)),
      written_(emptyRegion()) {
    if (kind == ResidualKind::kSurface) {
        centre_ = std::make_unique<FastCentre>(calculator_.pool(), data, R, C);
        allocateMatrix(means_, R, C);
    }
}

ResidualBoxes::~ResidualBoxes() {
    freeMatrix(means_, R_, C_);
}

SideBoxes ResidualBoxes::boxesOf(int side) {
    return std::move(boxesOf(std::vector<int>{side}).front());
}

std::vector<SideBoxes> ResidualBoxes::boxesOf(const std::vector<int>& sides) {
    std::vector<WindowGeometry> geometries;
    std::vector<SideBoxes> boxes;
    for (int side : sides) {
        geometries.push_back(windowGeometry(side * side, nShift_, mShift_));
        boxes.push_back(boxGrid(geometries.back(), R_, C_));
    }
    if (kind_ == ResidualKind::kMeasure) {
        measureBoxes(data_, geometries, calculator_.pool(), calculator_.simdLevel(), boxes);
        return boxes;
    }
    for (std::size_t k = 0; k < sides.size(); ++k)
        if (!boxes[k].meanSquares.empty()) surfaceBoxes(geometries[k], boxes[k]);
    return boxes;
}

void ResidualBoxes::surfaceBoxes(const WindowGeometry& geometry, SideBoxes& boxes) {
    calculator_.computeFast(means_, written_, data_, R_, C_, geometry, *centre_);
    const double* const* data = data_;
    const double* const* means = means_;
    auto residual = [data, means](int i, int j) { return data[i][j] - means[i][j]; };
    calculator_.pool().run(boxes.boxRows, [&](int a) { sumBoxRow(boxes, a, residual); });
}
