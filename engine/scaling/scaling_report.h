#pragma once

#include <string>

#include "scaling_analysis.h"

// The three ways a scaling analysis is written out. The JSON keys are read by other programs:
// hurst, hurst_ci90, fractal_dimension, fit_sides, fit_points, warnings and table (side, area,
// residual, sigma2, fitted) keep their names and meaning. An exponent that could not be fitted
// is null. Where the file gives a pixel size the JSON adds pixel_size (width, height), unit
// (null when the file names none) and each row's side_length in that unit.

// A few lines for a person: H with its interval, D, the sides fitted, the points, the warnings.
std::string scalingSummary(const ScalingResult& result, const std::string& source);

// One JSON object, ending in a newline.
std::string scalingJson(const ScalingResult& result, const std::string& source);

// The per-side table, tab-separated, with a header line.
std::string scalingTsv(const ScalingResult& result);

// A number as JSON reads it back exactly; not-a-number and infinities, which JSON lacks, as null.
std::string jsonNumber(double value);
// A string with its quotes and escapes.
std::string jsonString(const std::string& text);
