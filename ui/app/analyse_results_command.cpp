// "Analyse results...": the scaling analysis of the results file a Calculate wrote for the
// current input file, shown as its log-log plot above its summary. It reads the input file as
// Calculate reads it, with the dialog's own shifts and normalisation, and writes nothing unless
// the user saves the plot.

#include <new>

#include "area_sweep.h"
#include "main_dialog.h"
#include "output_files.h"
#include "platform.h"
#include "plot_files.h"
#include "png_encoder.h"
#include "results_analysis.h"
#include "results_reader.h"
#include "scaling_analysis.h"
#include "scaling_plot.h"
#include "scaling_report.h"
#include "shared_sides.h"
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

// The formats the plot can be saved in here: those the build draws itself, and PNG where the
// platform draws it.
bool platformDrawsPng(Platform& platform) {
    int width = 0, height = 0;
    PlotScene probe;
    probe.width = probe.height = 1;
    return !plotFormatAvailable(PlotFormat::kPng) &&
           platform.drawPlotPixels(probe, 1.0, width, height).has_value();
}

std::string saveFilter(Platform& platform) {
    std::string filter = "SVG image (*.svg)|*.svg|";
    if (plotFormatAvailable(PlotFormat::kPng) || platformDrawsPng(platform))
        filter += "PNG image (*.png)|*.png|";
    if (plotFormatAvailable(PlotFormat::kPdf)) filter += "PDF document (*.pdf)|*.pdf|";
    return filter + "|";
}

// Writes the scene to `path`; nothing when written, else the message for the user.
std::optional<std::string> savePlot(Platform& platform, const PlotScene& scene,
                                    const std::string& path) {
    const auto format = plotFormatOf(path);
    if (!format)
        return "Cannot save the plot as " + path + ": the name must end in .svg, .png or .pdf";
    std::string error;
    if (*format == PlotFormat::kPng && platformDrawsPng(platform)) {
        int width = 0, height = 0;
        const auto pixels = platform.drawPlotPixels(scene, 1.0, width, height);
        if (pixels && writeBytesFile(path, encodePng(width, height, *pixels))) return std::nullopt;
        return "Error writing to " + path;
    }
    if (writePlotFile(scene, path, 72.0, error)) return std::nullopt;
    return error;
}

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
    plot->saveFilter = saveFilter(platform());
    // The window may be kept (the test platform keeps it): the button holds its own scene.
    Platform& system = platform();
    plot->save = [&system, scene = plot->scene](const std::string& path) {
        return savePlot(system, scene, path);
    };
    platform().showPlot(*plot);
}
