#include "plot_drawing_win32.h"

#include <cmath>
#include <vector>

#include "wide_text.h"

namespace {

COLORREF colourOf(const SceneColour& c) {
    return RGB(c.r, c.g, c.b);
}

// Maps the scene's points to the device's pixels.
struct Placement {
    double scale;
    int left, top;
    POINT at(const ScenePoint& p) const {
        return {left + static_cast<LONG>(std::lround(p.x * scale)),
                top + static_cast<LONG>(std::lround(p.y * scale))};
    }
    int length(double points) const {
        return std::max(1, static_cast<int>(std::lround(points * scale)));
    }
};

HPEN penOf(const SceneMark& mark, const Placement& place) {
    LOGBRUSH brush{BS_SOLID, colourOf(mark.stroke), 0};
    const DWORD style =
        PS_GEOMETRIC | PS_ENDCAP_FLAT | PS_JOIN_MITER | (mark.dashed ? PS_USERSTYLE : PS_SOLID);
    const DWORD dashes[] = {static_cast<DWORD>(place.length(6)),
                            static_cast<DWORD>(place.length(4))};
    return ExtCreatePen(style, static_cast<DWORD>(place.length(mark.lineWidth)), &brush,
                        mark.dashed ? 2 : 0, mark.dashed ? dashes : nullptr);
}

// Selects the mark's pen (or none) and brush (or none), and returns the previous ones' owner.
class Paint {
  public:
    Paint(HDC dc, const SceneMark& mark, const Placement& place) : dc_(dc) {
        pen_ = mark.stroked ? penOf(mark, place) : nullptr;
        brush_ = mark.filled ? CreateSolidBrush(colourOf(mark.fill)) : nullptr;
        oldPen_ = SelectObject(dc, pen_ ? static_cast<HGDIOBJ>(pen_) : GetStockObject(NULL_PEN));
        oldBrush_ =
            SelectObject(dc, brush_ ? static_cast<HGDIOBJ>(brush_) : GetStockObject(NULL_BRUSH));
    }
    ~Paint() {
        SelectObject(dc_, oldPen_);
        SelectObject(dc_, oldBrush_);
        if (pen_) DeleteObject(pen_);
        if (brush_) DeleteObject(brush_);
    }
    Paint(const Paint&) = delete;
    Paint& operator=(const Paint&) = delete;

  private:
    HDC dc_;
    HPEN pen_;
    HBRUSH brush_;
    HGDIOBJ oldPen_, oldBrush_;
};

void drawText(HDC dc, const SceneMark& mark, const Placement& place) {
    // A negative height asks for the em size, as the scene's font size is.
    HFONT font = CreateFontW(-place.length(mark.size), 0, mark.vertical ? 900 : 0,
                             mark.vertical ? 900 : 0, mark.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                             FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                             ANTIALIASED_QUALITY, VARIABLE_PITCH | FF_SWISS, L"Arial");
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colourOf(mark.stroke));
    const UINT horizontal = mark.anchor == TextAnchor::kStart    ? TA_LEFT
                            : mark.anchor == TextAnchor::kMiddle ? TA_CENTER
                                                                 : TA_RIGHT;
    SetTextAlign(dc, TA_BASELINE | horizontal | TA_NOUPDATECP);
    const POINT at = place.at(mark.points[0]);
    const std::wstring text = widen(mark.text);
    TextOutW(dc, at.x, at.y, text.c_str(), static_cast<int>(text.size()));
    SelectObject(dc, old);
    DeleteObject(font);
}

void drawImage(HDC dc, const SceneMark& mark, const Placement& place) {
    if (mark.imageWidth <= 0 || mark.imageHeight <= 0) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = mark.imageWidth;
    info.bmiHeader.biHeight = -mark.imageHeight;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const POINT a = place.at(mark.points[0]), b = place.at(mark.points[1]);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, a.x, a.y, b.x - a.x, b.y - a.y, 0, 0, mark.imageWidth, mark.imageHeight,
                  mark.pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

}  // namespace

void drawSceneGdi(HDC dc, const PlotScene& scene, double scale, int left, int top) {
    const Placement place{scale, left, top};
    for (const SceneMark& mark : scene.marks) {
        switch (mark.kind) {
            case SceneMark::Kind::kLine: {
                std::vector<POINT> points;
                for (const ScenePoint& p : mark.points) points.push_back(place.at(p));
                SceneMark outline = mark;
                outline.filled = false;
                Paint paint(dc, outline, place);
                Polyline(dc, points.data(), static_cast<int>(points.size()));
                break;
            }
            case SceneMark::Kind::kRectangle: {
                const POINT a = place.at(mark.points[0]), b = place.at(mark.points[1]);
                Paint paint(dc, mark, place);
                // GDI leaves out a filled shape's right and bottom edges without a pen.
                const int grow = mark.stroked ? 0 : 1;
                Rectangle(dc, a.x, a.y, b.x + grow, b.y + grow);
                break;
            }
            case SceneMark::Kind::kCircle: {
                const POINT c = place.at(mark.points[0]);
                const int r = place.length(mark.size);
                Paint paint(dc, mark, place);
                Ellipse(dc, c.x - r, c.y - r, c.x + r + 1, c.y + r + 1);
                break;
            }
            case SceneMark::Kind::kText:
                drawText(dc, mark, place);
                break;
            case SceneMark::Kind::kImage:
                drawImage(dc, mark, place);
                break;
        }
    }
}
