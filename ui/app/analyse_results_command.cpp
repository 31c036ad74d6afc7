// "Analyse results...": the scaling analysis of the results file a Calculate wrote for the
// current input file, shown as its log-log plot above its summary. It writes nothing.

#include <new>

#include "collecting_host.h"
#include "loglog_plot.h"
#include "main_dialog.h"
#include "matrix_loader.h"
#include "output_files.h"
#include "platform.h"
#include "results_reader.h"
#include "scaling_analysis.h"
#include "scaling_report.h"

void MainDialog::OnAnalyseResults() {
    updateData(true);
    const std::string input = settings_.inputFile;
    const std::string resultsFile = resultsFileName(input);
    std::string error;
    const auto rows = readResultsFile(resultsFile, error);
    if (!rows || rows->empty())
        return showMessage("There are no results for " + input + " yet: Calculate writes them to " +
                           resultsFile);

    std::string text;
    std::optional<std::string> png;
    {
        WaitCursorScope wait(*this);
        DataMatrix data;
        // The data are read again only for their size and tiles; the user was asked about them
        // when Calculate read them, and what the loader says is not shown again.
        CollectingHost quiet;
        try {
            if (loadDataMatrix(quiet, input, data.rows, data.rowCount, data.columnCount)) {
                if (auto problem = scalingProblem(data.rowCount, data.columnCount)) {
                    text = *problem;
                } else {
                    const ScalingResult result =
                        fitResultsTable(data.rows, data.rowCount, data.columnCount, *rows, {});
                    text = scalingSummary(result, resultsFile);
                    png = renderLogLogPlot(result, PlotFormat::kPng);
                }
            }
        } catch (const std::bad_alloc&) {
        }
        freeMatrix(data.rows, data.rowCount, data.columnCount);
    }
    if (text.empty()) return showMessage("Error loading data");
    if (png) return platform().showPicture("Analyse results", *png, text);
    showMessage(text);
}
