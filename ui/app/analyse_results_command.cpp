// "Analyse results...": the scaling analysis of the results file a Calculate wrote for the
// current input file, shown as its log-log plot above its summary. It writes nothing.

#include <new>

#include "loglog_plot.h"
#include "main_dialog.h"
#include "matrix_loader.h"
#include "output_files.h"
#include "platform.h"
#include "results_reader.h"
#include "scaling_analysis.h"
#include "scaling_report.h"

namespace {

// The data are read again only for their size and tiles; the user was asked about them when
// Calculate read them.
class SilentLoadHost : public RunHost {
  public:
    void showMessage(const std::string&) override {}
    bool askYesNo(const std::string&) override { return true; }
    void setDataSizeText(const std::string&) override {}
    void beginWaitCursor() override {}
    void endWaitCursor() override {}
};

}  // namespace

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
        SilentLoadHost quiet;
        try {
            if (const auto data = loadDataMatrix(quiet, input)) {
                const int R = data->rowCount(), C = data->columnCount();
                if (auto problem = scalingProblem(R, C)) {
                    text = *problem;
                } else {
                    const ScalingResult result = fitResultsTable(data->rows(), R, C, *rows, {});
                    text = scalingSummary(result, resultsFile);
                    png = renderLogLogPlot(result, PlotFormat::kPng);
                }
            }
        } catch (const std::bad_alloc&) {
        }
    }
    if (text.empty()) return showMessage("Error loading data");
    if (png) return platform().showPicture("Analyse results", *png, text);
    showMessage(text);
}
