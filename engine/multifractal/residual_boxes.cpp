#include "residual_boxes.h"

#include <algorithm>
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
    // The windows of a box's cells cover (2n - 1) x (2n - 1) cells; those of kBoxesPerRegion
    // boxes side by side, 2n - 1 rows by (kBoxesPerRegion + 1) n - 1 columns, which shares the
    // tables' cost among them while keeping their sums local.
    constexpr int kBoxesPerRegion = 4;
    const int m = 2 * n - 1;
    const double cells = static_cast<double>(n) * n;
    const double* const* data = data_;
    calculator_.pool().run(boxes.boxRows, [&](int a) {
        // Over the region, in its own coordinates: S(t, u) = the mass of rows < t and columns
        // < u; Q(t, u) = the sum of S over 0 ... t and 0 ... u, kept at [t + 1][u + 1] with a
        // zero row and column in front, so that sums of S over any rectangle of it, the first
        // row and column included, are four terms of Q.
        const int widest = (kBoxesPerRegion + 1) * n - 1;
        const std::size_t sw = static_cast<std::size_t>(widest) + 1, qw = sw + 1;
        std::vector<double> S(static_cast<std::size_t>(m + 1) * sw, 0.0),
            Q(static_cast<std::size_t>(m + 2) * qw, 0.0);
        auto sOf = [&](int t, int u) { return S[static_cast<std::size_t>(t) * sw + u]; };
        auto sumOfS = [&](int t0, int t1, int u0, int u1) {
            const std::size_t top = static_cast<std::size_t>(t0) * qw,
                              bottom = (static_cast<std::size_t>(t1) + 1) * qw;
            return Q[bottom + u1 + 1] - Q[bottom + u0] - Q[top + u1 + 1] + Q[top + u0];
        };
        double* out = boxes.meanSquares.data() + static_cast<std::size_t>(a) * boxes.boxColumns;
        const int i0 = boxes.firstRow + a * n, top = i0 + F - n + 1;
        for (int b = 0; b < boxes.boxColumns; b += kBoxesPerRegion) {
            const int count = std::min(kBoxesPerRegion, boxes.boxColumns - b);
            const int width = (count + 1) * n - 1;
            const int left = boxes.firstColumn + b * n + G - n + 1;
            for (int r = 0; r < m; ++r) {
                const double* row = data[top + r] + left;
                double run = 0.0;
                for (int c = 0; c < width; ++c) {
                    run += row[c];
                    const std::size_t at = (static_cast<std::size_t>(r) + 1) * sw + c + 1;
                    S[at] = S[at - sw] + run;
                }
            }
            for (int t = 0; t <= m; ++t) {
                double run = 0.0;
                for (int u = 0; u <= width; ++u) {
                    run += S[static_cast<std::size_t>(t) * sw + u];
                    const std::size_t at = (static_cast<std::size_t>(t) + 1) * qw + u + 1;
                    Q[at] = Q[at - qw] + run;
                }
            }
            for (int k = 0; k < count; ++k) {
                const int j0 = boxes.firstColumn + (b + k) * n;
                double sum = 0.0;
                for (int i = i0; i < i0 + n; ++i)
                    for (int j = j0; j < j0 + n; ++j) {
                        // The window of (i, j) starts at (r0, c0) in the region, the cell at
                        // (li, lj).
                        const int li = i - top, lj = j - left;
                        const int r0 = li + F - n + 1, c0 = lj + G - n + 1;
                        const int r1 = r0 + n - 1, c1 = c0 + n - 1;
                        const double corner = sOf(r0, c0);
                        const double profile =
                            sOf(li + 1, lj + 1) - sOf(r0, lj + 1) - sOf(li + 1, c0) + corner;
                        // The sum over W of u_W(k, l) = S(k+1, l+1) - S(r0, l+1) - S(k+1, c0)
                        // + S(r0, c0).
                        const double total = sumOfS(r0 + 1, r1 + 1, c0 + 1, c1 + 1) -
                                             n * sumOfS(r0, r0, c0 + 1, c1 + 1) -
                                             n * sumOfS(r0 + 1, r1 + 1, c0, c0) + cells * corner;
                        const double e = profile - total / cells;
                        sum += e * e;
                    }
                out[b + k] = sum / cells;
            }
        }
    });
}
