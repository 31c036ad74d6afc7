#include "analysis_run.h"

#include <optional>

#include "matrix_loader.h"
#include "number_format.h"
#include "output_files.h"
#include "progression.h"
#include "run_preview.h"
#include "surface_calculator.h"
#include "window_geometry.h"

namespace {

ProgressionSpec progressionRequest(const AnalysisSettings& settings) {
    ProgressionSpec request;
    if (settings.useProgressionFile != 0) {
        request.type = kProgressionFile;
        request.file = settings.progressionFile;
    } else {
        request.from = settings.from;
        request.to = settings.to;
        request.step = settings.step;
        request.type = settings.progressionType;
    }
    return request;
}

// A window of side 0 has no cells, so every area must be at least 1.
std::optional<std::string> areaProblem(const AreaList& areas) {
    for (int area : areas)
        if (area < 1)
            return "Area " + std::to_string(area) +
                   " is below 1: every window area must be at "
                   "least 1";
    return std::nullopt;
}

// Shifts outside [0, 1] would place windows outside the data.
std::optional<std::string> shiftProblem(const AnalysisSettings& settings) {
    auto outside = [](double shift) { return !(shift >= 0.0 && shift <= 1.0); };
    if (outside(settings.nShift))
        return "The n shift " + shortestText(settings.nShift) + " must lie between 0 and 1";
    if (outside(settings.mShift))
        return "The m shift " + shortestText(settings.mShift) + " must lie between 0 and 1";
    return std::nullopt;
}

// Owns the run's two matrices and releases them on every way out.
struct RunMatrices {
    DataMatrix data;
    RowTable surface = nullptr;
    ~RunMatrices() {
        freeMatrix(data.rows, data.rowCount, data.columnCount);
        freeMatrix(surface, data.rowCount, data.columnCount);
    }
};

}  // namespace

void runAnalysis(const AnalysisSettings& settings, const RunOptions& options, RunHost& host,
                 const ComputeOptions& compute) {
    ProgressionSpec request = progressionRequest(settings);
    if (auto problem = request.neverEndingRuleProblem()) return host.showMessage(*problem);
    AreaList areas = request.buildAreaList();
    if (areas.count == 0) return host.showMessage("Progression is empty");
    if (auto problem = areaProblem(areas)) return host.showMessage(*problem);
    if (auto problem = shiftProblem(settings)) return host.showMessage(*problem);

    RunMatrices matrices;
    DataMatrix& data = matrices.data;
    if (!loadDataMatrix(host, settings.inputFile, data.rows, data.rowCount, data.columnCount,
                        compute.threads))
        return host.showMessage("Error loading data");
    const int R = data.rowCount;
    const int C = data.columnCount;
    if (options.normalise == 1) normaliseMatrix(data.rows, R, C);

    // The fast method sums its residual as it goes and needs the surface only for its files.
    const bool fast = compute.method == SurfaceMethod::kFast;
    if (!fast || options.generateSurfaces == 1) allocateMatrix(matrices.surface, R, C);
    ComputedRegion written = emptyRegion();  // where the surface may hold values other than 0
    SurfaceCalculator calculator(compute);
    std::optional<FastCentre> centre;
    if (fast) centre.emplace(calculator.pool(), data.rows, R, C);
    GrowArray<double> residuals;
    residuals.setSize(areas.count);

    const std::string resultsFile =
        compute.resultsFile.empty() ? resultsFileName(settings.inputFile) : compute.resultsFile;
    if (!createEmptyFile(resultsFile)) return host.showMessage("Error writing to " + resultsFile);
    host.beforeFirstArea({data.rows, R, C, std::vector<int>(areas.begin(), areas.end()), settings,
                          options, compute, resultsFile});

    for (int k = 0; k < areas.count; ++k) {
        const int area = areas[k];
        host.areaStarted(k, areas.count, area);
        WindowGeometry geometry = windowGeometry(area, settings.nShift, settings.mShift);
        if (fast)
            residuals[k] = calculator.computeFast(matrices.surface, written, data.rows, R, C,
                                                  geometry, *centre);
        else
            residuals[k] = calculator.computeExact(matrices.surface, written, data.rows, R, C,
                                                   geometry, options.optimise);

        if (options.generateSurfaces == 1) {
            std::string surfaceFile =
                fast ? fastSurfaceFileName(settings.inputFile, area)
                     : surfaceFileName(settings.inputFile, area, options.optimise);
            if (!writeSurfaceFile(surfaceFile, matrices.surface, R, C, &calculator.pool()))
                return host.showMessage("Error writing to " + surfaceFile);
        }

        if (!appendToFile(resultsFile, resultsLine(area, residuals[k], options.outputPrecision)))
            return host.showMessage("Error writing to " + resultsFile);
    }
}
