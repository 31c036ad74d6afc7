#pragma once

#include <optional>
#include <string>

#include "scaling_analysis.h"

// The log-log plot of a scaling analysis: sigma2 against the window side, fitted points filled
// and the others hollow, the fitted line over the fit range, the range shaded, and H with its
// interval in the legend. The same drawing serves files and the dialog's window.

enum class PlotFormat { kSvg, kPng, kPdf };

typedef struct _cairo cairo_t;  // as cairo.h declares it

// The format a file name asks for by its ending, or nothing.
std::optional<PlotFormat> plotFormatOf(const std::string& path);

// Draws the plot on `cairo` in a width x height box at the origin.
void drawLogLogPlotOn(cairo_t* cairo, double width, double height, const ScalingResult& result);

// The plot as the bytes of a file of the format (640 x 480 points), or nothing when cairo fails.
std::optional<std::string> renderLogLogPlot(const ScalingResult& result, PlotFormat format);

// Writes the plot to `path` in the format its ending names (640 x 480 points). The same result
// gives the same bytes for SVG. Returns false with `error` set when the file cannot be written.
bool drawLogLogPlot(const ScalingResult& result, const std::string& path, std::string& error);
