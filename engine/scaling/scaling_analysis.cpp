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
// A drift of the local slope 2H beyond this many jackknife errors (and beyond kLeastDrift) is
// reported as a curved line. The jackknife error is 1.1 to 1.3 times too small (tiles share
// windows, scaling_calibration.h): at 3 errors, about 2.5 true ones, exact fractional Brownian
// surfaces raised it 1 to 1.5 times in 100; 3.5 (about 2.9 true errors) halves that, and the
// bundled sample's bend is still reported.
constexpr double kDriftErrors = 3.5;
constexpr double kLeastDrift = 0.1;
// A plane or paraboloid that explains at least this share of the variance dominates the data.
constexpr double kTrendShare = 0.5;

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

// The bias the calibration found for a fit of `fitted` over a range of `octaves`.
double calibratedBias(double fitted, double octaves) {
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
    return scale / std::pow(std::max(octaves, 1.0), kBiasRangePower);
}

// The 95% quantile of Student's t with `freedom` degrees of freedom, over the normal one's: how
// much wider an error estimated from that few residuals must be taken.
double fewPointsWidening(int freedom) {
    static constexpr double kT95[] = {0,     6.314, 2.920, 2.353, 2.132, 2.015,
                                      1.943, 1.895, 1.860, 1.833, 1.812};
    constexpr double z = 1.6449;
    if (freedom < 1) return 0.0;
    if (freedom < static_cast<int>(std::size(kT95))) return kT95[freedom] / z;
    // Cornish-Fisher, within 0.1% from 10 degrees up.
    const double t = z + (z * z * z + z) / (4.0 * freedom) +
                     (5 * std::pow(z, 5) + 16 * z * z * z + 3 * z) / (96.0 * freedom * freedom);
    return t / z;
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
                      long long nonFiniteValues, std::vector<ScalingWarning>& warnings) {
    if (nonFiniteValues > 0)
        warnings.push_back({"non_finite", "The surface holds " + std::to_string(nonFiniteValues) +
                                              " not-a-number or infinite values: sides whose "
                                              "residual is not finite are left out of the fit"});
    bool flat = true;
    for (const ScalingPoint& point : result.table.points) flat = flat && point.sigma2 == 0.0;
    if (flat)
        warnings.push_back(
            {"flat", "The surface is flat: every residual is 0, so there is no exponent"});
    std::vector<int> even;
    for (const ScalingPoint& point : result.table.points)
        if (point.fitted && point.side % 2 == 0) even.push_back(point.side);
    const ScalingCompute& c = request.compute;
    if (c.nShift != 0.5 || c.mShift != 0.5)
        warnings.push_back(
            {"not_centred", "Windows are not centred (shifts " + fixed(c.nShift, 2) + " and " +
                                fixed(c.mShift, 2) +
                                " rather than 0.5 and 0.5): the exponent is biased"});
    else if (!even.empty())
        warnings.push_back(
            {"even_sides", "Windows of even side are off centre by half a cell (sides " +
                               sideList(even) + "): the exponent is biased; use odd sides"});
    if (!flat && result.fit.points < kFewestGoodPoints)
        warnings.push_back(
            {"few_points", "Only " + std::to_string(result.fit.points) +
                               " points in the fit: the exponent is poorly determined"});
    const HurstFit& fit = result.fit;
    const double drift = fit.upperSlope - fit.lowerSlope;
    if (fit.valid && fit.points >= 6 && std::fabs(drift) > kLeastDrift &&
        (fit.slopeDriftError == 0.0 || std::fabs(drift) > kDriftErrors * fit.slopeDriftError))
        warnings.push_back(
            {"curved", "The log-log line is curved: its local slope 2H is " +
                           fixed(fit.lowerSlope, 2) + " over sides " +
                           std::to_string(fit.firstSide) + "-" + std::to_string(fit.lowerLast) +
                           " and " + fixed(fit.upperSlope, 2) + " over sides " +
                           std::to_string(fit.upperFirst) + "-" + std::to_string(fit.lastSide)});
}

