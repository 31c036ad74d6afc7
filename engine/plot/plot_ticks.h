#pragma once

#include <vector>

#include "plot_figure.h"

// The ticks an axis gets when its figure names none, every label of one axis in one format.
// A logarithmic axis ticks 1, 2 and 5 times each power of ten over up to three decades, the
// powers alone beyond, and every mantissa 1 to 9 where those would give fewer than three; its
// labels are decimals ("0.02", "50") while every tick lies from 0.01 to 10^5, else powers of ten
// ("10⁻³", "2×10⁻³"). A linear axis ticks a 1, 2 or 5 step with the decimals that step needs.
std::vector<AxisTick> automaticTicks(bool logarithmic, double from, double to);
