#include "multifractal_workload.h"

#include <cstdio>

#include "bench_support.h"
#include "multifractal_analysis.h"
#include "scaling_analysis.h"

Timing timeMultifractalAnalysis(const LiteralMatrix& data, ResidualKind kind, int runs) {
    Timing timing;
    const std::vector<int> sides = defaultMultifractalSides(data.R, data.C);
    ScalingRequest scaling;
    scaling.sides = sides;
    timing.literal =
        medianSeconds(runs, [&] { analyseSurface(data.rows, data.R, data.C, scaling); });
    MultifractalRequest request;
    request.sides = sides;
    request.surrogates = 0;
    request.kind = kind;
    MultifractalResult result;
    timing.vantrel = medianSeconds(
        runs, [&] { result = analyseMultifractal(data.rows, data.R, data.C, request); });
    char text[128];
    std::snprintf(text, sizeof text, "%zu sides, 17 q, h(2) = %.3f, width %.3f", sides.size(),
                  result.spectrum.h.size() > 12 ? result.spectrum.h[12] : 0.0, result.width);
    timing.check = text;
    return timing;
}
