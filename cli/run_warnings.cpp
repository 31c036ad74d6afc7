#include "run_warnings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "cancellation_estimate.h"
#include "window_geometry.h"

namespace {

std::string formatted(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// Areas whose side reaches the rows or the columns have an empty residual block.
std::string coveringAreasWarning(const RunPreview& p) {
    std::vector<int> covering;
    for (int area : p.areas) {
        const int side = windowGeometry(area, 0.0, 0.0).side;
        if ((side >= p.R || side >= p.C) &&
            std::find(covering.begin(), covering.end(), area) == covering.end())
            covering.push_back(area);
    }
    if (covering.empty()) return {};
    std::string names;
    for (int area : covering) names += (names.empty() ? "" : ", ") + std::to_string(area);
    return std::string("Warning: ") + (covering.size() == 1 ? "area " : "areas ") + names +
           (covering.size() == 1 ? " has" : " have") + " a window side of at least the data's " +
           std::to_string(p.R) + " rows or " + std::to_string(p.C) + " columns: " +
           (covering.size() == 1 ? "its residual sum is 0" : "their residual sums are 0");
}

// The exact modes lose digits to the mean (cancellation_estimate.h); warn when the expected
// error of the largest residual reaches the decimals the results file prints.
std::string lostDigitsWarning(const RunPreview& p) {
    if (p.compute.method != SurfaceMethod::kExact) return {};
    int largestSide = 0;
    for (int area : p.areas) {
        const int side = windowGeometry(area, 0.0, 0.0).side;
        if (side < p.R && side < p.C) largestSide = std::max(largestSide, side);
    }
    if (largestSide < 1) return {};
    const DataMoments moments = dataMoments(p.data, p.R, p.C);
    const double digits = digitsLostToTheMean(moments);
    const double error = expectedRelativeError(moments, largestSide);
    const int decimals = p.options.outputPrecision < 0 ? 6 : p.options.outputPrecision;
    const double largestResidual = static_cast<double>(p.R - largestSide) * (p.C - largestSide) *
                                   moments.spread * moments.spread;
    const double shown = 0.5 * std::pow(10.0, -decimals) / largestResidual;
    if (digits < 1.0 || !(error > shown)) return {};
    return "Warning: the data's mean is " +
           formatted("%.1g", std::fabs(moments.mean) / moments.spread) +
           " times its spread: the exact sums lose about " + formatted("%.0f", digits) +
           " digits (" +
           (error < 0.1 ? "relative error about " + formatted("%.1g", error)
                        : std::string("the sums may be wrong in their first digit")) +
           "), more than the " + std::to_string(decimals) +
           " decimals printed show; --method fast (centred sums) or --normalise avoids the loss";
}

}  // namespace

std::vector<std::string> runWarnings(const RunPreview& preview) {
    if (preview.R <= 0 || preview.C <= 0)
        return {"Warning: the data holds no values: every residual sum will be 0"};
    std::vector<std::string> lines;
    for (std::string line : {coveringAreasWarning(preview), lostDigitsWarning(preview)})
        if (!line.empty()) lines.push_back(line);
    return lines;
}
