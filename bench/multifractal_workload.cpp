#include "multifractal_workload.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench_support.h"
#include "multifractal_analysis.h"
#include "scaling_analysis.h"

namespace {

double median(std::vector<double> seconds) {
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}

}  // namespace

Timing timeMultifractalAnalysis(const LiteralMatrix& data, ResidualKind kind, int runs) {
    Timing timing;
    const std::vector<int> sides = defaultMultifractalSides(data.R, data.C);
    ScalingRequest scaling;
    scaling.sides = sides;
    MultifractalRequest request;
    request.sides = sides;
    request.surrogates = 0;
    request.kind = kind;
    MultifractalResult result;
    // The two analyses take turns, so that a change in the machine's load between them (its
    // cores are shared) reaches both medians alike.
    std::vector<double> scalingSeconds, multifractalSeconds;
    for (int k = 0; k < runs; ++k) {
        scalingSeconds.push_back(
            secondsOf([&] { analyseSurface(data.rows, data.R, data.C, scaling); }));
        multifractalSeconds.push_back(
            secondsOf([&] { result = analyseMultifractal(data.rows, data.R, data.C, request); }));
    }
    timing.literal = median(scalingSeconds);
    timing.vantrel = median(multifractalSeconds);
    char text[128];
    std::snprintf(text, sizeof text, "%zu sides, 17 q, h(2) = %.3f, width %.3f", sides.size(),
                  result.spectrum.h.size() > 12 ? result.spectrum.h[12] : 0.0, result.width);
    timing.check = text;
    return timing;
}
