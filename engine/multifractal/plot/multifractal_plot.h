#pragma once

#include <string>

#include "multifractal_analysis.h"
#include "plot_figure.h"

// The panels of a multifractal analysis side by side, the one description every file format
// draws: ln F_q against ln n with the fitted lines, h(q) with its 90% intervals, tau(q), and
// f(alpha) with the test's verdict; the analysis' warnings go under the panels. tau(q) has its
// own panel because a panel has one vertical scale.
PlotFigure multifractalFigure(const MultifractalResult& result);

// Writes the figure to `path` in the format its ending names (.svg, .png or .pdf); the same
// result gives the same bytes. Returns false with `error` set when the file cannot be written.
bool writeMultifractalPlot(const MultifractalResult& result, const std::string& path,
                           std::string& error);
