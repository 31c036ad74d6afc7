#include "multifractal_plot.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "plot_files.h"

namespace {

constexpr double kWidth = 1200, kHeight = 400;

std::string format(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

// One panel: its box on the page and the data range it shows.
struct Panel {
    double left, top, right, bottom;
    double x0 = 0, x1 = 1, y0 = 0, y1 = 1;
    double x(double v) const { return left + (v - x0) / (x1 - x0) * (right - left); }
    double y(double v) const { return bottom - (v - y0) / (y1 - y0) * (bottom - top); }
    void include(double vx, double vy) {
        if (!std::isfinite(vx) || !std::isfinite(vy)) return;
        if (empty) x0 = x1 = vx, y0 = y1 = vy, empty = false;
        x0 = std::min(x0, vx), x1 = std::max(x1, vx), y0 = std::min(y0, vy), y1 = std::max(y1, vy);
    }
    void pad() {
        if (empty || x1 == x0) x1 = x0 + 1;
        if (empty || y1 == y0) y1 = y0 + 1;
        const double dx = (x1 - x0) * 0.05, dy = (y1 - y0) * 0.08;
        x0 -= dx, x1 += dx, y0 -= dy, y1 += dy;
    }
    bool empty = true;
};

void text(cairo_t* cr, double x, double y, const std::string& s, double align) {
    cairo_text_extents_t extents;
    cairo_text_extents(cr, s.c_str(), &extents);
    cairo_move_to(cr, x - align * extents.x_advance, y);
    cairo_show_text(cr, s.c_str());
}

// A tick step of 1, 2 or 5 times a power of ten giving about five ticks.
double tickStep(double span) {
    const double raw = span / 5, power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0})
        if (m * power >= raw) return m * power;
    return 10 * power;
}

void drawFrame(cairo_t* cr, const Panel& p, const std::string& title, const std::string& xLabel,
               const std::string& yLabel) {
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, p.left, p.top, p.right - p.left, p.bottom - p.top);
    cairo_stroke(cr);
    cairo_set_font_size(cr, 11);
    const double xs = tickStep(p.x1 - p.x0), ys = tickStep(p.y1 - p.y0);
    for (double v = std::ceil(p.x0 / xs) * xs; v <= p.x1; v += xs) {
        cairo_move_to(cr, p.x(v), p.bottom);
        cairo_line_to(cr, p.x(v), p.bottom - 4);
        cairo_stroke(cr);
        text(cr, p.x(v), p.bottom + 14, format("%g", std::fabs(v) < xs / 2 ? 0.0 : v), 0.5);
    }
    for (double v = std::ceil(p.y0 / ys) * ys; v <= p.y1; v += ys) {
        cairo_move_to(cr, p.left, p.y(v));
        cairo_line_to(cr, p.left + 4, p.y(v));
        cairo_stroke(cr);
        text(cr, p.left - 4, p.y(v) + 4, format("%g", std::fabs(v) < ys / 2 ? 0.0 : v), 1.0);
    }
    cairo_set_font_size(cr, 13);
    text(cr, (p.left + p.right) / 2, p.top - 8, title, 0.5);
    text(cr, (p.left + p.right) / 2, p.bottom + 32, xLabel, 0.5);
    cairo_save(cr);
    cairo_translate(cr, p.left - 40, (p.top + p.bottom) / 2);
    cairo_rotate(cr, -M_PI / 2);
    text(cr, 0, 0, yLabel, 0.5);
    cairo_restore(cr);
}

void dot(cairo_t* cr, double x, double y) {
    cairo_arc(cr, x, y, 2.5, 0, 2 * M_PI);
    cairo_fill(cr);
}

// A colour from blue (lowest q) to red (highest).
void qColour(cairo_t* cr, std::size_t k, std::size_t n) {
    const double t = n > 1 ? static_cast<double>(k) / (n - 1) : 0.5;
    cairo_set_source_rgb(cr, 0.1 + 0.8 * t, 0.2, 0.9 - 0.8 * t);
}

void drawFluctuations(cairo_t* cr, Panel p, const MultifractalResult& r) {
    const Spectrum& s = r.spectrum;
    for (const SideFluctuations& side : s.sides)
        for (double f : side.logF) p.include(std::log(side.side), f);
    p.pad();
    drawFrame(cr, p, "ln F_q(n), fitted lines", "ln n", "ln F_q");
    for (std::size_t k = 0; k < s.q.size(); ++k) {
        qColour(cr, k, s.q.size());
        for (const SideFluctuations& side : s.sides)
            if (std::isfinite(side.logF[k])) dot(cr, p.x(std::log(side.side)), p.y(side.logF[k]));
        if (!std::isfinite(s.h[k]) || s.sides.empty()) continue;
        const double a = std::log(s.sides.front().side), b = std::log(s.sides.back().side);
        cairo_set_line_width(cr, 1);
        cairo_move_to(cr, p.x(a), p.y(s.intercept[k] + s.h[k] * a));
        cairo_line_to(cr, p.x(b), p.y(s.intercept[k] + s.h[k] * b));
        cairo_stroke(cr);
    }
    if (!s.q.empty()) {
        cairo_set_font_size(cr, 11);
        qColour(cr, 0, s.q.size());
        text(cr, p.left + 8, p.top + 16, "q = " + format("%g", s.q.front()), 0);
        qColour(cr, s.q.size() - 1, s.q.size());
        text(cr, p.left + 8, p.top + 30, "q = " + format("%g", s.q.back()), 0);
    }
}

