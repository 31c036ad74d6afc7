#include "map_figure.h"

#include <algorithm>
#include <cmath>

#include "plot_ticks.h"

namespace {

// The longer side of a panel's box, and the least of its shorter side (a map more elongated than
// that is stretched across, its ticks still placed by its own lengths).
constexpr double kLongSide = 360, kLeastSide = 140;
// What layoutFigure keeps around a panel's box: ticks and labels left, the colour bar right,
// the panel's title above, the tick labels and axis label below; the figure's title and its one
// line of notes.
constexpr double kBesideBox = 70 + 16 + 78, kAboveBox = 10 + 18, kBelowBox = 46;
constexpr double kFigureTitle = 28, kOneNote = 13 + 6;

// The tiles' squares run from the first tile's centre less half a stride to the last one's
// centre plus half a stride, in cells from the surface's top (left) edge.
struct Extent {
    double first, last;
};

Extent rowExtent(const MapLayout& layout) {
    return {layout.centreRow(0) - layout.stride / 2.0,
            layout.centreRow(layout.tileRows - 1) + layout.stride / 2.0};
}

Extent columnExtent(const MapLayout& layout) {
    return {layout.centreColumn(0) - layout.stride / 2.0,
            layout.centreColumn(layout.tileColumns - 1) + layout.stride / 2.0};
}

// Rows grow downwards on a surface and upwards on a plot's axis: the vertical axis holds minus
// the distance from the top edge, and its ticks are labelled with the distance.
PlotAxis downwardAxis(double top, double bottom, const std::string& label) {
    PlotAxis axis;
    axis.label = label;
    axis.from = -bottom;
    axis.to = -top;
    for (AxisTick tick : automaticTicks(false, top, bottom)) {
        tick.value = -tick.value;
        axis.ticks.push_back(tick);
    }
    return axis;
}

// The axes' labels: in cells, or in the file's lengths (with their unit where it names one).
struct AxisNames {
    std::string x, y;
};

AxisNames axisNames(const MapScale& scale) {
    if (scale.cellLength <= 0.0) return {"column", "row"};
    const std::string unit = scale.unit.empty() ? "" : " (" + scale.unit + ")";
    return {"x" + unit, "y" + unit + ", from the top"};
}

PlotPanel mapPanel(const HurstMap& map, double cell, const AxisNames& names, double boxWidth) {
    const MapLayout& layout = map.layout;
    const Extent rows = rowExtent(layout), columns = columnExtent(layout);
    PlotPanel panel;
    panel.title = mapPanelTitle(map.axis);
    panel.x.label = names.x;
    panel.x.from = columns.first * cell;
    panel.x.to = columns.last * cell;
    panel.y = downwardAxis(rows.first * cell, rows.last * cell, names.y);
    panel.map = ColourMap{layout.tileColumns, layout.tileRows, map.hurst, 0.0, 1.0, "H"};
    PlotSeries rings;
    rings.hollow = true;
    // A ring a third of a tile across, so that it shows on small tiles and hides little of a
    // large one; a marker's radius is twice its series' width.
    rings.width = std::clamp(boxWidth / layout.tileColumns / 12.0, 0.75, 4.0);
    for (int a = 0; a < layout.tileRows; ++a)
        for (int b = 0; b < layout.tileColumns; ++b) {
            const std::size_t t = static_cast<std::size_t>(a) * layout.tileColumns + b;
            if (map.flags[t] != 0 && std::isfinite(map.hurst[t]))
                rings.data.push_back({layout.centreColumn(b) * cell, -layout.centreRow(a) * cell});
        }
    if (!rings.data.empty()) panel.series.push_back(rings);
    return panel;
}

}  // namespace

MapScale mapScaleOf(const SurfaceUnits& units) {
    MapScale scale;
    if (!units.hasPixelSize()) return scale;
    scale.cellLength = units.pixelWidth;
    const std::string& name = units.lateralUnit;
    scale.unit = name == "metre" || name == "meter" || name == "metres" ? "m" : name;
    return scale;
}

PlotFigure mapFigure(const std::vector<HurstMap>& maps, const MapScale& scale) {
    PlotFigure figure;
    if (maps.empty()) return figure;
    const MapLayout& layout = maps.front().layout;
    figure.title = "Tiles of " + std::to_string(layout.tile) + " x " + std::to_string(layout.tile) +
                   " cells every " + std::to_string(layout.stride) + " cells";
    figure.notes = {"Ringed tiles are flagged; grey ones have no value."};
    const double cell = scale.cellLength > 0.0 ? scale.cellLength : 1.0;
    const Extent rows = rowExtent(layout), columns = columnExtent(layout);
    const double wide = columns.last - columns.first, high = rows.last - rows.first;
    const double boxWidth =
        wide >= high ? kLongSide : std::max(kLeastSide, kLongSide * wide / high);
    const double boxHeight =
        high >= wide ? kLongSide : std::max(kLeastSide, kLongSide * high / wide);
    figure.columns = static_cast<int>(maps.size());
    figure.width = figure.columns * (boxWidth + kBesideBox);
    figure.height = kFigureTitle + kAboveBox + boxHeight + kBelowBox + kOneNote;
    for (const HurstMap& map : maps)
        figure.panels.push_back(mapPanel(map, cell, axisNames(scale), boxWidth));
    return figure;
}

const char* mapPanelTitle(WindowAxis axis) {
    switch (axis) {
        case WindowAxis::kAlongRows:
            return "H along rows";
        case WindowAxis::kAlongColumns:
            return "H along columns";
        default:
            return "Hurst exponent H";
    }
}
