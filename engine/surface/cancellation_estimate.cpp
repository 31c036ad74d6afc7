#include "cancellation_estimate.h"

#include <cmath>

namespace {

constexpr double kUnitRoundoff = 0x1p-53;
// Fitted constants (cancellation_estimate.h).
constexpr double kLinear = 0.15;
constexpr double kQuadratic = 35.0;

double meanToSpread(const DataMoments& moments) {
    if (!(moments.spread > 0.0) || !std::isfinite(moments.spread) || !std::isfinite(moments.mean))
        return 0.0;
    return std::fabs(moments.mean) / moments.spread;
}

}  // namespace

DataMoments dataMoments(const double* const* data, int R, int C) {
    if (R <= 0 || C <= 0) return {};
    long double sum = 0.0L;
    for (int i = 0; i < R; ++i)
        for (int j = 0; j < C; ++j) sum += data[i][j];
    const long double cells = static_cast<long double>(R) * C;
    const long double mean = sum / cells;
    long double squares = 0.0L;
    for (int i = 0; i < R; ++i)
        for (int j = 0; j < C; ++j) {
            const long double deviation = data[i][j] - mean;
            squares += deviation * deviation;
        }
    return {static_cast<double>(mean), static_cast<double>(std::sqrt(squares / cells))};
}

double expectedRelativeError(const DataMoments& moments, int largestSide) {
    const double x = kUnitRoundoff * meanToSpread(moments) * largestSide;
    return kLinear * x + (kQuadratic * x) * (kQuadratic * x);
}

double digitsLostToTheMean(const DataMoments& moments) {
    const double ratio = meanToSpread(moments);
    return ratio > 1.0 ? std::log10(ratio) : 0.0;
}
