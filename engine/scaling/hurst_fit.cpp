#include "hurst_fit.h"

#include <cmath>

LineFit fitLine(const std::vector<double>& x, const std::vector<double>& y,
                const std::vector<bool>& use) {
    double n = 0, meanX = 0, meanY = 0;
    for (std::size_t k = 0; k < x.size(); ++k)
        if (use[k]) n += 1, meanX += x[k], meanY += y[k];
    LineFit fit;
    if (n < 2) return fit;
    meanX /= n;
    meanY /= n;
    double sxx = 0, sxy = 0;
    for (std::size_t k = 0; k < x.size(); ++k)
        if (use[k]) {
            sxx += (x[k] - meanX) * (x[k] - meanX);
            sxy += (x[k] - meanX) * (y[k] - meanY);
        }
    if (sxx <= 0) return fit;
    fit.slope = sxy / sxx;
    fit.intercept = meanY - fit.slope * meanX;
    fit.valid = true;
    return fit;
}

namespace {

bool usable(const ScalingPoint& point) {
    return point.fitted && std::isfinite(point.sigma2) && point.sigma2 > 0.0;
}

// The slopes of the whole fit and of its two halves, from the mean squared residuals `sigma2`.
struct Slopes {
    double whole, intercept, lower, upper;
    bool valid;
};

Slopes slopesOf(const std::vector<double>& logSide, const std::vector<double>& sigma2,
                const std::vector<bool>& use, const std::vector<bool>& lower,
                const std::vector<bool>& upper) {
    std::vector<double> logSigma2(sigma2.size());
    for (std::size_t k = 0; k < sigma2.size(); ++k)
        logSigma2[k] = use[k] && sigma2[k] > 0 ? std::log(sigma2[k]) : 0.0;
    const LineFit whole = fitLine(logSide, logSigma2, use);
    const LineFit low = fitLine(logSide, logSigma2, lower);
    const LineFit high = fitLine(logSide, logSigma2, upper);
    return {whole.slope, whole.intercept, low.slope, high.slope, whole.valid};
}

}  // namespace

HurstFit fitHurst(const ScalingTable& table) {
    const std::size_t n = table.points.size();
    std::vector<double> logSide(n), sigma2(n);
    std::vector<bool> use(n), lower(n), upper(n);
    HurstFit fit;
    for (std::size_t k = 0; k < n; ++k) {
        const ScalingPoint& point = table.points[k];
        logSide[k] = std::log(static_cast<double>(point.side));
        sigma2[k] = point.sigma2;
        use[k] = usable(point);
        if (use[k]) {
            if (fit.points == 0) fit.firstSide = point.side;
            fit.lastSide = point.side;
            ++fit.points;
        }
    }
    // The halves share the middle point when the count is odd.
    int seen = 0;
    for (std::size_t k = 0; k < n; ++k) {
        if (!use[k]) continue;
        lower[k] = 2 * seen < fit.points;
        upper[k] = 2 * seen >= fit.points - 1;
        if (lower[k]) fit.lowerLast = table.points[k].side;
        if (upper[k] && fit.upperFirst == 0) fit.upperFirst = table.points[k].side;
        ++seen;
    }
    const Slopes all = slopesOf(logSide, sigma2, use, lower, upper);
    if (fit.points < 2) return fit;
    fit.valid = true;
    fit.hurst = all.whole / 2.0;
    fit.intercept = all.intercept;
    fit.lowerSlope = all.lower;
    fit.upperSlope = all.upper;
    if (fit.points >= 3) {
        double meanX = 0, sxx = 0, rss = 0;
        for (std::size_t k = 0; k < n; ++k)
            if (use[k]) meanX += logSide[k] / fit.points;
        for (std::size_t k = 0; k < n; ++k) {
            if (!use[k]) continue;
            const double misfit = std::log(sigma2[k]) - (all.intercept + all.whole * logSide[k]);
            sxx += (logSide[k] - meanX) * (logSide[k] - meanX);
            rss += misfit * misfit;
        }
        fit.lackOfFitError = std::sqrt(rss / (fit.points - 2) / sxx) / 2.0;
    }
    if (table.tileCount < 2) return fit;

    // Leave each tile out in turn: its residual and its cells come off every side's sums.
    const int tiles = table.tileCount;
    std::vector<double> hurstWithout, driftWithout;
    for (int t = 0; t < tiles; ++t) {
        std::vector<double> partial(n, 0.0);
        for (std::size_t k = 0; k < n; ++k) {
            if (!use[k]) continue;
            // The tiles' cells add up to every cell that has a residual at this side.
            double allCells = 0.0;
            for (double part : table.tileCells[k]) allCells += part;
            const double cells = allCells - table.tileCells[k][static_cast<std::size_t>(t)];
            partial[k] = cells > 0 ? (table.points[k].residual -
                                      table.tileResiduals[k][static_cast<std::size_t>(t)]) /
                                         cells
                                   : 0.0;
        }
        const Slopes without = slopesOf(logSide, partial, use, lower, upper);
        hurstWithout.push_back(without.whole / 2.0);
        driftWithout.push_back(without.upper - without.lower);
    }
    auto jackknifeError = [&](const std::vector<double>& values) {
        double mean = 0, spread = 0;
        for (double v : values) mean += v / tiles;
        for (double v : values) spread += (v - mean) * (v - mean);
        return std::sqrt(spread * (tiles - 1) / tiles);
    };
    fit.standardError = jackknifeError(hurstWithout);
    fit.hurstWithoutTile = hurstWithout;
    fit.slopeDriftError = jackknifeError(driftWithout);
    return fit;
}
