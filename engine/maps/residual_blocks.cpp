#include "residual_blocks.h"

#include <algorithm>

#include "surface_calculator.h"
#include "window_geometry.h"

namespace {

// The cells with a residual: rows first ... first + count - 1 (and the same for columns).
struct Span {
    int first, count;
};

std::vector<double> cellsPerBlock(const TileSums& layout, const Span& rows, const Span& columns) {
    std::vector<double> perRow(static_cast<std::size_t>(layout.tileRows), 0.0);
    std::vector<double> perColumn(static_cast<std::size_t>(layout.tileColumns), 0.0);
    for (int i = rows.first; i < rows.first + rows.count; ++i)
        perRow[static_cast<std::size_t>(layout.rowTile[static_cast<std::size_t>(i)])] += 1.0;
    for (int j = columns.first; j < columns.first + columns.count; ++j)
        perColumn[static_cast<std::size_t>(layout.columnTile[static_cast<std::size_t>(j)])] += 1.0;
    std::vector<double> cells;
    cells.reserve(perRow.size() * perColumn.size());
    for (double r : perRow)
        for (double c : perColumn) cells.push_back(r * c);
    return cells;
}

double meanOf(const double* const* data, int R, int C) {
    long double total = 0.0L;
    for (int i = 0; i < R; ++i) {
        double row = 0.0;
        for (int j = 0; j < C; ++j) row += data[i][j];
        total += row;
    }
    return static_cast<double>(total / (static_cast<long double>(R) * C));
}

// The first cell of a line whose 1-D window of side s fits: windows run from the cell less
// s / 2 to s - 1 cells further.
int lead(int side) {
    return side / 2;
}

// Residuals of the windows along each row, for the rows of one block row at a time, so that
// every block's sum is made by one task in a fixed order.
void alongRows(const double* const* data, int C, int side, double mean, const TileSums& layout,
               int firstRow, int lastRow, std::vector<double>& sums) {
    const int a = lead(side);
    const double scale = 1.0 / side;
    for (int i = firstRow; i <= lastRow; ++i) {
        const double* row = data[i];
        double* blockRow =
            sums.data() + static_cast<std::size_t>(layout.rowTile[static_cast<std::size_t>(i)]) *
                              layout.tileColumns;
        double window = 0.0;
        for (int c = 0; c < side; ++c) window += row[c] - mean;
        for (int j = a; j <= C - side + a; ++j) {
            if (j > a) window += row[j - a + side - 1] - row[j - a - 1];
            const double difference = window * scale - (row[j] - mean);
            blockRow[layout.columnTile[static_cast<std::size_t>(j)]] += difference * difference;
        }
    }
}

// The same down the columns: the column sums of the first row's windows, then slid down a row
// at a time.
void alongColumns(const double* const* data, int R, int C, int side, double mean,
                  const TileSums& layout, int firstRow, int lastRow, std::vector<double>& sums) {
    const int a = lead(side);
    const double scale = 1.0 / side;
    const int first = std::max(firstRow, a), last = std::min(lastRow, R - side + a);
    if (first > last) return;
    std::vector<double> window(static_cast<std::size_t>(C), 0.0);
    for (int r = first - a; r < first - a + side; ++r)
        for (int j = 0; j < C; ++j) window[static_cast<std::size_t>(j)] += data[r][j] - mean;
    for (int i = first; i <= last; ++i) {
        if (i > first)
            for (int j = 0; j < C; ++j)
                window[static_cast<std::size_t>(j)] +=
                    data[i - a + side - 1][j] - data[i - a - 1][j];
        double* blockRow =
            sums.data() + static_cast<std::size_t>(layout.rowTile[static_cast<std::size_t>(i)]) *
                              layout.tileColumns;
        for (int j = 0; j < C; ++j) {
            const double difference =
                window[static_cast<std::size_t>(j)] * scale - (data[i][j] - mean);
            blockRow[layout.columnTile[static_cast<std::size_t>(j)]] += difference * difference;
        }
    }
}

// The rows of each block row: first and last.
std::vector<Span> blockRowSpans(const TileSums& layout) {
    std::vector<Span> spans(static_cast<std::size_t>(layout.tileRows), Span{0, 0});
    const int R = static_cast<int>(layout.rowTile.size());
    for (int i = R - 1; i >= 0; --i) {
        Span& span = spans[static_cast<std::size_t>(layout.rowTile[static_cast<std::size_t>(i)])];
        span.first = i;
        ++span.count;
    }
    return spans;
}

}  // namespace

std::vector<SideBlocks> residualBlocks(const double* const* data, int R, int C,
                                       const TileSums& layout, const std::vector<int>& sides,
                                       WindowAxis axis, const ScalingCompute& compute) {
    std::vector<SideBlocks> result;
    ComputeOptions options;
    options.threads = compute.threads;
    options.cancel = compute.cancel;
    options.method = SurfaceMethod::kFast;
    SurfaceCalculator calculator(options);
    const std::size_t blocks = static_cast<std::size_t>(layout.tileRows) * layout.tileColumns;

    if (axis == WindowAxis::kSquare) {
        FastCentre centre(calculator.pool(), data, R, C);
        TileSums tiles = layout;
        ComputedRegion written = emptyRegion();
        for (int side : sides) {
            throwIfCancelled(compute.cancel);
            const WindowGeometry geometry = windowGeometry(side * side, 0.5, 0.5);
            calculator.computeFast(nullptr, written, data, R, C, geometry, centre, &tiles);
            // The fast method's residual block: R - s rows and C - s columns.
            const Span rows{side - geometry.rowOffset - 1, R - side};
            const Span columns{side - geometry.columnOffset - 1, C - side};
            result.push_back({side, tiles.sums, cellsPerBlock(layout, rows, columns)});
        }
        return result;
    }

    const double mean = meanOf(data, R, C);
    const std::vector<Span> spans = blockRowSpans(layout);
    for (int side : sides) {
        throwIfCancelled(compute.cancel);
        SideBlocks part{side, std::vector<double>(blocks, 0.0), {}};
        calculator.pool().run(layout.tileRows, [&](int p) {
            const Span& span = spans[static_cast<std::size_t>(p)];
            if (span.count == 0) return;
            const int last = span.first + span.count - 1;
            if (axis == WindowAxis::kAlongRows)
                alongRows(data, C, side, mean, layout, span.first, last, part.sums);
            else
                alongColumns(data, R, C, side, mean, layout, span.first, last, part.sums);
        });
        const Span along{lead(side), std::max(0, C - side + 1)};
        const Span down{lead(side), std::max(0, R - side + 1)};
        part.cells = axis == WindowAxis::kAlongRows ? cellsPerBlock(layout, {0, R}, along)
                                                    : cellsPerBlock(layout, down, {0, C});
        result.push_back(std::move(part));
    }
    return result;
}
