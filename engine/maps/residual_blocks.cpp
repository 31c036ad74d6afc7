#include "residual_blocks.h"

#include <algorithm>

#include "window_geometry.h"
#include "worker_pool.h"

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
                  const TileSums& layout, int firstRow, int lastRow, double* window,
                  std::vector<double>& sums) {
    const int a = lead(side);
    const double scale = 1.0 / side;
    const int first = std::max(firstRow, a), last = std::min(lastRow, R - side + a);
    if (first > last) return;
    std::fill(window, window + C, 0.0);
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

double centreOf(const double* const* data, int R, int C) {
    long double total = 0.0L;
    for (int i = 0; i < R; ++i) {
        double row = 0.0;
        for (int j = 0; j < C; ++j) row += data[i][j];
        total += row;
    }
    return static_cast<double>(total / (static_cast<long double>(R) * C));
}

std::vector<RowUnit> residualUnits(const TileSums& layout) {
    std::vector<RowUnit> units;
    for (const Span& span : blockRowSpans(layout)) {
        if (span.count == 0) continue;
        const int last = span.first + span.count - 1;
        if (!units.empty() && units.back().last - units.back().first + 1 < kUnitRows)
            units.back().last = last;
        else
            units.push_back({span.first, last});
    }
    return units;
}

int unitHalo(const std::vector<int>& sides) {
    int halo = 0;
    for (int side : sides) halo = std::max(halo, side / 2);
    return halo;
}

void unitResiduals(const double* const* data, int R, int C, const TileSums& layout, int side,
                   WindowAxis axis, double mean, const RowUnit& unit, double* scratch,
                   std::vector<double>& sums) {
    if (axis == WindowAxis::kSquare) {
        const WindowGeometry geometry = windowGeometry(side * side, 0.5, 0.5);
        const ComputedRegion region = computedRegion(geometry, R, C);
        const int first = std::max(unit.first, region.firstRow);
        const int last = std::min(unit.last, region.lastRow);
        if (region.empty() || first > last) return;
        const FastCentre centre(mean, C);
        // The stripe reads the layout only; its sums go to `sums`.
        const FastJob job{data,     nullptr, R,      C,
                          geometry, region,  centre, const_cast<TileSums*>(&layout)};
        fastStripeTiles(job, first, last, scratch, sums.data());
        return;
    }
    // Each block row on its own, as residualBlocks takes them.
    for (int first = unit.first; first <= unit.last;) {
        const int block = layout.rowTile[static_cast<std::size_t>(first)];
        int last = first;
        while (last < unit.last && layout.rowTile[static_cast<std::size_t>(last + 1)] == block)
            ++last;
        if (axis == WindowAxis::kAlongRows)
            alongRows(data, C, side, mean, layout, first, last, sums);
        else
            alongColumns(data, R, C, side, mean, layout, first, last, scratch, sums);
        first = last + 1;
    }
}

std::vector<double> residualCells(const TileSums& layout, int R, int C, int side, WindowAxis axis) {
    if (axis == WindowAxis::kSquare) {
        const WindowGeometry geometry = windowGeometry(side * side, 0.5, 0.5);
        // The fast method's residual block: R - s rows and C - s columns.
        return cellsPerBlock(layout, {side - geometry.rowOffset - 1, std::max(0, R - side)},
                             {side - geometry.columnOffset - 1, std::max(0, C - side)});
    }
    const Span along{lead(side), std::max(0, C - side + 1)};
    const Span down{lead(side), std::max(0, R - side + 1)};
    return axis == WindowAxis::kAlongRows ? cellsPerBlock(layout, {0, R}, along)
                                          : cellsPerBlock(layout, down, {0, C});
}

std::vector<SideBlocks> residualBlocks(const double* const* data, int R, int C,
                                       const TileSums& layout, const std::vector<int>& sides,
                                       WindowAxis axis, const ScalingCompute& compute) {
    WorkerPool pool(compute.threads);
    pool.setCancelToken(compute.cancel);
    const double mean = centreOf(data, R, C);
    // Units for the square window, whose column sums are best started seldom; block rows for
    // the others, which start afresh at each anyway and are then spread over more threads.
    std::vector<RowUnit> units;
    if (axis == WindowAxis::kSquare) {
        units = residualUnits(layout);
    } else {
        for (const Span& span : blockRowSpans(layout))
            if (span.count > 0) units.push_back({span.first, span.first + span.count - 1});
    }
    const std::size_t blocks = static_cast<std::size_t>(layout.tileRows) * layout.tileColumns;
    std::vector<double> scratch(static_cast<std::size_t>(C) * 4 * pool.threadCount());
    std::vector<SideBlocks> result;
    for (int side : sides) {
        throwIfCancelled(compute.cancel);
        SideBlocks part{side, std::vector<double>(blocks, 0.0),
                        residualCells(layout, R, C, side, axis)};
        pool.run(static_cast<int>(units.size()), [&](int u, int thread) {
            unitResiduals(data, R, C, layout, side, axis, mean, units[static_cast<std::size_t>(u)],
                          scratch.data() + static_cast<std::size_t>(thread) * 4 * C, part.sums);
        });
        result.push_back(std::move(part));
    }
    return result;
}
