#pragma once

#include <string>
#include <vector>

#include "run_preview.h"

// The lines the command line prints before the first area about results that may not say what
// the user expects: data without values, areas whose window covers the data, and exact sums that
// lose digits to the data's mean. None changes what the run writes.
std::vector<std::string> runWarnings(const RunPreview& preview);