// What an exponent outside the domain of rough surfaces, or outside the exponents the interval
// was calibrated on, means for the reader.
void addDomainWarnings(const ScalingResult& result, const SurfaceFacts& facts,
                       std::vector<ScalingWarning>& warnings) {
    if (!result.defined) return;
    const std::string h = "H = " + fixed(result.hurst, 3);
    if (result.hurst > 1.0) {
        std::string text = h + " is above 1, which no rough surface has (D = 3 - H = " +
                           fixed(result.fractalDimension(), 3) +
                           " is below 2): the surface is smooth at these scales";
        if (facts.trendShare >= kTrendShare)
            text += "; a plane or paraboloid explains " + fixed(100.0 * facts.trendShare, 0) +
                    "% of its variance: remove the plane first";
        else
            text += ", or a trend dominates the residuals";
        warnings.push_back({"above_one", text});
    } else if (result.hurst < 0.0) {
        warnings.push_back({"below_zero", h + " is below 0, which no surface has (D = 3 - H = " +
                                              fixed(result.fractalDimension(), 3) +
                                              " is above 3): at these scales the surface is "
                                              "uncorrelated noise"});
    }
    if (result.high < kLowestCalibratedHurst || result.low > kHighestCalibratedHurst)
        warnings.push_back(
            {"uncalibrated_hurst",
             "The 90% interval lies outside H " + fixed(kLowestCalibratedHurst, 1) + " to " +
                 fixed(kHighestCalibratedHurst, 1) +
                 ", the exponents it was calibrated on (exact fractional Brownian surfaces): it "
                 "may not hold 90%" +
                 (result.hurst >= 0.0 && result.hurst < kLowestCalibratedHurst
                      ? "; H near 0 means the surface is close to uncorrelated noise at these "
                        "scales"
                      : "")});
}

ScalingWarning sidesLeftOut(const std::vector<int>& dropped, int R, int C) {
    return {"sides_left_out", "Sides that do not fit the " + std::to_string(R) + " x " +
                                  std::to_string(C) +
                                  " surface are left out: " + sideList(dropped)};
}

// The share of the variance of the finite values that the least-squares surface
// a + bx + cy + dx^2 + exy + fy^2 explains, x and y scaled to [-1, 1].
double quadraticTrendShare(const double* const* data, int R, int C) {
    constexpr int n = 6;
    double normal[n][n + 1] = {};
    double sum = 0, sumSquares = 0, count = 0;
    for (int i = 0; i < R; ++i) {
        const double y = R > 1 ? 2.0 * i / (R - 1) - 1.0 : 0.0;
        for (int j = 0; j < C; ++j) {
            const double z = data[i][j];
            if (!std::isfinite(z)) continue;
            const double x = C > 1 ? 2.0 * j / (C - 1) - 1.0 : 0.0;
            const double terms[n] = {1, x, y, x * x, x * y, y * y};
            for (int a = 0; a < n; ++a) {
                for (int b = 0; b < n; ++b) normal[a][b] += terms[a] * terms[b];
                normal[a][n] += terms[a] * z;
            }
            sum += z;
            sumSquares += z * z;
            count += 1;
        }
    }
    if (count < n) return 0.0;
    const double total = sumSquares - sum * sum / count;
    if (!(total > 0)) return 0.0;
    double solved[n][n + 1];
    std::copy(&normal[0][0], &normal[0][0] + n * (n + 1), &solved[0][0]);
    // Gaussian elimination with partial pivoting; the system is small and well scaled.
    for (int col = 0; col < n; ++col) {
        int pivot = col;
        for (int r = col + 1; r < n; ++r)
            if (std::fabs(solved[r][col]) > std::fabs(solved[pivot][col])) pivot = r;
        if (std::fabs(solved[pivot][col]) < 1e-12 * count) return 0.0;
        for (int k = 0; k <= n; ++k) std::swap(solved[col][k], solved[pivot][k]);
        for (int r = 0; r < n; ++r) {
            if (r == col) continue;
            const double factor = solved[r][col] / solved[col][col];
            for (int k = col; k <= n; ++k) solved[r][k] -= factor * solved[col][k];
        }
    }
    // The explained sum of squares: coefficients times the right-hand side, less the mean's.
    double explained = 0;
    for (int a = 0; a < n; ++a) explained += solved[a][n] / solved[a][a] * normal[a][n];
    explained -= sum * sum / count;
    return std::clamp(explained / total, 0.0, 1.0);
}

}  // namespace

SurfaceFacts surfaceFacts(const double* const* data, int R, int C) {
    return {countNonFinite(data, R, C), quadraticTrendShare(data, R, C)};
}

