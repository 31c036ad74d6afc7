#include "map_study.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "directional_analysis.h"
#include "fbm_surface.h"
#include "hurst_map.h"
#include "map_calibration.h"
#include "truth_surfaces.h"

namespace {

constexpr unsigned long long kCalibrationSeeds = 5000;
constexpr unsigned long long kReportSeeds = 7000000;
constexpr int kSize = 1024;

std::vector<const double*> rowsOf(const std::vector<double>& values, int columns) {
    std::vector<const double*> rows;
    for (std::size_t i = 0; i < values.size(); i += static_cast<std::size_t>(columns))
        rows.push_back(values.data() + i);
    return rows;
}

// Errors of estimates, with their jackknife errors where there are some.
struct Errors {
    std::vector<double> errors, standardErrors;
    int covered = 0;
    void add(double error, double standardError, bool cover) {
        errors.push_back(error);
        standardErrors.push_back(standardError);
        covered += cover;
    }
    double mean() const {
        double sum = 0;
        for (double e : errors) sum += e;
        return sum / errors.size();
    }
    double rmse() const {
        double sum = 0;
        for (double e : errors) sum += e * e;
        return std::sqrt(sum / errors.size());
    }
    double worst() const {
        double w = 0;
        for (double e : errors) w = std::max(w, std::fabs(e));
        return w;
    }
    double coverage() const { return 100.0 * covered / errors.size(); }
    // The half-width in jackknife errors that `share` of the intervals need, once `bias` is
    // taken off the errors.
    double factorFor(double share, double bias = 0.0) const {
        std::vector<double> z;
        for (std::size_t k = 0; k < errors.size(); ++k)
            z.push_back(std::fabs(errors[k] - bias) / standardErrors[k]);
        std::sort(z.begin(), z.end());
        return z[static_cast<std::size_t>(share * (z.size() - 1))];
    }
};

void mosaicStudy(unsigned long long base, int reps, bool calibrate) {
    const double hurst[4] = {0.2, 0.4, 0.6, 0.8};
    MapRequest request;
    Errors quadrant[4];
    for (int r = 0; r < reps; ++r) {
        std::string error;
        const std::vector<double> mosaic = makeFbmMosaic(kSize, kSize, hurst, base + r, error);
        const auto rows = rowsOf(mosaic, kSize);
        const HurstMap map =
            computeHurstMaps(rows.data(), kSize, kSize, request, {WindowAxis::kSquare})[0];
        const int halo = mapHalo(map.sides), half = kSize / 2;
        for (int a = 0; a < map.layout.tileRows; ++a)
            for (int b = 0; b < map.layout.tileColumns; ++b) {
                // Inner tiles: the tile and its halo in one quadrant.
                const int r0 = a * request.stride - halo,
                          r1 = a * request.stride + request.tile + halo;
                const int c0 = b * request.stride - halo,
                          c1 = b * request.stride + request.tile + halo;
                if ((r0 < half && r1 > half) || (c0 < half && c1 > half)) continue;
                const int q = (r0 >= half ? 2 : 0) + (c0 >= half ? 1 : 0);
                const std::size_t t = static_cast<std::size_t>(a) * map.layout.tileColumns + b;
                const double truth = hurst[q];
                quadrant[q].add(map.hurst[t] - truth,
                                (map.high[t] - map.hurst[t]) / kMapIntervalFactor,
                                map.low[t] <= truth && truth <= map.high[t]);
            }
    }
    std::printf("Mosaic %d x %d, tiles %d every %d, sides %d to %d, %d mosaics\n\n", kSize, kSize,
                request.tile, request.stride, mapSides(request).front(), mapSides(request).back(),
                reps);
    std::printf("| quadrant H | inner tiles | mean bias | RMSE | largest error | coverage |%s\n",
                calibrate ? " factor for 90% | factor for 85% |" : "");
    std::printf("|---|---|---|---|---|---|%s\n", calibrate ? "---|---|" : "");
    for (int q = 0; q < 4; ++q) {
        const Errors& e = quadrant[q];
        std::printf("| %.1f | %zu | %+.4f | %.4f | %.3f | %.1f%% |", hurst[q], e.errors.size(),
                    e.mean(), e.rmse(), e.worst(), e.coverage());
        if (calibrate) std::printf(" %.2f | %.2f |", e.factorFor(0.9), e.factorFor(0.85));
        std::printf("\n");
    }
    std::printf("\n");
    std::fflush(stdout);
}

void directionalStudy(unsigned long long base, int reps, bool calibrate) {
    ScalingRequest request;
    // The sheet (H1 down the columns, H2 along the rows).
    const double pairs[][2] = {{0.3, 0.7}, {0.5, 0.5}, {0.7, 0.4}};
    std::printf("Directional exponents, %d x %d, default sides\n\n", kSize, kSize);
    std::printf(
        "| surface | n | rows: mean error, worst | columns: mean error, worst | "
        "difference: mean error, worst | coverage rows / columns / difference |%s\n",
        calibrate ? " factors for 90% | the same, each column's bias removed |" : "");
    std::printf("|---|---|---|---|---|---|%s\n", calibrate ? "---|---|" : "");
    auto report = [&](const char* name, const Errors& rows, const Errors& columns,
                      const Errors& difference) {
        std::printf(
            "| %s | %zu | %+.3f, %.3f | %+.3f, %.3f | %+.3f, %.3f | %.0f%% / %.0f%% / %.0f%% |",
            name, rows.errors.size(), rows.mean(), rows.worst(), columns.mean(), columns.worst(),
            difference.mean(), difference.worst(), rows.coverage(), columns.coverage(),
            difference.coverage());
        if (calibrate)
            std::printf(" %.2f / %.2f / %.2f | %.2f / %.2f / %.2f |", rows.factorFor(0.9),
                        columns.factorFor(0.9), difference.factorFor(0.9),
                        rows.factorFor(0.9, rows.mean()), columns.factorFor(0.9, columns.mean()),
                        difference.factorFor(0.9, difference.mean()));
        std::printf("\n");
        std::fflush(stdout);
    };
    auto add = [&](const DirectionalResult& d, double h1, double h2, Errors& rows, Errors& columns,
                   Errors& difference) {
        const double f = kDirectionalIntervalFactor;
        // The calibration reads the fits before the bias correction.
        const double rowsFit = calibrate ? d.rows.fit.hurst : d.rows.hurst;
        const double columnsFit = calibrate ? d.columns.fit.hurst : d.columns.hurst;
        rows.add(rowsFit - h2, (d.rows.high - d.rows.hurst) / f,
                 d.rows.low <= h2 && h2 <= d.rows.high);
        columns.add(columnsFit - h1, (d.columns.high - d.columns.hurst) / f,
                    d.columns.low <= h1 && h1 <= d.columns.high);
        difference.add(d.anisotropy - (h2 - h1),
                       (d.high - d.anisotropy) / kAnisotropyIntervalFactor,
                       d.low <= h2 - h1 && h2 - h1 <= d.high);
    };
    for (const auto& pair : pairs) {
        Errors rows, columns, difference;
        for (int r = 0; r < reps; ++r) {
            std::string error;
            const std::vector<double> sheet =
                makeFbmSheet(kSize, kSize, pair[0], pair[1],
                             base + 100 + r * 7 + static_cast<unsigned>(pair[0] * 10), error);
            const auto table = rowsOf(sheet, kSize);
            add(analyseDirections(table.data(), kSize, kSize, request), pair[0], pair[1], rows,
                columns, difference);
        }
        char name[64];
        std::snprintf(name, sizeof name, "sheet (%.1f, %.1f)", pair[0], pair[1]);
        report(name, rows, columns, difference);
    }
    for (double h : {0.3, 0.5, 0.7}) {
        Errors rows, columns, difference;
        for (int r = 0; r < (reps * 2 + 1) / 2; ++r) {
            std::string error;
            const FbmPair pair = makeFbmPair(kSize, kSize, h, base + 200 + r, error);
            for (const auto* surface : {&pair.first, &pair.second}) {
                const auto table = rowsOf(*surface, kSize);
                add(analyseDirections(table.data(), kSize, kSize, request), h, h, rows, columns,
                    difference);
            }
        }
        char name[64];
        std::snprintf(name, sizeof name, "isotropic %.1f", h);
        report(name, rows, columns, difference);
    }
    std::printf("\n");
}

}  // namespace

void printMapStudy(bool calibrate, double scale) {
    const unsigned long long base = calibrate ? kCalibrationSeeds : kReportSeeds;
    std::printf("%s seeds from %llu\n\n", calibrate ? "calibration" : "report", base);
    mosaicStudy(base, std::max(1, static_cast<int>(8 * scale)), calibrate);
    directionalStudy(base, std::max(2, static_cast<int>(10 * scale)), calibrate);
}
