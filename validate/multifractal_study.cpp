// vantrel-multifractal-study: the simulation study of docs/multifractal.md (minutes; not part
// of the tests). Seeds are given on the command line, so that the study is developed on one set
// and reported on another.
//
//   vantrel-multifractal-study pmodel SIZE SHIFT FIRST_SEED COUNT
//   vantrel-multifractal-study fbm SIZE H SHIFT FIRST_SEED COUNT [SURROGATES]
//   vantrel-multifractal-study test-pmodel SIZE FIRST_SEED COUNT SURROGATES
//   vantrel-multifractal-study speed SIZE RUNS

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "fbm_surface.h"
#include "multifractal_analysis.h"
#include "multifractal_calibration.h"
#include "pmodel_measure.h"
#include "scaling_analysis.h"

namespace {

const PModelFractions kFractions = {0.1, 0.2, 0.3, 0.4};

std::vector<const double*> rowsOf(const std::vector<double>& field, int R, int C) {
    std::vector<const double*> rows;
    for (int i = 0; i < R; ++i) rows.push_back(field.data() + static_cast<std::size_t>(i) * C);
    return rows;
}

MultifractalRequest studyRequest(ResidualKind kind, int L, double shift, int surrogates) {
    MultifractalRequest request;
    request.kind = kind;
    request.fromSide = 9;
    request.toSide = L / 8;
    request.nShift = request.mShift = shift;
    request.surrogates = surrogates;
    return request;
}

// Largest |tau_est - tau| over every q and over |q| <= 2, and the mean over every q.
int pmodelStudy(int L, double shift, int firstSeed, int count) {
    int levels = 0;
    while ((1 << levels) < L) ++levels;
    double worstAll = 0, worstSmall = 0, meanAll = 0;
    int qs = 0;
    for (int seed = firstSeed; seed < firstSeed + count; ++seed) {
        const std::vector<double> mass = makePModel(kFractions, levels, seed);
        const auto rows = rowsOf(mass, L, L);
        const MultifractalResult r = analyseMultifractal(
            rows.data(), L, L, studyRequest(ResidualKind::kMeasure, L, shift, 0));
        double worst = 0;
        for (std::size_t k = 0; k < r.spectrum.q.size(); ++k) {
            const double q = r.spectrum.q[k];
            const double error = std::fabs(r.spectrum.tau[k] - pModelTau(kFractions, q));
            worst = std::max(worst, error);
            worstAll = std::max(worstAll, error);
            if (std::fabs(q) <= 2) worstSmall = std::max(worstSmall, error);
            meanAll += error;
            ++qs;
        }
        std::printf("seed %d: max |tau error| %.3f, width %.3f\n", seed, worst, r.width);
    }
    std::printf("pmodel L=%d shift=%.2f seeds %d..%d: max %.3f, max |q|<=2 %.3f, mean %.3f\n", L,
                shift, firstSeed, firstSeed + count - 1, worstAll, worstSmall, meanAll / qs);
    return 0;
}

// Spread (max - min) of h over q and mean h - H; with surrogates, the share called
// multifractal; coverage of H by the 90% intervals per q.
int fbmStudy(int L, double H, double shift, int firstSeed, int count, int surrogates) {
    double worstSpread = 0, meanSpread = 0, meanError = 0, worstMeanError = 0;
    int called = 0, covered = 0, intervals = 0;
    std::vector<double> ratios;  // |h - H| in jackknife errors, for the interval's factor
    for (int seed = firstSeed; seed < firstSeed + count; ++seed) {
        std::string error;
        const FbmPair pair = makeFbmPair(L, L, H, static_cast<std::uint64_t>(seed), error);
        if (!error.empty()) return std::fprintf(stderr, "%s\n", error.c_str()), 1;
        const auto rows = rowsOf(pair.first, L, L);
        MultifractalRequest request = studyRequest(ResidualKind::kSurface, L, shift, surrogates);
        request.seed = static_cast<std::uint64_t>(seed);
        const MultifractalResult r = analyseMultifractal(rows.data(), L, L, request);
        double lo = 1e9, hi = -1e9, mean = 0;
        for (std::size_t k = 0; k < r.spectrum.q.size(); ++k) {
            lo = std::min(lo, r.spectrum.h[k]);
            hi = std::max(hi, r.spectrum.h[k]);
            mean += r.spectrum.h[k];
            covered += r.hLow[k] <= H && H <= r.hHigh[k];
            const double error = (r.hHigh[k] - r.hLow[k]) / 2 / kMultifractalIntervalFactor;
            if (error > 0) ratios.push_back(std::fabs(r.spectrum.h[k] - H) / error);
            ++intervals;
        }
        mean /= static_cast<double>(r.spectrum.q.size());
        worstSpread = std::max(worstSpread, hi - lo);
        meanSpread += hi - lo;
        meanError += mean - H;
        worstMeanError = std::max(worstMeanError, std::fabs(mean - H));
        called += r.verdict() == "multifractal";
        std::printf("seed %d: spread %.3f, mean h - H %+.3f, p %.3f\n", seed, hi - lo, mean - H,
                    r.test.pValue);
    }
    std::sort(ratios.begin(), ratios.end());
    const double factor90 = ratios.empty() ? 0.0 : ratios[ratios.size() * 9 / 10];
    std::printf(
        "fbm L=%d H=%.2f shift=%.2f seeds %d..%d: spread mean %.3f max %.3f; mean h - H "
        "%+.3f (worst %.3f); coverage %.3f (90%% needs %.2f errors); called multifractal %d of "
        "%d\n",
        L, H, shift, firstSeed, firstSeed + count - 1, meanSpread / count, worstSpread,
        meanError / count, worstMeanError, static_cast<double>(covered) / intervals, factor90,
        called, count);
    return 0;
}

int pmodelTestStudy(int L, int firstSeed, int count, int surrogates) {
    int levels = 0;
    while ((1 << levels) < L) ++levels;
    int called = 0;
    for (int seed = firstSeed; seed < firstSeed + count; ++seed) {
        const std::vector<double> mass = makePModel(kFractions, levels, seed);
        const auto rows = rowsOf(mass, L, L);
        MultifractalRequest request = studyRequest(ResidualKind::kMeasure, L, 0.0, surrogates);
        request.seed = static_cast<std::uint64_t>(seed);
        const MultifractalResult r = analyseMultifractal(rows.data(), L, L, request);
        called += r.verdict() == "multifractal";
    }
    std::printf("pmodel test L=%d seeds %d..%d: called multifractal %d of %d\n", L, firstSeed,
                firstSeed + count - 1, called, count);
    return 0;
}

// The analysis (no surrogates) against a scaling analysis over the same sides, as `make bench`
// times it, on an exact fractional Brownian surface: the median of `runs` each.
int speedStudy(int L, int runs) {
    std::string error;
    const FbmPair pair = makeFbmPair(L, L, 0.5, 7, error);
    if (!error.empty()) return std::fprintf(stderr, "%s\n", error.c_str()), 1;
    const auto rows = rowsOf(pair.first, L, L);
    MultifractalRequest request;
    request.sides = defaultMultifractalSides(L, L);
    request.surrogates = 0;
    ScalingRequest scaling;
    scaling.sides = request.sides;
    // The three analyses take turns, so that a change in the machine's load (its cores are
    // shared) reaches all three medians alike.
    auto seconds = [](const std::function<void()>& work) {
        const auto start = std::chrono::steady_clock::now();
        work();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    std::vector<double> analyses, surfaces, measures;
    for (int k = 0; k < runs; ++k) {
        analyses.push_back(seconds([&] { analyseSurface(rows.data(), L, L, scaling); }));
        request.kind = ResidualKind::kSurface;
        surfaces.push_back(seconds([&] { analyseMultifractal(rows.data(), L, L, request); }));
        request.kind = ResidualKind::kMeasure;
        measures.push_back(seconds([&] { analyseMultifractal(rows.data(), L, L, request); }));
    }
    auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    const double analyse = median(analyses), surface = median(surfaces), measure = median(measures);
    std::printf(
        "speed L=%d, %zu sides: analyse %.3f s, multifractal %.3f s (%.2fx), measure "
        "%.3f s (%.2fx)\n",
        L, request.sides.size(), analyse, surface, surface / analyse, measure, measure / analyse);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> a(argv + 1, argv + argc);
    auto num = [&](std::size_t k) { return std::atof(a[k].c_str()); };
    auto whole = [&](std::size_t k) { return std::atoi(a[k].c_str()); };
    if (a.size() == 5 && a[0] == "pmodel") return pmodelStudy(whole(1), num(2), whole(3), whole(4));
    if ((a.size() == 6 || a.size() == 7) && a[0] == "fbm")
        return fbmStudy(whole(1), num(2), num(3), whole(4), whole(5), a.size() == 7 ? whole(6) : 0);
    if (a.size() == 3 && a[0] == "speed") return speedStudy(whole(1), whole(2));
    if (a.size() == 5 && a[0] == "test-pmodel")
        return pmodelTestStudy(whole(1), whole(2), whole(3), whole(4));
    std::fputs(
        "usage: vantrel-multifractal-study pmodel SIZE SHIFT FIRST_SEED COUNT\n"
        "       vantrel-multifractal-study fbm SIZE H SHIFT FIRST_SEED COUNT [SURROGATES]\n"
        "       vantrel-multifractal-study test-pmodel SIZE FIRST_SEED COUNT SURROGATES\n",
        stderr);
    return 2;
}
