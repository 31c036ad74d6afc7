#pragma once

#include <string>
#include <vector>

#include "plot_figure.h"
#include "scaling_analysis.h"

// The log-log plot of a scaling analysis, the one description that the files and the dialog's
// window draw: sigma² against the window side, fitted points filled and the others hollow, the
// fit range shaded, the fitted line, the local slopes where the line is curved, H with its
// interval in the legend and the warnings under the axes.

struct ScalingPlotOptions {
    double width = 640.0, height = 480.0;  // points
    double dpi = 72.0;                     // a PNG's pixels per inch
    std::string title;
    // The surface values' unit ("m"); empty: the result's sideUnit.valueName, where the file
    // named one.
    std::string valueUnit;
    std::vector<std::string> notes;  // drawn under the axes after the result's warnings
};

PlotFigure scalingFigure(const ScalingResult& result, const ScalingPlotOptions& options);

// The unit of sigma² for values in `unit`: "m" gives "m²", "m/s" gives "(m/s)²".
std::string squaredUnit(const std::string& unit);

// Writes the plot to `path` in the format its ending names. Returns false with `error` set when
// the file cannot be written.
bool writeScalingPlot(const ScalingResult& result, const ScalingPlotOptions& options,
                      const std::string& path, std::string& error);
