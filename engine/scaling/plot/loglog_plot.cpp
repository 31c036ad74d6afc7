#include "loglog_plot.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "system.h"

namespace {

constexpr double kWidth = 640, kHeight = 480;
constexpr double kLeft = 78, kRight = 18, kTop = 18, kBottom = 52;

std::string format(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

// Maps log10 of the data to the plot box.
struct Axes {
    double x0, x1, y0, y1;  // log10 ranges
    double left, right, top, bottom;
    double sideShift;  // log10 of a cell's side in the axis' unit: 0 when the axis counts cells
    double x(double logValue) const { return left + (logValue - x0) / (x1 - x0) * (right - left); }
    double side(double logSide) const { return x(logSide + sideShift); }
    double y(double logValue) const {
        return bottom - (logValue - y0) / (y1 - y0) * (bottom - top);
    }
};

// The window side is drawn in the file's unit where it names one, else in cells.
bool axisInUnits(const SideUnit& unit) {
    return unit.known() && !unit.name.empty();
}

Axes axesFor(const ScalingResult& result, double width, double height) {
    const double shift = axisInUnits(result.sideUnit) ? std::log10(result.sideUnit.length) : 0.0;
    double x0 = 1e300, x1 = -1e300, y0 = 1e300, y1 = -1e300;
    for (const ScalingPoint& p : result.table.points) {
        x0 = std::min(x0, std::log10(p.side) + shift);
        x1 = std::max(x1, std::log10(p.side) + shift);
        if (p.sigma2 > 0 && std::isfinite(p.sigma2)) {
            y0 = std::min(y0, std::log10(p.sigma2));
            y1 = std::max(y1, std::log10(p.sigma2));
        }
    }
    if (x0 > x1) x0 = 0, x1 = 1;
    if (y0 > y1) y0 = -1, y1 = 0;
    if (x1 - x0 < 0.5) x0 -= 0.25, x1 += 0.25;
    if (y1 - y0 < 0.5) y0 -= 0.25, y1 += 0.25;
    const double padX = 0.04 * (x1 - x0), padY = 0.06 * (y1 - y0);
    return {x0 - padX,      x1 + padX, y0 - padY,        y1 + padY, kLeft,
            width - kRight, kTop,      height - kBottom, shift};
}

// Tick values in log10: every 1, 2 and 5 times a power of ten when the range is short, else the
// powers of ten alone.
std::vector<double> ticks(double from, double to) {
    std::vector<double> values;
    const bool fine = to - from < 3.0;
    for (int decade = static_cast<int>(std::floor(from)); decade <= std::ceil(to); ++decade)
        for (double m : {1.0, 2.0, 5.0}) {
            if (!fine && m != 1.0) continue;
            const double v = decade + std::log10(m);
            if (v >= from && v <= to) values.push_back(v);
        }
    return values;
}

std::string tickLabel(double logValue) {
    const double value = std::pow(10.0, logValue);
    if (value >= 0.01 && value < 1e5) return format("%g", std::round(value * 1e6) / 1e6);
    return format("%.0e", value);
}

void text(cairo_t* cr, double x, double y, const std::string& s, double alignX) {
    cairo_text_extents_t extents;
    cairo_text_extents(cr, s.c_str(), &extents);
    cairo_move_to(cr, x - alignX * extents.width - extents.x_bearing, y);
    cairo_show_text(cr, s.c_str());
}

void drawFrame(cairo_t* cr, const Axes& a, const SideUnit& unit) {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, 1.0);
    cairo_rectangle(cr, a.left, a.top, a.right - a.left, a.bottom - a.top);
    cairo_stroke(cr);
    cairo_set_font_size(cr, 11);
    for (double v : ticks(a.x0, a.x1)) {
        cairo_move_to(cr, a.x(v), a.bottom);
        cairo_line_to(cr, a.x(v), a.bottom - 5);
        cairo_stroke(cr);
        text(cr, a.x(v), a.bottom + 15, tickLabel(v), 0.5);
    }
    for (double v : ticks(a.y0, a.y1)) {
        cairo_move_to(cr, a.left, a.y(v));
        cairo_line_to(cr, a.left + 5, a.y(v));
        cairo_stroke(cr);
        text(cr, a.left - 6, a.y(v) + 4, tickLabel(v), 1.0);
    }
    cairo_set_font_size(cr, 13);
    const std::string xLabel =
        axisInUnits(unit) ? "window side (" + unit.name + ")" : std::string("window side s");
    text(cr, (a.left + a.right) / 2, a.bottom + 38, xLabel, 0.5);
    cairo_save(cr);
    cairo_move_to(cr, 0, 0);
    cairo_translate(cr, 18, (a.top + a.bottom) / 2);
    cairo_rotate(cr, -M_PI / 2);
    // The residual is squared, and so is the values' unit.
    const std::string yLabel = "mean squared residual per cell, sigma^2(s)" +
                               (unit.valueName.empty() ? "" : " (" + unit.valueName + "^2)");
    text(cr, 0, 0, yLabel, 0.5);
    cairo_restore(cr);
}

void drawFit(cairo_t* cr, const Axes& a, const ScalingResult& result) {
    const HurstFit& fit = result.fit;
    if (!fit.valid) return;
    const double from = std::log10(fit.firstSide), to = std::log10(fit.lastSide);
    cairo_set_source_rgb(cr, 0.86, 0.92, 1.0);
    cairo_rectangle(cr, a.side(from), a.top + 0.5, a.side(to) - a.side(from), a.bottom - a.top - 1);
    cairo_fill(cr);
    // The line is fitted in natural logarithms: log10 sigma2 = (b + 2H ln s) / ln 10.
    auto lineAt = [&](double logSide) {
        return (fit.intercept + 2.0 * fit.hurst * logSide * std::log(10.0)) / std::log(10.0);
    };
    cairo_set_source_rgb(cr, 0.8, 0.1, 0.1);
    cairo_set_line_width(cr, 1.6);
    cairo_move_to(cr, a.side(from), a.y(lineAt(from)));
    cairo_line_to(cr, a.side(to), a.y(lineAt(to)));
    cairo_stroke(cr);
}

void drawPoints(cairo_t* cr, const Axes& a, const ScalingResult& result) {
    cairo_set_source_rgb(cr, 0.05, 0.2, 0.55);
    cairo_set_line_width(cr, 1.2);
    for (const ScalingPoint& p : result.table.points) {
        if (!(p.sigma2 > 0 && std::isfinite(p.sigma2))) continue;
        cairo_new_sub_path(cr);
        cairo_arc(cr, a.side(std::log10(p.side)), a.y(std::log10(p.sigma2)), 3.2, 0, 2 * M_PI);
        if (p.fitted)
            cairo_fill(cr);
        else
            cairo_stroke(cr);
    }
}

void drawLegend(cairo_t* cr, const Axes& a, const ScalingResult& result) {
    std::vector<std::string> lines;
    if (result.defined) {
        lines.push_back("H = " + format("%.3f", result.hurst) + "  (90%: " +
                        format("%.3f", result.low) + " to " + format("%.3f", result.high) + ")");
        lines.push_back("D = 3 - H = " + format("%.3f", result.fractalDimension()));
        lines.push_back("fitted sides " + std::to_string(result.fit.firstSide) + " to " +
                        std::to_string(result.fit.lastSide) + " (shaded), " +
                        std::to_string(result.fit.points) + " points");
    } else {
        lines.push_back("H not defined: no line could be fitted");
    }
    cairo_set_font_size(cr, 12);
    const double x = a.left + 10, top = a.top + 8, step = 16;
    cairo_set_source_rgba(cr, 1, 1, 1, 0.85);
    cairo_rectangle(cr, x - 4, top - 2, 300, step * lines.size() + 6);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    for (std::size_t k = 0; k < lines.size(); ++k)
        text(cr, x, top + step * (k + 1) - 3, lines[k], 0);
}

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

// Cairo numbers the surfaces of a process in one sequence and names the SVG's group after its
// surface; the plot's one group is named the same every time, so that equal plots are equal
// files.
void fixSurfaceId(std::string& svg) {
    const std::string key = "id=\"surface";
    const std::size_t at = svg.find(key);
    if (at == std::string::npos) return;
    const std::size_t end = svg.find('"', at + key.size());
    if (end != std::string::npos) svg.replace(at, end + 1 - at, "id=\"plot\"");
}

}  // namespace

