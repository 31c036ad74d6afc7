#include "scaling_analysis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "scaling_calibration.h"
#include "scaling_sides.h"
#include "window_geometry.h"

namespace {

constexpr int kSmallestSide = 3;
// Fewer points than this leave the slope at the mercy of one or two of them.
constexpr int kFewestGoodPoints = 5;
// A drift of the local slope 2H beyond this many standard errors (and beyond kLeastDrift) is
// reported as a curved line; on fractional Brownian surfaces it is seldom reached.
constexpr double kDriftErrors = 3.0;
constexpr double kLeastDrift = 0.1;

std::string fixed(double value, int digits) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", digits, value);
    return text;
}

std::string sideList(const std::vector<int>& sides) {
    std::string text;
    for (std::size_t k = 0; k < sides.size() && k < 6; ++k)
        text += (k ? ", " : "") + std::to_string(sides[k]);
    if (sides.size() > 6) text += ", ...";
    return text;
}

// The fit less the bias the calibration found for its H and its fit range of `octaves`.
double correctedHurst(double fitted, double octaves) {
    const auto& curve = kBiasCurve;
    const std::size_t n = std::size(curve);
    double scale = curve[n - 1].scale;
    if (fitted <= curve[0].fitted) {
        scale = curve[0].scale;
    } else {
        for (std::size_t k = 1; k < n; ++k)
            if (fitted <= curve[k].fitted) {
                const double t =
                    (fitted - curve[k - 1].fitted) / (curve[k].fitted - curve[k - 1].fitted);
                scale = curve[k - 1].scale + t * (curve[k].scale - curve[k - 1].scale);
                break;
            }
    }
    return fitted - scale / std::pow(std::max(octaves, 1.0), kBiasRangePower);
}

// The automatic range runs from kFitFirstSide to defaultFitLastSide; on a small surface, where
// that holds fewer than kFewestGoodPoints sides, it reaches up to the next sides until it has
// that many.
void markFitted(ScalingTable& table, FitRange range) {
    const int last = defaultFitLastSide(table.rows, table.columns);
    int fitted = 0;
    for (ScalingPoint& point : table.points) {
        point.fitted =
            range == FitRange::kEverySide ||
            (point.side >= kFitFirstSide && (point.side <= last || fitted < kFewestGoodPoints));
        fitted += point.fitted;
    }
}

void addShapeWarnings(const ScalingResult& result, const ScalingRequest& request,
                      long long nonFiniteValues, std::vector<std::string>& warnings) {
    if (nonFiniteValues > 0)
        warnings.push_back("The surface holds " + std::to_string(nonFiniteValues) +
                           " not-a-number or infinite values: sides whose residual is not finite "
                           "are left out of the fit");
    bool flat = true;
    for (const ScalingPoint& point : result.table.points) flat = flat && point.sigma2 == 0.0;
    if (flat)
        warnings.push_back("The surface is flat: every residual is 0, so there is no exponent");
    std::vector<int> even;
    for (const ScalingPoint& point : result.table.points)
        if (point.fitted && point.side % 2 == 0) even.push_back(point.side);
    const ScalingCompute& c = request.compute;
    if (c.nShift != 0.5 || c.mShift != 0.5)
        warnings.push_back("Windows are not centred (shifts " + fixed(c.nShift, 2) + " and " +
                           fixed(c.mShift, 2) +
                           " rather than 0.5 and 0.5): the exponent is biased");
    else if (!even.empty())
        warnings.push_back("Windows of even side are off centre by half a cell (sides " +
                           sideList(even) + "): the exponent is biased; use odd sides");
    if (!flat && result.fit.points < kFewestGoodPoints)
        warnings.push_back("Only " + std::to_string(result.fit.points) +
                           " points in the fit: the exponent is poorly determined");
    const HurstFit& fit = result.fit;
    const double drift = fit.upperSlope - fit.lowerSlope;
    if (fit.valid && fit.points >= 6 && std::fabs(drift) > kLeastDrift &&
        (fit.slopeDriftError == 0.0 || std::fabs(drift) > kDriftErrors * fit.slopeDriftError))
        warnings.push_back("The log-log line is curved: its local slope 2H is " +
                           fixed(fit.lowerSlope, 2) + " over sides " +
                           std::to_string(fit.firstSide) + "-" + std::to_string(fit.lowerLast) +
                           " and " + fixed(fit.upperSlope, 2) + " over sides " +
                           std::to_string(fit.upperFirst) + "-" + std::to_string(fit.lastSide));
}

}  // namespace

