#include "plot_drawing_wx.h"

#include <wx/brush.h>
#include <wx/graphics.h>
#include <wx/image.h>
#include <wx/pen.h>

#include <algorithm>
#include <cmath>

#include "text_bytes_wx.h"

namespace {

wxColour colourOf(const SceneColour& c) {
    return wxColour(c.r, c.g, c.b);
}

wxGraphicsPen penOf(wxGraphicsContext& gc, const SceneMark& mark) {
    wxGraphicsPenInfo info(colourOf(mark.stroke), mark.lineWidth,
                           mark.dashed ? wxPENSTYLE_LONG_DASH : wxPENSTYLE_SOLID);
    return gc.CreatePen(info);
}

void useFillAndStroke(wxGraphicsContext& gc, const SceneMark& mark) {
    gc.SetBrush(mark.filled ? wxBrush(colourOf(mark.fill)) : *wxTRANSPARENT_BRUSH);
    if (mark.stroked)
        gc.SetPen(penOf(gc, mark));
    else
        gc.SetPen(*wxTRANSPARENT_PEN);
}

void drawText(wxGraphicsContext& gc, const SceneMark& mark) {
    // The scene's sizes are pixels here; fonts are sized in points at the context's resolution.
    wxDouble dpiX = 96, dpiY = 96;
    gc.GetDPI(&dpiX, &dpiY);
    wxFont font(wxFontInfo().Family(wxFONTFAMILY_SWISS).Bold(mark.bold));
    font.SetFractionalPointSize(mark.size * 72.0 / (dpiY > 0 ? dpiY : 96));
    gc.SetFont(font, colourOf(mark.stroke));
    const wxString text = fromBytes(mark.text);
    wxDouble width = 0, height = 0, descent = 0, leading = 0;
    gc.GetTextExtent(text, &width, &height, &descent, &leading);
    const double shift = mark.anchor == TextAnchor::kStart    ? 0.0
                         : mark.anchor == TextAnchor::kMiddle ? width / 2
                                                              : width;
    gc.PushState();
    gc.Translate(mark.points[0].x, mark.points[0].y);
    if (mark.vertical) gc.Rotate(-M_PI / 2);
    gc.DrawText(text, -shift, -(height - descent));
    gc.PopState();
}

void drawImage(wxGraphicsContext& gc, const SceneMark& mark) {
    if (mark.imageWidth <= 0 || mark.imageHeight <= 0) return;
    wxImage image(mark.imageWidth, mark.imageHeight);
    for (int y = 0; y < mark.imageHeight; ++y)
        for (int x = 0; x < mark.imageWidth; ++x) {
            const std::uint32_t p = mark.pixels[static_cast<std::size_t>(y) * mark.imageWidth + x];
            image.SetRGB(x, y, (p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
        }
    const ScenePoint a = mark.points[0], b = mark.points[1];
    // Each value a sharp block, as the files draw it: the image is enlarged here by repeating
    // pixels, since the GTK context smooths a stretched bitmap whatever quality it is asked for.
    const int width = std::max(1, static_cast<int>(std::lround(b.x - a.x)));
    const int height = std::max(1, static_cast<int>(std::lround(b.y - a.y)));
    image.Rescale(width, height, wxIMAGE_QUALITY_NEAREST);
    gc.DrawBitmap(gc.CreateBitmapFromImage(image), a.x, a.y, b.x - a.x, b.y - a.y);
}

}  // namespace

void drawSceneWx(wxGraphicsContext& gc, const PlotScene& scene) {
    for (const SceneMark& mark : scene.marks) {
        const auto& p = mark.points;
        switch (mark.kind) {
            case SceneMark::Kind::kLine: {
                std::vector<wxPoint2DDouble> points;
                for (const ScenePoint& q : p) points.emplace_back(q.x, q.y);
                gc.SetPen(penOf(gc, mark));
                gc.StrokeLines(points.size(), points.data());
                break;
            }
            case SceneMark::Kind::kRectangle:
                useFillAndStroke(gc, mark);
                gc.DrawRectangle(p[0].x, p[0].y, p[1].x - p[0].x, p[1].y - p[0].y);
                break;
            case SceneMark::Kind::kCircle:
                useFillAndStroke(gc, mark);
                gc.DrawEllipse(p[0].x - mark.size, p[0].y - mark.size, 2 * mark.size,
                               2 * mark.size);
                break;
            case SceneMark::Kind::kText:
                drawText(gc, mark);
                break;
            case SceneMark::Kind::kImage:
                drawImage(gc, mark);
                break;
        }
    }
}
