#pragma once

#include <string>

#include "multifractal_analysis.h"

// The three panels of a multifractal analysis side by side: ln F_q against ln n with the fitted
// lines (q at its ends and 0 marked), h(q) and tau(q) with the 90% band, and f(alpha). Written to
// `path` in the format its ending names (.svg, .png or .pdf, 1200 x 400 points); the same result
// gives the same SVG bytes. Returns false with `error` set when the file cannot be written.
bool drawMultifractalPlot(const MultifractalResult& result, const std::string& path,
                          std::string& error);
