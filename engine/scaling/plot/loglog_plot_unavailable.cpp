// The plot where the build found no cairo (the Windows programs): no pictures, and a message
// that says why.

#include "loglog_plot.h"

namespace {

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

std::optional<PlotFormat> plotFormatOf(const std::string& path) {
    if (endsWith(path, ".svg")) return PlotFormat::kSvg;
    if (endsWith(path, ".png")) return PlotFormat::kPng;
    if (endsWith(path, ".pdf")) return PlotFormat::kPdf;
    return std::nullopt;
}

void drawLogLogPlotOn(cairo_t*, double, double, const ScalingResult&) {}

std::optional<std::string> renderLogLogPlot(const ScalingResult&, PlotFormat) {
    return std::nullopt;
}

bool drawLogLogPlot(const ScalingResult&, const std::string& path, std::string& error) {
    error = "Cannot draw " + path + ": this build of Vantrel has no cairo, which plots need";
    return false;
}
