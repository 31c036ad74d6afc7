// The plot where the build found no cairo (the Windows programs): no pictures, and a message
// that says why.

#include "loglog_plot.h"

void drawLogLogPlotOn(cairo_t*, double, double, const ScalingResult&) {}

std::optional<std::string> renderLogLogPlot(const ScalingResult&, PlotFormat) {
    return std::nullopt;
}

bool drawLogLogPlot(const ScalingResult&, const std::string& path, std::string& error) {
    error = "Cannot draw " + path + ": this build of Vantrel has no cairo, which plots need";
    return false;
}