void drawExponents(cairo_t* cr, Panel p, const MultifractalResult& r) {
    const Spectrum& s = r.spectrum;
    // h(q) on the left axis; tau(q) drawn scaled into the same box against its own range.
    Panel tau = p;
    for (std::size_t k = 0; k < s.q.size(); ++k) {
        p.include(s.q[k], s.h[k]);
        if (k < r.hLow.size()) p.include(s.q[k], r.hLow[k]), p.include(s.q[k], r.hHigh[k]);
        tau.include(s.q[k], s.tau[k]);
    }
    p.pad();
    tau.pad();
    drawFrame(cr, p, "h(q) with 90% band (blue), tau(q) (grey, right scale)", "q", "h(q)");
    cairo_set_source_rgba(cr, 0.2, 0.4, 0.9, 0.25);
    bool started = false;
    for (std::size_t k = 0; k < r.hHigh.size(); ++k)
        if (std::isfinite(r.hHigh[k])) {
            if (started)
                cairo_line_to(cr, p.x(s.q[k]), p.y(r.hHigh[k]));
            else
                cairo_move_to(cr, p.x(s.q[k]), p.y(r.hHigh[k])), started = true;
        }
    for (std::size_t k = r.hLow.size(); k-- > 0;)
        if (std::isfinite(r.hLow[k])) cairo_line_to(cr, p.x(s.q[k]), p.y(r.hLow[k]));
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.1, 0.2, 0.8);
    for (std::size_t k = 0; k < s.q.size(); ++k)
        if (std::isfinite(s.h[k])) dot(cr, p.x(s.q[k]), p.y(s.h[k]));
    cairo_set_source_rgb(cr, 0.45, 0.45, 0.45);
    cairo_set_font_size(cr, 11);
    const double ts = tickStep(tau.y1 - tau.y0);
    for (double v = std::ceil(tau.y0 / ts) * ts; v <= tau.y1; v += ts)
        text(cr, p.right + 4, tau.y(v) + 4, format("%g", std::fabs(v) < ts / 2 ? 0.0 : v), 0);
    started = false;
    for (std::size_t k = 0; k < s.q.size(); ++k)
        if (std::isfinite(s.tau[k])) {
            if (started)
                cairo_line_to(cr, tau.x(s.q[k]), tau.y(s.tau[k]));
            else
                cairo_move_to(cr, tau.x(s.q[k]), tau.y(s.tau[k])), started = true;
        }
    cairo_stroke(cr);
}

void drawSingularities(cairo_t* cr, Panel p, const MultifractalResult& r) {
    const Spectrum& s = r.spectrum;
    for (std::size_t k = 0; k < s.q.size(); ++k) p.include(s.alpha[k], s.fAlpha[k]);
    p.pad();
    drawFrame(cr, p, "singularity spectrum", "alpha", "f(alpha)");
    cairo_set_source_rgb(cr, 0.1, 0.5, 0.2);
    for (std::size_t k = 0; k < s.q.size(); ++k)
        if (std::isfinite(s.alpha[k]) && std::isfinite(s.fAlpha[k]))
            dot(cr, p.x(s.alpha[k]), p.y(s.fAlpha[k]));
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_font_size(cr, 11);
    text(cr, p.left + 8, p.top + 16, r.verdict(), 0);
    if (r.test.done) text(cr, p.left + 8, p.top + 30, "p = " + format("%.3f", r.test.pValue), 0);
}

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

// Cairo numbers its surfaces per process and names the SVG's group after its surface; the one
// group is named the same every time, so that equal plots are equal files.
void fixSurfaceId(std::string& svg) {
    const std::string key = "id=\"surface";
    const std::size_t at = svg.find(key);
    if (at == std::string::npos) return;
    const std::size_t end = svg.find('"', at + key.size());
    if (end != std::string::npos) svg.replace(at, end + 1 - at, "id=\"plot\"");
}

}  // namespace

bool drawMultifractalPlot(const MultifractalResult& result, const std::string& path,
                          std::string& error) {
    error = "Error writing to " + path;
    const auto format = plotFormatOf(path);
    if (!format) return false;
    std::string bytes;
    cairo_surface_t* surface =
        *format == PlotFormat::kSvg
            ? cairo_svg_surface_create_for_stream(appendBytes, &bytes, kWidth, kHeight)
        : *format == PlotFormat::kPdf
            ? cairo_pdf_surface_create_for_stream(appendBytes, &bytes, kWidth, kHeight)
            : cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(kWidth),
                                         static_cast<int>(kHeight));
    if (*format == PlotFormat::kPdf)
        cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATE_DATE,
                                       "2000-01-01T00:00:00Z");
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    const double third = kWidth / 3;
    for (int k = 0; k < 3; ++k) {
        Panel panel{third * k + 70, 40, third * (k + 1) - 40, kHeight - 60};
        if (k == 0) drawFluctuations(cr, panel, result);
        if (k == 1) drawExponents(cr, panel, result);
        if (k == 2) drawSingularities(cr, panel, result);
    }
    cairo_destroy(cr);
    if (*format == PlotFormat::kPng)
        cairo_surface_write_to_png_stream(surface, appendBytes, &bytes);
    cairo_surface_finish(surface);
    const bool drawn = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    if (!drawn) return false;
    if (*format == PlotFormat::kSvg) fixSurfaceId(bytes);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) return false;
    error.clear();
    return true;
}
