#pragma once

#include <optional>
#include <string>
#include <vector>

#include "plot_scene.h"

// What a plot shows, said once for every picture of it: a figure of one or more panels, each
// with two axes, shaded ranges, series of points or lines, labels, a legend, and optionally a
// colour map with its colour bar; warnings go under the panels. layoutFigure turns it into the
// marks of a PlotScene, which the cairo files, the SVG writer and the dialog windows draw.

struct AxisTick {
    double value = 0.0;  // in the axis' data units
    std::string label;
};

struct PlotAxis {
    std::string label;
    bool logarithmic = false;
    // The range shown; from >= to: the data's range with a margin.
    double from = 0.0, to = 0.0;
    // Empty: ticks at 1, 2, 5 times powers of ten, every label in one format.
    std::vector<AxisTick> ticks;
};

struct PlotSeries {
    enum class Style { kMarkers, kLine };
    Style style = Style::kMarkers;
    std::vector<ScenePoint> data;  // in data units
    SceneColour colour;
    bool hollow = false;  // markers drawn as rings
    bool dashed = false;  // lines
    double width = 1.5;   // a line's width, a marker's radius is twice it
    std::string legend;   // empty: not in the legend
};

// A shaded range of the horizontal axis, drawn under the series.
struct PlotBand {
    double from = 0.0, to = 0.0;
    SceneColour colour;
    std::string legend;
};

// A text placed at a data point.
struct PlotLabel {
    ScenePoint at;
    std::string text;
    SceneColour colour;
    TextAnchor anchor = TextAnchor::kStart;
};

// Values on a grid drawn as colours over the whole plot box, lowest row at the bottom, with a
// colour bar from `low` to `high` at the panel's right; NaN is drawn grey.
struct ColourMap {
    int columns = 0, rows = 0;
    std::vector<double> values;  // rows x columns, the first row the top one
    double low = 0.0, high = 1.0;
    std::string label;  // the colour bar's
};

struct PlotPanel {
    std::string title;
    PlotAxis x, y;
    std::vector<PlotBand> bands;
    std::vector<PlotSeries> series;
    std::vector<PlotLabel> labels;
    std::optional<ColourMap> map;
    std::vector<std::string> legendLines;  // after the series' and bands' entries
    // The legend goes in the corner of the plot box where it hides the fewest points and lines
    // (top left, bottom right, top right, bottom left, the first of equals).
};

struct PlotFigure {
    std::string title;
    double width = 640.0, height = 480.0;  // points
    int columns = 1;                       // panels per row
    std::vector<PlotPanel> panels;
    std::vector<std::string> notes;  // warnings, drawn under the panels and wrapped
};

// The marks of the figure at its size.
PlotScene layoutFigure(const PlotFigure& figure);

// How wide a text of `size` points is taken to be when boxes are sized for it: generous for
// sans-serif faces, so that a legend's box holds its text on every platform.
double estimatedTextWidth(const std::string& text, double size);

// `text`'s digits and minus signs as superscripts ("-3" gives "⁻³").
std::string superscript(const std::string& text);
