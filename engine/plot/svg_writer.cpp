#include "svg_writer.h"

#include <cstdio>

#include "png_encoder.h"

namespace {

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    std::string s = text;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s == "-0" ? "0" : s;
}

std::string colour(const SceneColour& c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", c.r, c.g, c.b);
    return text;
}

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string paint(const SceneMark& mark) {
    std::string out = " fill=\"" + (mark.filled ? colour(mark.fill) : std::string("none")) + "\"";
    if (mark.stroked)
        out += " stroke=\"" + colour(mark.stroke) + "\" stroke-width=\"" + number(mark.lineWidth) +
               "\"";
    return out;
}

std::string markSvg(const SceneMark& mark) {
    const auto& p = mark.points;
    switch (mark.kind) {
        case SceneMark::Kind::kLine: {
            std::string points;
            for (const ScenePoint& q : p) {
                if (!points.empty()) points += ' ';
                points += number(q.x);
                points += ',';
                points += number(q.y);
            }
            return "<polyline points=\"" + points + "\" fill=\"none\" stroke=\"" +
                   colour(mark.stroke) + "\" stroke-width=\"" + number(mark.lineWidth) + "\"" +
                   (mark.dashed ? " stroke-dasharray=\"6,4\"" : "") + "/>\n";
        }
        case SceneMark::Kind::kRectangle:
            return "<rect x=\"" + number(p[0].x) + "\" y=\"" + number(p[0].y) + "\" width=\"" +
                   number(p[1].x - p[0].x) + "\" height=\"" + number(p[1].y - p[0].y) + "\"" +
                   paint(mark) + "/>\n";
        case SceneMark::Kind::kCircle:
            return "<circle cx=\"" + number(p[0].x) + "\" cy=\"" + number(p[0].y) + "\" r=\"" +
                   number(mark.size) + "\"" + paint(mark) + "/>\n";
        case SceneMark::Kind::kText: {
            const char* anchor = mark.anchor == TextAnchor::kStart    ? "start"
                                 : mark.anchor == TextAnchor::kMiddle ? "middle"
                                                                      : "end";
            std::string out = "<text x=\"" + number(p[0].x) + "\" y=\"" + number(p[0].y) +
                              "\" font-size=\"" + number(mark.size) + "\" text-anchor=\"" + anchor +
                              "\" fill=\"" + colour(mark.stroke) + "\"";
            if (mark.bold) out += " font-weight=\"bold\"";
            if (mark.vertical)
                out += " transform=\"rotate(-90 " + number(p[0].x) + " " + number(p[0].y) + ")\"";
            return out + ">" + escaped(mark.text) + "</text>\n";
        }
        case SceneMark::Kind::kImage:
            return "<image x=\"" + number(p[0].x) + "\" y=\"" + number(p[0].y) + "\" width=\"" +
                   number(p[1].x - p[0].x) + "\" height=\"" + number(p[1].y - p[0].y) +
                   "\" preserveAspectRatio=\"none\" style=\"image-rendering:pixelated\" "
                   "xlink:href=\"data:image/png;base64," +
                   base64(encodePng(mark.imageWidth, mark.imageHeight, mark.pixels)) + "\"/>\n";
    }
    return {};
}

}  // namespace

std::string sceneSvg(const PlotScene& scene) {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    // SVG 1.1: images name their data with xlink:href, which every reader knows.
    out +=
        "<svg xmlns=\"http://www.w3.org/2000/svg\" "
        "xmlns:xlink=\"http://www.w3.org/1999/xlink\" version=\"1.1\" width=\"" +
        number(scene.width) + "pt\" height=\"" + number(scene.height) + "pt\" viewBox=\"0 0 " +
        number(scene.width) + " " + number(scene.height) + "\">\n";
    if (!scene.title.empty()) out += "<title>" + escaped(scene.title) + "</title>\n";
    out += "<g font-family=\"DejaVu Sans, Liberation Sans, Arial, sans-serif\">\n";
    for (const SceneMark& mark : scene.marks) out += markSvg(mark);
    out += "</g>\n</svg>\n";
    return out;
}