std::optional<std::string> scalingProblem(int R, int C) {
    if (R <= 0 || C <= 0) return "The surface holds no values";
    if (std::min(R, C) < 2 * kSmallestSide)
        return "The surface (" + std::to_string(R) + " x " + std::to_string(C) +
               ") is too small to analyse: it needs at least " + std::to_string(2 * kSmallestSide) +
               " rows and columns";
    return std::nullopt;
}

std::vector<int> requestedSides(const ScalingRequest& request, int R, int C,
                                std::vector<std::string>& warnings) {
    std::vector<int> wanted = request.sides;
    if (wanted.empty())
        wanted = request.fromSide > 0 ? oddSidesInLog(request.fromSide, request.toSide)
                                      : defaultSides(R, C);
    std::vector<int> kept, dropped;
    for (int side : wanted) (side >= 1 && side < R && side < C ? kept : dropped).push_back(side);
    if (!dropped.empty())
        warnings.push_back("Sides that do not fit the " + std::to_string(R) + " x " +
                           std::to_string(C) + " surface are left out: " + sideList(dropped));
    return kept;
}

ScalingResult fitScalingTable(ScalingTable table, const ScalingRequest& request, FitRange range,
                              std::vector<std::string> warnings, long long nonFiniteValues) {
    ScalingResult result;
    const bool defaults = range == FitRange::kDefaultSides;
    markFitted(table, range);
    result.table = std::move(table);
    result.fit = fitHurst(result.table);
    result.defined = result.fit.valid;
    if (result.defined) {
        const bool calibrated =
            defaults && request.compute.nShift == 0.5 && request.compute.mShift == 0.5;
        const double octaves =
            std::log2(static_cast<double>(result.fit.lastSide) / result.fit.firstSide);
        result.hurst = calibrated ? correctedHurst(result.fit.hurst, octaves) : result.fit.hurst;
        const double halfWidth = kIntervalFactor * result.fit.standardError;
        result.low = result.hurst - halfWidth;
        result.high = result.hurst + halfWidth;
    }
    addShapeWarnings(result, request, nonFiniteValues, warnings);
    result.warnings = std::move(warnings);
    return result;
}

long long countNonFinite(const double* const* data, int R, int C) {
    long long count = 0;
    for (int i = 0; i < R; ++i)
        for (int j = 0; j < C; ++j) count += !std::isfinite(data[i][j]);
    return count;
}

ScalingResult analyseSurface(const double* const* data, int R, int C,
                             const ScalingRequest& request) {
    std::vector<std::string> warnings;
    const std::vector<int> sides = requestedSides(request, R, C, warnings);
    const FitRange range = request.sides.empty() && request.fromSide == 0 ? FitRange::kDefaultSides
                                                                          : FitRange::kEverySide;
    ScalingTable table = computeScalingTable(data, R, C, sides, request.compute);
    return fitScalingTable(std::move(table), request, range, std::move(warnings),
                           countNonFinite(data, R, C));
}

ScalingResult fitResultsTable(const double* const* data, int R, int C,
                              const std::vector<std::pair<int, double>>& areaResiduals,
                              const ScalingRequest& request) {
    std::vector<int> sides, dropped;
    std::vector<double> residuals;
    for (const auto& [area, residual] : areaResiduals) {
        const int side = windowGeometry(area, 0.5, 0.5).side;
        if (std::find(sides.begin(), sides.end(), side) != sides.end() ||
            std::find(dropped.begin(), dropped.end(), side) != dropped.end())
            continue;
        if (side >= 1 && side < R && side < C) {
            sides.push_back(side);
            residuals.push_back(residual);
        } else {
            dropped.push_back(side);
        }
    }
    std::vector<std::string> warnings;
    if (!dropped.empty())
        warnings.push_back("Sides that do not fit the " + std::to_string(R) + " x " +
                           std::to_string(C) + " surface are left out: " + sideList(dropped));
    ScalingTable table = computeScalingTable(data, R, C, sides, request.compute);
    for (std::size_t k = 0; k < sides.size(); ++k) {
        ScalingPoint& point = table.points[k];
        const double scale = point.residual != 0.0 ? residuals[k] / point.residual : 0.0;
        for (double& part : table.tileResiduals[k]) part *= scale;
        point.residual = residuals[k];
        point.sigma2 = meanSquaredResidual(residuals[k], point.side, R, C);
    }
    return fitScalingTable(std::move(table), request, FitRange::kAutomatic, std::move(warnings),
                           countNonFinite(data, R, C));
}
