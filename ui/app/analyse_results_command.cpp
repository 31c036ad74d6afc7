// "Analyse results...": the scaling analysis of the results file a Calculate wrote for the
// current input file, shown as its log-log plot above its summary. It reads the input file as
// Calculate reads it, with the dialog's own shifts and normalisation, and writes nothing unless
// the user saves the plot.

#include <new>

#include "area_sweep.h"
#include "main_dialog.h"
#include "output_files.h"
#include "platform.h"
#include "plot_saving.h"
#include "quiet_load_host.h"
#include "results_analysis.h"
#include "results_reader.h"
#include "scaling_analysis.h"
#include "scaling_plot.h"
#include "scaling_report.h"
#include "shared_sides.h"
#include "surface_file.h"

namespace {

// Where areas of the results give one side: the notes the summary and the plot add.
std::vector<std::string> sharedSideNotesOf(const std::vector<ResultsRow>& rows) {
    std::vector<std::pair<int, double>> areas;
    for (const ResultsRow& row : rows) areas.push_back({row.area, row.residual});
    return sharedSideNotes(areas);
}

}  // namespace

void MainDialog::OnAnalyseResults() {
    updateData(true);
    const std::string input = settings_.inputFile;
    if (input.empty())
        return showMessage(
            "Analyse results needs the input file whose results Calculate wrote: type its name "
            "in Input file, or choose it with the \"...\" button beside it.");
    const std::string resultsFile = resultsFileName(input);
    std::string error;
    const auto rows = readResultsRows(resultsFile, error);
    if (!rows || rows->empty())
        return showMessage("There are no results for " + input + " yet: Calculate writes them to " +
                           resultsFile);
    if (auto problem = shiftProblem(settings_.nShift, settings_.mShift))
        return showMessage(*problem);
    // The dialog's own settings, which the analysis checks against the data before it fits: a
    // results file written under others is refused, not fitted wrongly.
    ResultsAnalysisRequest request;
    request.nShift = settings_.nShift;
    request.mShift = settings_.mShift;
    request.normalise = options_.normalise == 1 ? NormaliseSetting::kOn : NormaliseSetting::kOff;

    std::string text;
    std::optional<PlotWindowRequest> plot;
    loadNote_.begin(input);
    {
        WaitCursorScope wait(*this);
        // The data are read again only for their size and tiles; the user was asked about them
        // when Calculate read them.
        QuietLoadHost quiet(*this);
        const std::optional<DataMatrix> data = loadSurfaceFile(quiet, input, ReadOptions{});
        if (!data) {
            // Without words of the reader's, the note adds the file and the system's reason.
            if (quiet.said.empty()) return showMessage("Error loading data");
            return showMessage("Error loading data\n\n" + input + "\n" + quiet.said);
        }
        const int R = data->rowCount(), C = data->columnCount();
        if (auto problem = scalingProblem(R, C)) return showMessage(*problem);
        ResultsAnalysis analysis = analyseResults(*rows, resultsFile, data->rows(), R, C, request);
        if (!analysis.result) return showMessage(analysis.error);
        // The values' unit labels the plot's value axis, where the file names one.
        analysis.result->sideUnit.valueName =
            data->units.valueUnit == "metre" || data->units.valueUnit == "meter"
                ? "m"
                : data->units.valueUnit;
        ScalingPlotOptions options;
        options.notes = sharedSideNotesOf(*rows);
        text = scalingSummary(*analysis.result, resultsFile);
        for (const std::string& note : options.notes) text += "Note: " + note + "\n";
        plot.emplace();
        plot->scene = layoutFigure(scalingFigure(*analysis.result, options));
        plot->copyText = text + "\n" + scalingTsv(*analysis.result);
    }
    plot->title = "Analyse results";
    plot->summary = text;
    plot->saveFilter = plotSaveFilter(platform());
    // The window may be kept (the test platform keeps it): the button holds its own scene.
    Platform& system = platform();
    plot->save = [&system, scene = plot->scene,
                  inputs = std::vector<std::string>{input, resultsFile}](const std::string& path) {
        return savePlotScene(system, scene, path, inputs);
    };
    platform().showPlot(*plot);
}
