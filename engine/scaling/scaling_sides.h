#pragma once

#include <vector>

// The window sides a scaling analysis uses by default, and where its fit starts and ends. Odd
// sides only, so that at shifts of 0.5 every window is centred on its cell; spaced evenly in
// log s, so that every scale weighs alike in the fit. The limits come from the simulation study
// in docs/analysis.md.

// Below this side the lattice bends the log-log line.
constexpr int kFitFirstSide = 5;
// Above this fraction of the smaller dimension the few independent windows make the points
// noisy.
constexpr double kFitLastFraction = 0.125;
// Points per doubling of the side.
constexpr int kSidesPerOctave = 4;

// Odd sides from `from` to `to` (both included when odd), about kSidesPerOctave per doubling.
std::vector<int> oddSidesInLog(int from, int to);

// The sides shown for an R x C surface: odd sides from 3 to half the smaller dimension.
std::vector<int> defaultSides(int R, int C);

// The largest side the default fit takes for an R x C surface.
int defaultFitLastSide(int R, int C);
