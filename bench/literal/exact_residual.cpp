#include "exact_residual.h"

#include <cmath>
#include <vector>

namespace {

__extension__ typedef __int128 Fixed;

// Power of two that turns every value, and every sum of s * s of them, into an integer that
// fits in 126 bits.
int fixedPointBits(const LiteralMatrix* data, int s) {
    double largest = 0.0;
    for (int i = 0; i < data->R; ++i)
        for (int j = 0; j < data->C; ++j) largest = std::fmax(largest, std::fabs(data->rows[i][j]));
    int exponent = 0;
    std::frexp(largest, &exponent);  // largest < 2^exponent
    int cells = 0;
    std::frexp(static_cast<double>(s) * s, &cells);
    return 124 - exponent - cells;
}

}  // namespace

long double exactResidual(const LiteralMatrix* data, int s, int F, int G) {
    const int R = data->R, C = data->C;
    const int blockRows = R - s, blockColumns = C - s;
    if (s < 1 || blockRows <= 0 || blockColumns <= 0) return 0.0L;
    const int bits = fixedPointBits(data, s);
    const long double scale = std::ldexp(1.0L, bits);
    auto fixed = [&](double x) {
        return static_cast<Fixed>(std::ldexp(static_cast<long double>(x), bits));
    };

    const int top = s - F - 1, left = s - G - 1;
    std::vector<Fixed> columnSums(static_cast<std::size_t>(C), 0);
    // Window of cell (i, j): rows i+F-s+1 ... i+F, columns j+G-s+1 ... j+G.
    for (int r = top + F - s + 1; r <= top + F; ++r)
        for (int c = 0; c < C; ++c)
            columnSums[static_cast<std::size_t>(c)] += fixed(data->rows[r][c]);
    long double total = 0.0L;
    for (int i = top; i < top + blockRows; ++i) {
        if (i > top)
            for (int c = 0; c < C; ++c)
                columnSums[static_cast<std::size_t>(c)] +=
                    fixed(data->rows[i + F][c]) - fixed(data->rows[i + F - s][c]);
        Fixed window = 0;
        for (int c = left + G - s + 1; c <= left + G; ++c)
            window += columnSums[static_cast<std::size_t>(c)];
        long double row = 0.0L;
        for (int j = left; j < left + blockColumns; ++j) {
            if (j > left)
                window += columnSums[static_cast<std::size_t>(j + G)] -
                          columnSums[static_cast<std::size_t>(j + G - s)];
            const long double mean =
                static_cast<long double>(window) / scale / (static_cast<long double>(s) * s);
            const long double difference = mean - data->rows[i][j];
            row += difference * difference;
        }
        total += row;
    }
    return total;
}
