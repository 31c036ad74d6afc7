// "Analyse results...": the scaling analysis of the results file a Calculate wrote for the
// current input file, shown as its log-log plot above its summary. It reads the input file as
// Calculate reads it, with the dialog's own shifts and normalisation, and writes nothing.

#include <new>

#include "area_sweep.h"
#include "loglog_plot.h"
#include "main_dialog.h"
#include "output_files.h"
#include "platform.h"
#include "results_analysis.h"
#include "results_reader.h"
#include "scaling_analysis.h"
#include "scaling_report.h"
#include "surface_file.h"

namespace {

// The data are read again only for their size and tiles; the user was asked about them when
// Calculate read them. What the reader says is kept, and why the file could not be opened.
class QuietLoadHost : public RunHost {
  public:
    explicit QuietLoadHost(RunHost& shown) : shown_(shown) {}
    void showMessage(const std::string& text) override {
        said += (said.empty() ? "" : "\n") + text;
    }
    bool askYesNo(const std::string&) override { return true; }
    void setDataSizeText(const std::string&) override {}
    void beginWaitCursor() override { shown_.beginWaitCursor(); }
    void endWaitCursor() override { shown_.endWaitCursor(); }
    void dataFileUnreadable(const std::string& path, int error) override {
        shown_.dataFileUnreadable(path, error);
    }
    std::string said;

  private:
    RunHost& shown_;
};

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
    std::optional<std::string> png;
    loadNote_.begin(input);
    {
        WaitCursorScope wait(*this);
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
        text = scalingSummary(*analysis.result, resultsFile);
        png = renderLogLogPlot(*analysis.result, PlotFormat::kPng);
    }
    if (png) return platform().showPicture("Analyse results", *png, text);
    showMessage(text);
}
