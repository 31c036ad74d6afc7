#pragma once

#include <vector>

// The residuals of a multifractal analysis written as plainly as they are defined, loop by loop,
// for the tests to hold the engine's summed-area tables and box grid to.

using Grid = std::vector<std::vector<double>>;

// The window of cell (i, j) covers rows i+F-n+1 ... i+F and columns j+G-n+1 ... j+G.
inline double literalResidual(const Grid& x, int i, int j, int n, int F, int G, bool measure) {
    const int r0 = i + F - n + 1, c0 = j + G - n + 1;
    if (!measure) {
        double mean = 0.0;
        for (int a = r0; a < r0 + n; ++a)
            for (int b = c0; b < c0 + n; ++b) mean += x[a][b];
        return x[i][j] - mean / (n * n);
    }
    // u_W(k, l): the mass of W's rows r0 ... k and columns c0 ... l.
    auto profile = [&](int k, int l) {
        double sum = 0.0;
        for (int a = r0; a <= k; ++a)
            for (int b = c0; b <= l; ++b) sum += x[a][b];
        return sum;
    };
    double mean = 0.0;
    for (int k = r0; k < r0 + n; ++k)
        for (int l = c0; l < c0 + n; ++l) mean += profile(k, l);
    return profile(i, j) - mean / (n * n);
}

// Box (a, b)'s mean e^2: floor(R/n) - 1 by floor(C/n) - 1 boxes from the block's first cell
// (n - F - 1, n - G - 1), the first cell whose window lies inside the data.
inline std::vector<double> literalBoxes(const Grid& x, int n, int F, int G, bool measure) {
    const int R = static_cast<int>(x.size()), C = static_cast<int>(x[0].size());
    std::vector<double> boxes;
    for (int a = 0; a < R / n - 1; ++a)
        for (int b = 0; b < C / n - 1; ++b) {
            double sum = 0.0;
            for (int i = n - F - 1 + a * n; i < n - F - 1 + (a + 1) * n; ++i)
                for (int j = n - G - 1 + b * n; j < n - G - 1 + (b + 1) * n; ++j) {
                    const double e = literalResidual(x, i, j, n, F, G, measure);
                    sum += e * e;
                }
            boxes.push_back(sum / (n * n));
        }
    return boxes;
}

// Box (a, b)'s mean e^2 of the measure kind in long double, from the same definition rearranged:
// the mean over W of u_W is the sum of x(p, q) (r1 + 1 - p) (c1 + 1 - q) over W, divided by n^2,
// with (r1, c1) W's last cell. Its digits hold for boxes of any mass beside any other.
inline std::vector<long double> exactMeasureBoxes(const Grid& x, int n, int F, int G) {
    const int R = static_cast<int>(x.size()), C = static_cast<int>(x[0].size());
    std::vector<long double> boxes;
    for (int a = 0; a < R / n - 1; ++a)
        for (int b = 0; b < C / n - 1; ++b) {
            long double sum = 0.0L;
            for (int i = n - F - 1 + a * n; i < n - F - 1 + (a + 1) * n; ++i)
                for (int j = n - G - 1 + b * n; j < n - G - 1 + (b + 1) * n; ++j) {
                    const int r1 = i + F, c1 = j + G;
                    long double profile = 0.0L, weighted = 0.0L;
                    for (int p = r1 - n + 1; p <= r1; ++p)
                        for (int q = c1 - n + 1; q <= c1; ++q) {
                            weighted +=
                                static_cast<long double>(x[p][q]) * (r1 + 1 - p) * (c1 + 1 - q);
                            if (p <= i && q <= j) profile += x[p][q];
                        }
                    const long double e = profile - weighted / (static_cast<long double>(n) * n);
                    sum += e * e;
                }
            boxes.push_back(sum / (static_cast<long double>(n) * n));
        }
    return boxes;
}
