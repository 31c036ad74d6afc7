// Residual sum of the 4 x 4 matrix holding 1 ... 16, area 4, both shifts 0: four cells each
// 2.5 from their window's mean, 25 in all.
#include <cstdio>

#include "area_sweep.h"

int main() {
    double rows[4][4];
    const double* table[4];
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) rows[i][j] = 4 * i + j + 1;
        table[i] = rows[i];
    }
    AreaSweep sweep(table, 4, 4, 0.0, 0.0, 1, false, ComputeOptions{});
    std::printf("residual %g\n", sweep.residualOf(4));
}
