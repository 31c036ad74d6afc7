#pragma once

#include <string>

#include "multifractal_analysis.h"

// What `vantrel-cli multifractal` prints: a summary for people, one JSON object for programs
// (keys q, h, h_ci90, tau, alpha, f_alpha, sides, warnings and the test's), and a
// tab-separated table of the spectrum followed by ln F_q per side.

std::string multifractalSummary(const MultifractalResult& result, const std::string& source);
std::string multifractalJson(const MultifractalResult& result, const std::string& source);
std::string multifractalTsv(const MultifractalResult& result);
