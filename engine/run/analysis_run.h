#pragma once

#include "analysis_settings.h"
#include "compute_options.h"
#include "run_host.h"

// Runs the whole analysis for the settings and options: builds the area list, checks the rule,
// the areas and the shifts, loads (and optionally normalises) the data, then for each area
// computes the moving-average surface, writes it when asked, and appends the area's residual
// sum to the results file. Everything the user learns comes through the host and the files.
// Throws std::bad_alloc when the matrices do not fit in memory.
//
// `compute` chooses how (threads, vector width, exact or fast method); the exact method writes
// the same bytes whatever it chooses.
void runAnalysis(const AnalysisSettings& settings, const RunOptions& options, RunHost& host,
                 const ComputeOptions& compute = {});
