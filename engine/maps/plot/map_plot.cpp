#include "map_plot.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "plot_files.h"
#include "system.h"

namespace {

constexpr double kPanel = 360;  // the longer side of a panel's map
constexpr double kMargin = 36, kTitle = 22, kBar = 70, kBelow = 46;

// Viridis-like stops from 0 to 1: dark blue through green to yellow, readable in grey too.
void colourOf(double h, double& r, double& g, double& b) {
    static const double stops[][3] = {{0.267, 0.005, 0.329},
                                      {0.230, 0.322, 0.546},
                                      {0.128, 0.567, 0.551},
                                      {0.369, 0.789, 0.383},
                                      {0.993, 0.906, 0.144}};
    const double x = std::clamp(h, 0.0, 1.0) * 4.0;
    const int k = std::min(3, static_cast<int>(x));
    const double t = x - k;
    r = stops[k][0] + t * (stops[k + 1][0] - stops[k][0]);
    g = stops[k][1] + t * (stops[k + 1][1] - stops[k][1]);
    b = stops[k][2] + t * (stops[k + 1][2] - stops[k][2]);
}

std::string text(const char* pattern, double value) {
    char out[64];
    std::snprintf(out, sizeof out, pattern, value);
    return out;
}

void label(cairo_t* cr, double x, double y, const std::string& words, double size = 11) {
    cairo_set_font_size(cr, size);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, words.c_str());
}

// Pixels per cell of the surface.
double pixelsPerCell(const MapLayout& layout) {
    return kPanel / std::max(layout.rows, layout.columns);
}

void drawPanel(cairo_t* cr, const HurstMap& map, double left, double top) {
    const MapLayout& layout = map.layout;
    const double k = pixelsPerCell(layout);
    cairo_set_source_rgb(cr, 0, 0, 0);
    label(cr, left, top - 8, mapPanelTitle(map.axis), 13);
    cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
    cairo_rectangle(cr, left, top, layout.columns * k, layout.rows * k);
    cairo_fill(cr);
    const double half = layout.stride / 2.0;
    for (int a = 0; a < layout.tileRows; ++a)
        for (int b = 0; b < layout.tileColumns; ++b) {
            const std::size_t t = static_cast<std::size_t>(a) * layout.tileColumns + b;
            const double x = left + (layout.centreColumn(b) - half) * k;
            const double y = top + (layout.centreRow(a) - half) * k;
            const double w = layout.stride * k;
            if (std::isfinite(map.hurst[t])) {
                double r, g, bl;
                colourOf(map.hurst[t], r, g, bl);
                cairo_set_source_rgb(cr, r, g, bl);
                cairo_rectangle(cr, x, y, w, w);
                cairo_fill(cr);
            }
            if (map.flags[t] == 0) continue;
            // Hatching: diagonal lines 4 pixels apart, clipped to the tile's square.
            cairo_save(cr);
            cairo_rectangle(cr, x, y, w, w);
            cairo_clip(cr);
            cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
            cairo_set_line_width(cr, 0.7);
            for (double d = -w; d < w; d += 4.0) {
                cairo_move_to(cr, x + d, y + w);
                cairo_line_to(cr, x + d + w, y);
            }
            cairo_stroke(cr);
            cairo_restore(cr);
        }
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, 1.0);
    cairo_rectangle(cr, left, top, layout.columns * k, layout.rows * k);
    cairo_stroke(cr);
}

void drawColourBar(cairo_t* cr, double left, double top, double height) {
    const int steps = 100;
    for (int s = 0; s < steps; ++s) {
        double r, g, b;
        colourOf((s + 0.5) / steps, r, g, b);
        cairo_set_source_rgb(cr, r, g, b);
        cairo_rectangle(cr, left, top + height * (1.0 - (s + 1.0) / steps), 14,
                        height / steps + 0.5);
        cairo_fill(cr);
    }
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, 1.0);
    cairo_rectangle(cr, left, top, 14, height);
    cairo_stroke(cr);
    for (double v = 0.0; v <= 1.0001; v += 0.2) {
        const double y = top + height * (1.0 - v);
        cairo_move_to(cr, left + 14, y);
        cairo_line_to(cr, left + 18, y);
        cairo_stroke(cr);
        label(cr, left + 21, y + 4, text("%.1f", v));
    }
    label(cr, left - 2, top - 8, "H");
}

// A round length near a quarter of the map's width: 1, 2 or 5 times a power of ten.
double roundLength(double about) {
    const double power = std::pow(10.0, std::floor(std::log10(about)));
    for (double m : {5.0, 2.0, 1.0})
        if (m * power <= about) return m * power;
    return power;
}

void drawScaleBar(cairo_t* cr, const MapLayout& layout, const MapScale& scale, double left,
                  double y) {
    const bool units = scale.cellLength > 0.0;
    const double cellLength = units ? scale.cellLength : 1.0;
    const double length = roundLength(layout.columns * cellLength / 4.0);
    const double pixels = length / cellLength * pixelsPerCell(layout);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, 2.0);
    cairo_move_to(cr, left, y);
    cairo_line_to(cr, left + pixels, y);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 1.0);
    for (double x : {left, left + pixels}) {
        cairo_move_to(cr, x, y - 4);
        cairo_line_to(cr, x, y + 4);
        cairo_stroke(cr);
    }
    const std::string unit = units ? (scale.unit.empty() ? "" : " " + scale.unit) : " cells";
    label(cr, left + pixels + 8, y + 4, text("%g", length) + unit);
    label(cr, left, y + 22,
          "tiles " + std::to_string(layout.tile) + " every " + std::to_string(layout.stride) +
              " cells; hatched: flagged; grey: no value");
}

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

}  // namespace

bool drawMapPlot(const std::vector<HurstMap>& maps, const MapScale& scale, const std::string& path,
                 std::string& error) {
    error = "Error writing to " + path;
    const auto format = plotFormatOf(path);
    if (!format || maps.empty()) return false;
    const MapLayout& layout = maps.front().layout;
    const double k = pixelsPerCell(layout);
    const double panelWidth = layout.columns * k, panelHeight = layout.rows * k;
    const double width = kMargin + maps.size() * (panelWidth + kMargin) + kBar,
                 height = kMargin + kTitle + panelHeight + kBelow;
    std::string bytes;
    cairo_surface_t* surface =
        *format == PlotFormat::kSvg
            ? cairo_svg_surface_create_for_stream(appendBytes, &bytes, width, height)
        : *format == PlotFormat::kPdf
            ? cairo_pdf_surface_create_for_stream(appendBytes, &bytes, width, height)
            : cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(std::ceil(width)),
                                         static_cast<int>(std::ceil(height)));
    if (*format == PlotFormat::kPdf)
        cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATE_DATE,
                                       "2000-01-01T00:00:00Z");
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    const double top = kMargin + kTitle - 10;
    for (std::size_t m = 0; m < maps.size(); ++m)
        drawPanel(cr, maps[m], kMargin + m * (panelWidth + kMargin), top);
    drawColourBar(cr, kMargin + maps.size() * (panelWidth + kMargin), top, panelHeight);
    drawScaleBar(cr, layout, scale, kMargin, top + panelHeight + 18);
    cairo_destroy(cr);
    if (*format == PlotFormat::kPng)
        cairo_surface_write_to_png_stream(surface, appendBytes, &bytes);
    cairo_surface_finish(surface);
    const bool drawn = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    if (!drawn || !replaceFileAtomically(path, bytes)) return false;
    error.clear();
    return true;
}
