// The plot files where the build found no cairo (the Windows programs): SVG only.

#include "plot_files.h"
#include "svg_writer.h"

bool plotFormatAvailable(PlotFormat format) {
    return format == PlotFormat::kSvg;
}

std::optional<std::string> renderPlot(const PlotScene& scene, PlotFormat format, double) {
    if (format == PlotFormat::kSvg) return sceneSvg(scene);
    return std::nullopt;
}