void drawLogLogPlotOn(cairo_t* cr, double width, double height, const ScalingResult& result) {
    const Axes axes = axesFor(result, width, height);
    cairo_save(cr);
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    drawFrame(cr, axes, result.sideUnit);
    cairo_save(cr);
    cairo_rectangle(cr, axes.left, axes.top, axes.right - axes.left, axes.bottom - axes.top);
    cairo_clip(cr);
    drawFit(cr, axes, result);
    drawPoints(cr, axes, result);
    cairo_restore(cr);
    drawLegend(cr, axes, result);
    cairo_restore(cr);
}

std::optional<std::string> renderLogLogPlot(const ScalingResult& result, PlotFormat format) {
    std::string bytes;
    cairo_surface_t* surface =
        format == PlotFormat::kSvg
            ? cairo_svg_surface_create_for_stream(appendBytes, &bytes, kWidth, kHeight)
        : format == PlotFormat::kPdf
            ? cairo_pdf_surface_create_for_stream(appendBytes, &bytes, kWidth, kHeight)
            : cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(kWidth),
                                         static_cast<int>(kHeight));
    if (format == PlotFormat::kPdf)
        // A fixed creation date, so that the same plot gives the same file.
        cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATE_DATE,
                                       "2000-01-01T00:00:00Z");
    cairo_t* cr = cairo_create(surface);
    drawLogLogPlotOn(cr, kWidth, kHeight, result);
    cairo_destroy(cr);
    if (format == PlotFormat::kPng) cairo_surface_write_to_png_stream(surface, appendBytes, &bytes);
    cairo_surface_finish(surface);
    const bool drawn = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    if (!drawn) return std::nullopt;
    if (format == PlotFormat::kSvg) fixSurfaceId(bytes);
    return bytes;
}

bool drawLogLogPlot(const ScalingResult& result, const std::string& path, std::string& error) {
    const auto format = plotFormatOf(path);
    error = "Error writing to " + path;
    if (!format) return false;
    const auto bytes = renderLogLogPlot(result, *format);
    if (!bytes) return false;
    if (!replaceFileAtomically(path, *bytes)) return false;
    error.clear();
    return true;
}
