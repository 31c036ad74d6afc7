// "Analyse results...": the scaling analysis of the results file a Calculate wrote for the
// current input file, shown as its log-log plot above its summary. It writes nothing unless the
// user saves the plot.

#include <new>

#include "main_dialog.h"
#include "matrix_loader.h"
#include "output_files.h"
#include "platform.h"
#include "plot_files.h"
#include "png_encoder.h"
#include "results_reader.h"
#include "scaling_analysis.h"
#include "scaling_plot.h"
#include "scaling_report.h"
#include "shared_sides.h"

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
    std::optional<PlotWindowRequest> plot;
    {
        WaitCursorScope wait(*this);
        DataMatrix data;
        SilentLoadHost quiet;
        try {
            if (loadDataMatrix(quiet, input, data.rows, data.rowCount, data.columnCount)) {
                if (auto problem = scalingProblem(data.rowCount, data.columnCount)) {
                    text = *problem;
                } else {
                    const ScalingResult result =
                        fitResultsTable(data.rows, data.rowCount, data.columnCount, *rows, {});
                    ScalingPlotOptions options;
                    options.notes = sharedSideNotes(*rows);
                    text = scalingSummary(result, resultsFile);
                    for (const std::string& note : options.notes) text += "Note: " + note + "\n";
                    plot.emplace();
                    plot->scene = layoutFigure(scalingFigure(result, options));
                    plot->copyText = text + "\n" + scalingTsv(result);
                }
            }
        } catch (const std::bad_alloc&) {
        }
        freeMatrix(data.rows, data.rowCount, data.columnCount);
    }
    if (text.empty()) return showMessage("Error loading data");
    if (!plot) return showMessage(text);
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
