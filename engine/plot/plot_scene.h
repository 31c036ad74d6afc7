#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A drawn plot as a list of simple marks in a box of width x height points (1/72 inch), the y
// axis pointing down. The layout (plot_figure.h) makes every decision: where each tick, point,
// line and label goes, in which colour and size. A renderer only draws the marks in order, so
// the cairo files, the SVG writer and each platform's window show the same picture.

struct SceneColour {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const SceneColour& other) const {
        return r == other.r && g == other.g && b == other.b;
    }
};

struct ScenePoint {
    double x = 0.0, y = 0.0;
};

enum class TextAnchor { kStart, kMiddle, kEnd };

struct SceneMark {
    enum class Kind {
        kLine,       // a polyline through `points`
        kRectangle,  // points[0] the top-left corner, points[1] the bottom-right one
        kCircle,     // centre points[0], radius `size`
        kText,       // `text` (UTF-8) with its baseline at points[0], `size` the font size
        kImage,      // `pixels` (rows of 0xRRGGBB) stretched over the rectangle of points[0..1]
    };
    Kind kind = Kind::kLine;
    std::vector<ScenePoint> points;
    SceneColour stroke;   // lines, outlines and text
    SceneColour fill;     // rectangles and circles when `filled`
    bool filled = false;  // rectangles and circles: filled with `fill`
    bool stroked = true;  // rectangles and circles: outlined with `stroke`
    double lineWidth = 1.0;
    bool dashed = false;
    double size = 0.0;  // a circle's radius, a text's font size
    std::string text;
    TextAnchor anchor = TextAnchor::kStart;
    bool vertical = false;  // text read from bottom to top, turned about its anchor point
    bool bold = false;
    int imageWidth = 0, imageHeight = 0;
    std::vector<std::uint32_t> pixels;
};

struct PlotScene {
    double width = 0.0, height = 0.0;  // points
    std::string title;                 // the document's title; also drawn as a text mark
    std::vector<SceneMark> marks;
};
