#include "plot_render_cairo.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <cmath>
#include <cstdint>

#include "plot_files.h"
#include "svg_writer.h"

namespace {

void setColour(cairo_t* cr, const SceneColour& c) {
    cairo_set_source_rgb(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0);
}

void fillAndStroke(cairo_t* cr, const SceneMark& mark) {
    if (mark.filled) {
        setColour(cr, mark.fill);
        mark.stroked ? cairo_fill_preserve(cr) : cairo_fill(cr);
    }
    if (mark.stroked) {
        setColour(cr, mark.stroke);
        cairo_set_line_width(cr, mark.lineWidth);
        cairo_stroke(cr);
    }
    cairo_new_path(cr);
}

void drawText(cairo_t* cr, const SceneMark& mark) {
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL,
                           mark.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, mark.size);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, mark.text.c_str(), &extents);
    const double shift = mark.anchor == TextAnchor::kStart    ? 0.0
                         : mark.anchor == TextAnchor::kMiddle ? extents.x_advance / 2
                                                              : extents.x_advance;
    cairo_save(cr);
    cairo_translate(cr, mark.points[0].x, mark.points[0].y);
    if (mark.vertical) cairo_rotate(cr, -M_PI / 2);
    setColour(cr, mark.stroke);
    cairo_move_to(cr, -shift, 0);
    cairo_show_text(cr, mark.text.c_str());
    cairo_restore(cr);
}

void drawImage(cairo_t* cr, const SceneMark& mark) {
    if (mark.imageWidth <= 0 || mark.imageHeight <= 0) return;
    cairo_surface_t* image =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, mark.imageWidth, mark.imageHeight);
    cairo_surface_flush(image);
    unsigned char* data = cairo_image_surface_get_data(image);
    const int stride = cairo_image_surface_get_stride(image);
    for (int y = 0; y < mark.imageHeight; ++y)
        for (int x = 0; x < mark.imageWidth; ++x)
            reinterpret_cast<std::uint32_t*>(data + y * stride)[x] =
                mark.pixels[static_cast<std::size_t>(y) * mark.imageWidth + x];
    cairo_surface_mark_dirty(image);
    const ScenePoint a = mark.points[0], b = mark.points[1];
    cairo_save(cr);
    cairo_rectangle(cr, a.x, a.y, b.x - a.x, b.y - a.y);
    cairo_clip(cr);
    cairo_translate(cr, a.x, a.y);
    cairo_scale(cr, (b.x - a.x) / mark.imageWidth, (b.y - a.y) / mark.imageHeight);
    cairo_set_source_surface(cr, image, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(image);
}

void drawMark(cairo_t* cr, const SceneMark& mark) {
    const auto& p = mark.points;
    switch (mark.kind) {
        case SceneMark::Kind::kLine: {
            if (p.empty()) return;
            cairo_move_to(cr, p[0].x, p[0].y);
            for (std::size_t k = 1; k < p.size(); ++k) cairo_line_to(cr, p[k].x, p[k].y);
            const double dash[] = {6.0, 4.0};
            cairo_set_dash(cr, dash, mark.dashed ? 2 : 0, 0);
            setColour(cr, mark.stroke);
            cairo_set_line_width(cr, mark.lineWidth);
            cairo_stroke(cr);
            cairo_set_dash(cr, nullptr, 0, 0);
            return;
        }
        case SceneMark::Kind::kRectangle:
            cairo_rectangle(cr, p[0].x, p[0].y, p[1].x - p[0].x, p[1].y - p[0].y);
            return fillAndStroke(cr, mark);
        case SceneMark::Kind::kCircle:
            cairo_new_sub_path(cr);
            cairo_arc(cr, p[0].x, p[0].y, mark.size, 0, 2 * M_PI);
            return fillAndStroke(cr, mark);
        case SceneMark::Kind::kText:
            return drawText(cr, mark);
        case SceneMark::Kind::kImage:
            return drawImage(cr, mark);
    }
}

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

}  // namespace

void drawSceneWithCairo(cairo_t* cr, const PlotScene& scene, double scale) {
    cairo_save(cr);
    cairo_scale(cr, scale, scale);
    for (const SceneMark& mark : scene.marks) drawMark(cr, mark);
    cairo_restore(cr);
}

bool plotFormatAvailable(PlotFormat) {
    return true;
}

std::optional<std::string> renderPlot(const PlotScene& scene, PlotFormat format, double dpi) {
    if (format == PlotFormat::kSvg) return sceneSvg(scene);
    std::string bytes;
    const double scale = format == PlotFormat::kPng ? dpi / 72.0 : 1.0;
    cairo_surface_t* surface =
        format == PlotFormat::kPdf
            ? cairo_pdf_surface_create_for_stream(appendBytes, &bytes, scene.width, scene.height)
            : cairo_image_surface_create(CAIRO_FORMAT_RGB24,
                                         static_cast<int>(std::lround(scene.width * scale)),
                                         static_cast<int>(std::lround(scene.height * scale)));
    if (format == PlotFormat::kPdf) {
        // A fixed creation date, so that the same plot gives the same file.
        cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATE_DATE,
                                       "2000-01-01T00:00:00Z");
        if (!scene.title.empty())
            cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_TITLE, scene.title.c_str());
    }
    cairo_t* cr = cairo_create(surface);
    drawSceneWithCairo(cr, scene, scale);
    cairo_destroy(cr);
    if (format == PlotFormat::kPng) cairo_surface_write_to_png_stream(surface, appendBytes, &bytes);
    cairo_surface_finish(surface);
    const bool drawn = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    if (!drawn) return std::nullopt;
    return bytes;
}
