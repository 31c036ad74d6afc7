#pragma once

#include <string>
#include <vector>

#include "analysis_settings.h"
#include "compute_options.h"

// What a run is about to compute, handed to RunHost::beforeFirstArea: the data as the areas
// will see it, the areas in order, and how they will be computed.
struct RunPreview {
    const double* const* data;
    int R;
    int C;
    std::vector<int> areas;
    const AnalysisSettings& settings;
    const RunOptions& options;
    const ComputeOptions& compute;
    std::string resultsFile;
};
