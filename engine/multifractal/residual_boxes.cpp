#include "residual_boxes.h"

#include <cmath>

namespace {

ComputeOptions fastOptions(int threads) {
    ComputeOptions options;
    options.threads = threads;
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
                             double nShift, double mShift, int threads)
    : data_(data),
      R_(R),
      C_(C),
      kind_(kind),
      nShift_(nShift),
      mShift_(mShift),
      calculator_(fastOptions(threads)),
      written_(emptyRegion()) {
    if (kind == ResidualKind::kSurface) {
        centre_ = std::make_unique<FastCentre>(calculator_.pool(), data, R, C);
        allocateMatrix(means_, R, C);
        return;
    }
    long double total = 0.0L;
    for (int i = 0; i < R; ++i)
        for (int j = 0; j < C; ++j) total += data[i][j];
    mean_ = static_cast<double>(total / (static_cast<long double>(R) * C));
    const std::size_t width = static_cast<std::size_t>(C) + 1;
    const std::size_t cells = (static_cast<std::size_t>(R) + 1) * width;
    sum_.assign(cells, 0.0L);
    rowWeighted_.assign(cells, 0.0L);
    columnWeighted_.assign(cells, 0.0L);
    bothWeighted_.assign(cells, 0.0L);
    for (int i = 0; i < R; ++i) {
        long double s = 0, si = 0, sj = 0, sij = 0;
        for (int j = 0; j < C; ++j) {
            const long double y = static_cast<long double>(data[i][j]) - mean_;
            s += y;
            si += y * i;
            sj += y * j;
            sij += y * i * j;
            const std::size_t at = (static_cast<std::size_t>(i) + 1) * width + j + 1;
            sum_[at] = sum_[at - width] + s;
            rowWeighted_[at] = rowWeighted_[at - width] + si;
            columnWeighted_[at] = columnWeighted_[at - width] + sj;
            bothWeighted_[at] = bothWeighted_[at - width] + sij;
        }
    }
}

ResidualBoxes::~ResidualBoxes() {
    freeMatrix(means_, R_, C_);
}

SideBoxes ResidualBoxes::boxesOf(int side) {
    const WindowGeometry geometry = windowGeometry(side * side, nShift_, mShift_);
    SideBoxes boxes = boxGrid(geometry, R_, C_);
    if (boxes.meanSquares.empty()) return boxes;
    if (kind_ == ResidualKind::kSurface)
        surfaceBoxes(geometry, boxes);
    else
        measureBoxes(geometry, boxes);
    return boxes;
}

void ResidualBoxes::surfaceBoxes(const WindowGeometry& geometry, SideBoxes& boxes) {
    calculator_.computeFast(means_, written_, data_, R_, C_, geometry, *centre_);
    const double* const* data = data_;
    const double* const* means = means_;
    auto residual = [data, means](int i, int j) { return data[i][j] - means[i][j]; };
    calculator_.pool().run(boxes.boxRows, [&](int a) { sumBoxRow(boxes, a, residual); });
}

void ResidualBoxes::measureBoxes(const WindowGeometry& geometry, SideBoxes& boxes) {
    const int n = geometry.side, F = geometry.rowOffset, G = geometry.columnOffset;
    const std::size_t width = static_cast<std::size_t>(C_) + 1;
    // The sum of table t over rows r0 ... r1 and columns c0 ... c1.
    auto rectangle = [width](const std::vector<long double>& t, int r0, int r1, int c0, int c1) {
        const std::size_t top = static_cast<std::size_t>(r0) * width,
                          bottom = (static_cast<std::size_t>(r1) + 1) * width;
        return t[bottom + c1 + 1] - t[bottom + c0] - t[top + c1 + 1] + t[top + c0];
    };
    // The mean's part, in closed form: x = m everywhere gives u_W(i, j) = m (n - F)(n - G) and a
    // mean over W of m ((n + 1) / 2)^2.
    const double half = (n + 1) / 2.0;
    const double constant = mean_ * (static_cast<double>(n - F) * (n - G) - half * half);
    const long double cells = static_cast<long double>(n) * n;
    auto residual = [&](int i, int j) {
        const int r0 = i + F - n + 1, r1 = i + F, c0 = j + G - n + 1, c1 = j + G;
        const long double profile = rectangle(sum_, r0, i, c0, j);
        // sum over W of u_W(k, l) = sum over W of y(a, b) (r1 + 1 - a)(c1 + 1 - b)
        const long double R1 = r1 + 1, C1 = c1 + 1;
        const long double weighted = R1 * C1 * rectangle(sum_, r0, r1, c0, c1) -
                                     R1 * rectangle(columnWeighted_, r0, r1, c0, c1) -
                                     C1 * rectangle(rowWeighted_, r0, r1, c0, c1) +
                                     rectangle(bothWeighted_, r0, r1, c0, c1);
        return static_cast<double>(profile - weighted / cells) + constant;
    };
    calculator_.pool().run(boxes.boxRows, [&](int a) { sumBoxRow(boxes, a, residual); });
}
