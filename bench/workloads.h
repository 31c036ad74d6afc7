#pragma once

#include <string>
#include <utility>
#include <vector>

#include "literal_analysis.h"

// The timed workloads of `make bench`. Each times the literal analysis and Vantrel on the same
// input, the median of `runs`, and checks that both give the same bytes.

struct Timing {
    double literal = 0.0;  // seconds; 0 when there is no literal counterpart
    double vantrel = 0.0;
    std::string check;  // what was compared, and how it came out
    bool same = true;
};

// The areas of the logarithmic rule from 4 to `to` with factor 2.
std::vector<int> logAreas(int to);

// Surfaces and residual sums for every area (shifts 0.5, no surface files), by the literal
// averager and by Vantrel's exact kernels on all threads.
Timing timeExactCompute(const LiteralMatrix& data, const std::vector<int>& areas, int optimise,
                        int runs, int literalRuns);

// The data file loaded by fgetc/fscanf and by Vantrel's loader: as the run reads it, and (the
// second) with comments read as analyse, fit and map read them, against the same literal time.
std::pair<Timing, Timing> timeLoads(const std::string& path, int runs);

// The surface files of `areas` (computed once, sliding mode) written by fprintf and by Vantrel.
Timing timeSurfaceWriting(const LiteralMatrix& data, const std::vector<int>& areas,
                          const std::string& folder, int runs);

// The fast method over the areas, with the largest relative error of its residual sums against
// the exact reference in `check`; `literal` stays 0.
Timing timeFastCompute(const LiteralMatrix& data, const std::vector<int>& areas, int runs);

// The scaling analysis with its default sides (tile sums, jackknife and fit included) against
// the fast method over the same sides alone, as `run --method fast` computes them: `literal`
// holds the fast run's median, `vantrel` the analysis's.
Timing timeScalingAnalysis(const LiteralMatrix& data, int runs);
