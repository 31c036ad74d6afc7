#include "plot_files.h"

#include <algorithm>
#include <cctype>

#include "system.h"

namespace {

bool endsWith(const std::string& text, const std::string& end) {
    if (text.size() < end.size()) return false;
    return std::equal(end.begin(), end.end(), text.end() - end.size(), [](char e, char t) {
        return std::tolower(static_cast<unsigned char>(t)) == e;
    });
}

}  // namespace

std::optional<PlotFormat> plotFormatOf(const std::string& path) {
    if (endsWith(path, ".svg")) return PlotFormat::kSvg;
    if (endsWith(path, ".png")) return PlotFormat::kPng;
    if (endsWith(path, ".pdf")) return PlotFormat::kPdf;
    return std::nullopt;
}

bool writeBytesFile(const std::string& path, const std::string& bytes) {
    return replaceFileAtomically(path, bytes);
}

bool writePlotFile(const PlotScene& scene, const std::string& path, double dpi,
                   std::string& error) {
    const auto format = plotFormatOf(path);
    error = "Error writing to " + path;
    if (!format) return false;
    if (!plotFormatAvailable(*format)) {
        error = "Cannot draw " + path +
                ": this build of Vantrel has no cairo, which PNG and PDF "
                "files need; SVG works";
        return false;
    }
    const auto bytes = renderPlot(scene, *format, dpi);
    if (!bytes || !writeBytesFile(path, *bytes)) return false;
    error.clear();
    return true;
}
