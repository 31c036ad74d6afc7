#pragma once

#include <optional>
#include <string>
#include <vector>

#include "results_reader.h"
#include "scaling_analysis.h"

// "Analyse a results file": the one entry that the command line's `fit`, the dialog's Analyse
// results and Python go through, so that they cannot drift apart.
//
// A results file records areas and residual sums but neither the shifts nor whether the data
// were normalised, and a fit under the wrong ones is silently wrong (or a file beside other data
// is fitted as if it belonged to them). So the settings are checked against the data before
// anything is fitted: the residual of one or two areas is recomputed by the fast method under
// the candidate settings and compared with the file, within the digits it was printed with.
// Given settings are only checked; missing ones are found among the candidates. When nothing
// matches, the file is refused, named, with the question a person can answer.

enum class NormaliseSetting { kFind, kOff, kOn };

struct ResultsAnalysisRequest {
    std::optional<double> nShift, mShift;  // given shifts; none: found from the data
    NormaliseSetting normalise = NormaliseSetting::kFind;
    SurfaceMethod method = SurfaceMethod::kFast;  // how the tiles of the spread are computed
    int threads = 0;
};

struct ResultsAnalysis {
    std::optional<ScalingResult> result;  // set when the file fits the data, with its settings
    std::string error;                    // otherwise, why not: names the file
};

// Reads `resultsPath` and analyses it against the R x C data it was written from. The data are
// not changed (a normalised copy is made where needed). The surface must pass scalingProblem.
ResultsAnalysis analyseResultsFile(const std::string& resultsPath, const double* const* data, int R,
                                   int C, const ResultsAnalysisRequest& request);

// The same for rows already read; `resultsName` is what the messages call them.
ResultsAnalysis analyseResults(const std::vector<ResultsRow>& rows, const std::string& resultsName,
                               const double* const* data, int R, int C,
                               const ResultsAnalysisRequest& request);

// The candidate shifts tried when none are given, in order of preference: those of a run and
// of the analysis by default, then 0 to 1 in steps of 0.05.
std::vector<std::pair<double, double>> candidateShifts();
