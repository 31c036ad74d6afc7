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
