#include "plot_saving.h"

#include "output_check.h"
#include "platform.h"
#include "plot_files.h"
#include "png_encoder.h"

namespace {

bool platformDrawsPng(Platform& platform) {
    int width = 0, height = 0;
    PlotScene probe;
    probe.width = probe.height = 1;
    return !plotFormatAvailable(PlotFormat::kPng) &&
           platform.drawPlotPixels(probe, 1.0, width, height).has_value();
}

}  // namespace

std::string plotSaveFilter(Platform& platform) {
    std::string filter = "SVG image (*.svg)|*.svg|";
    if (plotFormatAvailable(PlotFormat::kPng) || platformDrawsPng(platform))
        filter += "PNG image (*.png)|*.png|";
    if (plotFormatAvailable(PlotFormat::kPdf)) filter += "PDF document (*.pdf)|*.pdf|";
    return filter + "|";
}

std::optional<std::string> savePlotScene(Platform& platform, const PlotScene& scene,
                                         const std::string& path,
                                         const std::vector<std::string>& inputs) {
    const auto format = plotFormatOf(path);
    if (!format)
        return "Cannot save the plot as " + path + ": the name must end in .svg, .png or .pdf";
    if (auto clash = outputThatIsAnInput(inputs, {path})) return clash;
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