std::optional<std::string> scalingProblem(int R, int C) {
    if (R <= 0 || C <= 0) return "The surface holds no values";
    if (std::min(R, C) < 2 * kSmallestSide)
        return "The surface (" + std::to_string(R) + " x " + std::to_string(C) +
               ") is too small to analyse: it needs at least " + std::to_string(2 * kSmallestSide) +
               " rows and columns";
    return std::nullopt;
}

std::vector<int> requestedSides(const ScalingRequest& request, int R, int C,
                                std::vector<ScalingWarning>& warnings) {
    std::vector<int> wanted = request.sides;
    if (wanted.empty())
        wanted = request.fromSide > 0 ? oddSidesInLog(request.fromSide, request.toSide)
                                      : defaultSides(R, C);
    std::vector<int> kept, dropped;
    for (int side : wanted) (side >= 1 && side < R && side < C ? kept : dropped).push_back(side);
    if (!dropped.empty()) warnings.push_back(sidesLeftOut(dropped, R, C));
    return kept;
}

ScalingResult fitScalingTable(ScalingTable table, const ScalingRequest& request, FitRange range,
                              const std::vector<ScalingWarning>& earlier,
                              const SurfaceFacts& facts) {
    ScalingResult result;
    std::vector<ScalingWarning> warnings = earlier;
    markFitted(table, range);
    result.table = std::move(table);
    result.fit = fitHurst(result.table);
    result.defined = result.fit.valid;
    const bool calibratedSize =
        std::min(result.table.rows, result.table.columns) >= kSmallestCalibratedSide;
    if (result.defined) {
        const bool centred = request.compute.nShift == 0.5 && request.compute.mShift == 0.5;
        const HurstFit& fit = result.fit;
        // Outside [0, 1] the exponent means something else (warned below), and a correction
        // measured on rough surfaces would only move it.
        result.biasCorrected = range == FitRange::kDefaultSides && centred && calibratedSize &&
                               fit.hurst >= 0.0 && fit.hurst <= 1.0;
        result.hurst = fit.hurst;
        if (result.biasCorrected)
            result.hurst -= calibratedBias(
                fit.hurst, std::log2(static_cast<double>(fit.lastSide) / fit.firstSide));
        // The jackknife sees this surface's noise; the points' scatter about the line, taken
        // with the few degrees of freedom it has, sees how much the slope depends on the sides
        // taken. The interval is as wide as the larger says, so that fewer points never look
        // more certain.
        const double error =
            std::max(fit.standardError, fit.lackOfFitError * fewPointsWidening(fit.points - 2));
        result.low = result.hurst - kIntervalFactor * error;
        result.high = result.hurst + kIntervalFactor * error;
    }
    addShapeWarnings(result, request, facts.nonFiniteValues, warnings);
    addDomainWarnings(result, facts, warnings);
    if (result.defined && !calibratedSize)
        warnings.push_back(
            {"uncalibrated_size",
             "The surface is smaller than " + std::to_string(kSmallestCalibratedSide) + " x " +
                 std::to_string(kSmallestCalibratedSide) +
                 ", the smallest size the analysis was calibrated on: H is not corrected for "
                 "its bias and the 90% interval may not hold 90%"});
    for (const ScalingWarning& warning : warnings) result.warn(warning);
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
    std::vector<ScalingWarning> warnings;
    const std::vector<int> sides = requestedSides(request, R, C, warnings);
    const FitRange range = request.sides.empty() && request.fromSide == 0 ? FitRange::kDefaultSides
                                                                          : FitRange::kEverySide;
    ScalingTable table = computeScalingTable(data, R, C, sides, request.compute);
    return fitScalingTable(std::move(table), request, range, warnings, surfaceFacts(data, R, C));
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
    std::vector<ScalingWarning> warnings;
    if (!dropped.empty()) warnings.push_back(sidesLeftOut(dropped, R, C));
    ScalingTable table = computeScalingTable(data, R, C, sides, request.compute);
    for (std::size_t k = 0; k < sides.size(); ++k) {
        ScalingPoint& point = table.points[k];
        const double scale = point.residual != 0.0 ? residuals[k] / point.residual : 0.0;
        for (double& part : table.tileResiduals[k]) part *= scale;
        point.residual = residuals[k];
        point.sigma2 = meanSquaredResidual(residuals[k], point.side, R, C);
    }
    return fitScalingTable(std::move(table), request, FitRange::kAutomatic, warnings,
                           surfaceFacts(data, R, C));
}
