#pragma once

#include <string>

#include "directional_analysis.h"

// The directional exponents written out: lines for a person after the analysis's summary, and
// the JSON members hurst_rows, hurst_columns and anisotropy, each {"value": ..., "ci90": [low,
// high]} (null when not defined), and directional_warnings.

std::string directionalSummary(const DirectionalResult& result);

// The members, each line indented by two spaces and ending in ",\n", for the analysis's object.
std::string directionalJsonMembers(const DirectionalResult& result);
