#include "analysis_run.h"

#include "area_sweep.h"
#include "output_check.h"
#include "output_files.h"
#include "progression.h"
#include "run_preview.h"

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

// The files the run reads: the data file and, when the settings use one, the progression file.
std::vector<std::string> runInputs(const AnalysisSettings& settings) {
    std::vector<std::string> inputs = {settings.inputFile};
    if (settings.useProgressionFile != 0) inputs.push_back(settings.progressionFile);
    return inputs;
}

// The surface files the run will write for these areas, none when it writes none.
std::vector<std::string> surfaceOutputs(const AnalysisSettings& settings, const RunOptions& options,
                                        const ComputeOptions& compute, const AreaList& areas) {
    std::vector<std::string> files;
    if (options.generateSurfaces != 1) return files;
    for (int k = 0; k < areas.count; ++k)
        if (k == 0 || areas[k] != areas[k - 1])
            files.push_back(compute.method == SurfaceMethod::kFast
                                ? fastSurfaceFileName(settings.inputFile, areas[k])
                                : surfaceFileName(settings.inputFile, areas[k], options.optimise));
    return files;
}

}  // namespace

void runAnalysis(const AnalysisSettings& settings, const RunOptions& options, RunHost& host,
                 const ComputeOptions& compute, const ReadOptions& read) {
    // No output may be an input: the results file is known now, the surface files once the
    // areas are; both are checked before the data is read and before anything is written.
    const std::string resultsFile =
        compute.resultsFile.empty() ? resultsFileName(settings.inputFile) : compute.resultsFile;
    const std::vector<std::string> inputs = runInputs(settings);
    if (auto clash = outputThatIsAnInput(inputs, {resultsFile})) return host.showMessage(*clash);
    AreaList areas;
    if (compute.areas.empty()) {
        ProgressionSpec request = progressionRequest(settings);
        if (auto problem = request.ruleProblem()) return host.showMessage(*problem);
        areas = request.buildAreaList();
    } else {
        for (int area : compute.areas) areas.add(area);
    }
    if (areas.count == 0) return host.showMessage("Progression is empty");
    if (auto problem = areaProblem({areas.begin(), areas.end()})) return host.showMessage(*problem);
    if (auto problem = shiftProblem(settings.nShift, settings.mShift))
        return host.showMessage(*problem);
    if (auto clash = outputThatIsAnInput(inputs, surfaceOutputs(settings, options, compute, areas)))
        return host.showMessage(*clash);

    ReadOptions reading = read;
    reading.threads = compute.threads;
    reading.commentLines = false;  // every line of a text matrix is data to the run
    // The matrix is released on every way out; its units have no place in the results file.
    std::optional<DataMatrix> data = loadSurfaceFile(host, settings.inputFile, reading);
    if (!data) return host.showMessage("Error loading data");
    const int R = data->rowCount();
    const int C = data->columnCount();
    if (options.normalise == 1) normaliseMatrix(*data);

    ComputeOptions computing = compute;
    if (computing.cancel == nullptr) computing.cancel = host.cancelToken();
    AreaSweep sweep(data->rows(), R, C, settings.nShift, settings.mShift, options.optimise,
                    options.generateSurfaces == 1, computing);
    GrowArray<double> residuals;
    residuals.setSize(areas.count);

    if (!createEmptyFile(resultsFile)) return host.showMessage("Error writing to " + resultsFile);
    host.beforeFirstArea({data->rows(), R, C, std::vector<int>(areas.begin(), areas.end()),
                          settings, options, compute, resultsFile});

    for (int k = 0; k < areas.count; ++k) {
        const int area = areas[k];
        host.areaStarted(k, areas.count, area);
        throwIfCancelled(computing.cancel);
        residuals[k] = sweep.residualOf(area);

        if (options.generateSurfaces == 1) {
            std::string surfaceFile =
                compute.method == SurfaceMethod::kFast
                    ? fastSurfaceFileName(settings.inputFile, area)
                    : surfaceFileName(settings.inputFile, area, options.optimise);
            if (!writeSurfaceFile(surfaceFile, sweep.surface(), R, C, &sweep.pool()))
                return host.showMessage("Error writing to " + surfaceFile);
        }

        if (!appendToFile(resultsFile, resultsLine(area, residuals[k], options.outputPrecision)))
            return host.showMessage("Error writing to " + resultsFile);
    }
}
