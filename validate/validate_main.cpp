// vantrel-validate: the simulation study behind the scaling analysis's defaults and corrections.
// Exact fractional Brownian surfaces of known H go through the analysis with the default
// settings; the table gives the bias of H, its spread and how often the 90% interval covers the
// true value.
//
//   vantrel-validate [--calibrate] [--ranges | --maps] [--reps SCALE] [--cell ROWS COLUMNS H]
//
// --maps: the study of the roughness maps and the directional exponents (map_study.cpp).
//
// The calibration seeds (--calibrate, which also prints the uncorrected fits the corrections in
// scaling_calibration.h come from) and the report seeds are disjoint.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fbm_surface.h"
#include "map_study.h"
#include "range_study.h"
#include "scaling_analysis.h"

namespace {

constexpr unsigned long long kCalibrationSeeds = 1000;
constexpr unsigned long long kReportSeeds = 9000000;

struct Cell {
    int rows, columns, reps;
};

struct Tally {
    int n = 0, covered = 0, curved = 0;
    double sum = 0, sumSquares = 0, rawSum = 0, errorSum = 0;
    std::vector<double> standardised;       // |fitted H - true H| / jackknife error
    std::vector<double> rawErrors, errors;  // uncorrected H - true H, and the jackknife errors
    std::vector<double> driftErrors;        // |upper - lower slope| / its jackknife error
    // The largest drift of the local slope in its jackknife errors, which the curvature
    // warning's threshold must stay above on these surfaces.
    double largestDrift() const {
        return driftErrors.empty() ? 0.0
                                   : *std::max_element(driftErrors.begin(), driftErrors.end());
    }
    void add(const ScalingResult& result, double truth) {
        ++n;
        sum += result.hurst - truth;
        sumSquares += (result.hurst - truth) * (result.hurst - truth);
        rawSum += result.fit.hurst - truth;
        errorSum += result.fit.standardError;
        covered += result.low <= truth && truth <= result.high;
        for (const std::string& code : result.warningCodes) curved += code == "curved";
        const HurstFit& fit = result.fit;
        if (fit.slopeDriftError > 0)
            driftErrors.push_back(std::fabs(fit.upperSlope - fit.lowerSlope) / fit.slopeDriftError);
        standardised.push_back(std::fabs(result.hurst - truth) / result.fit.standardError);
        rawErrors.push_back(result.fit.hurst - truth);
        errors.push_back(result.fit.standardError);
    }
    // The same once this cell's own mean bias is taken off the uncorrected fits: what the factor
    // must be once the bias curve is in place.
    double neededFactorUnbiased() const {
        const double mean = rawSum / n;
        std::vector<double> z;
        for (std::size_t k = 0; k < rawErrors.size(); ++k)
            z.push_back(std::fabs(rawErrors[k] - mean) / errors[k]);
        std::sort(z.begin(), z.end());
        return z[static_cast<std::size_t>(0.9 * (z.size() - 1))];
    }
    // The half-width, in jackknife errors, that 90% of the intervals need.
    double neededFactor() {
        std::sort(standardised.begin(), standardised.end());
        return standardised[static_cast<std::size_t>(0.9 * (standardised.size() - 1))];
    }
    double bias() const { return sum / n; }
    double spread() const { return std::sqrt(std::max(0.0, sumSquares / n - bias() * bias())); }
};

ScalingResult analyse(const std::vector<double>& values, int rows, int columns) {
    std::vector<const double*> table;
    for (int i = 0; i < rows; ++i)
        table.push_back(values.data() + static_cast<std::size_t>(i) * columns);
    ScalingRequest request;
    return analyseSurface(table.data(), rows, columns, request);
}

}  // namespace

int main(int argc, char** argv) {
    bool calibrate = false, ranges = false, maps = false;
    int onlyRows = 0, onlyColumns = 0;
    double onlyHurst = 0.0;
    double scale = 1.0;
    for (int k = 1; k < argc; ++k) {
        const std::string option = argv[k];
        if (option == "--calibrate")
            calibrate = true;
        else if (option == "--ranges")
            ranges = true;
        else if (option == "--maps")
            maps = true;
        else if (option == "--cell" && k + 3 < argc) {
            // One cell of the table alone, for a closer look at it with more surfaces.
            onlyRows = std::atoi(argv[++k]);
            onlyColumns = std::atoi(argv[++k]);
            onlyHurst = std::atof(argv[++k]);
        } else if (option == "--reps" && k + 1 < argc)
            scale = std::atof(argv[++k]);
        else {
            std::fprintf(
                stderr,
                "usage: vantrel-validate [--calibrate] [--ranges | --maps] [--reps SCALE] [--cell "
                "ROWS COLUMNS H]\n");
            return 2;
        }
    }
    if (ranges) return printRangeStudy(scale), 0;
    if (maps) return printMapStudy(calibrate, scale), 0;
    const double hursts[] = {0.2, 0.35, 0.5, 0.65, 0.8};
    const Cell cells[] = {{64, 64, 400},  {128, 128, 200}, {256, 256, 100},
                          {512, 512, 50}, {384, 640, 50},  {1024, 1024, 16}};
    const unsigned long long base = calibrate ? kCalibrationSeeds : kReportSeeds;

    std::printf("%s seeds from %llu; each seed gives two surfaces\n\n",
                calibrate ? "calibration" : "report", base);
    std::printf("| size | H | surfaces | bias | spread | coverage of 90%% interval | curved |%s\n",
                calibrate ? " uncorrected bias | spread / jackknife error | factor needed | factor "
                            "needed, bias removed | largest slope drift / error |"
                          : "");
    std::printf("|---|---|---|---|---|---|---|%s\n", calibrate ? "---|---|---|---|---|" : "");
    for (const Cell& cell : cells) {
        for (double hurst : hursts) {
            if (onlyRows > 0 && (cell.rows != onlyRows || cell.columns != onlyColumns ||
                                 std::fabs(hurst - onlyHurst) > 1e-9))
                continue;
            Tally tally;
            const int reps = std::max(1, static_cast<int>(cell.reps * scale));
            for (int r = 0; r < (reps + 1) / 2; ++r) {
                std::string error;
                const unsigned long long seed = base + static_cast<unsigned long long>(r) * 7919 +
                                                static_cast<unsigned long long>(hurst * 100);
                const FbmPair pair = makeFbmPair(cell.rows, cell.columns, hurst, seed, error);
                tally.add(analyse(pair.first, cell.rows, cell.columns), hurst);
                tally.add(analyse(pair.second, cell.rows, cell.columns), hurst);
            }
            std::printf("| %d x %d | %.2f | %d | %+.4f | %.4f | %.1f%% | %d |", cell.rows,
                        cell.columns, hurst, tally.n, tally.bias(), tally.spread(),
                        100.0 * tally.covered / tally.n, tally.curved);
            if (calibrate)
                std::printf(" %+.4f | %.2f | %.2f | %.2f | %.2f |", tally.rawSum / tally.n,
                            tally.spread() / (tally.errorSum / tally.n), tally.neededFactor(),
                            tally.neededFactorUnbiased(), tally.largestDrift());
            std::printf("\n");
            std::fflush(stdout);
        }
    }
    return 0;
}
