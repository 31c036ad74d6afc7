// The map's figure: each tile at its place on the surface's own axes, the first row at the top,
// and the panel's box in the shape of the mapped area.

#include "map_figure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

TEST(MapFigure, PlacesTilesOnTheSurfacesAxesWithRowsCountedDownwards) {
    // 256 x 384 cells, tiles 128 every 64: 3 x 5 tiles, covering cells 32 to 224 down and 32 to
    // 352 across; a cell is 0.5 m.
    HurstMap map;
    map.layout = mapLayout(256, 384, 128, 64);
    ASSERT_EQ(map.layout.tileCount(), 15);
    for (int t = 0; t < 15; ++t) map.hurst.push_back(t / 20.0);
    map.flags.assign(15, 0);
    map.flags[2 * 5 + 4] = kMapCurved;  // the bottom-right tile
    map.flags[0] = kMapMissing;
    map.hurst[0] = std::nan("");

    const PlotFigure figure = mapFigure({map}, MapScale{0.5, "m"});
    ASSERT_EQ(figure.panels.size(), 1u);
    const PlotPanel& panel = figure.panels[0];
    EXPECT_EQ(panel.x.label, "x (m)");
    EXPECT_EQ(panel.y.label, "y (m), from the top");
    EXPECT_DOUBLE_EQ(panel.x.from, 16.0);
    EXPECT_DOUBLE_EQ(panel.x.to, 176.0);
    EXPECT_DOUBLE_EQ(panel.y.from, -112.0);  // the bottom edge
    EXPECT_DOUBLE_EQ(panel.y.to, -16.0);
    ASSERT_FALSE(panel.y.ticks.empty());
    for (const AxisTick& tick : panel.y.ticks)
        EXPECT_DOUBLE_EQ(std::stod(tick.label), -tick.value) << tick.label;
    ASSERT_TRUE(panel.map);
    EXPECT_EQ(panel.map->rows, 3);
    EXPECT_EQ(panel.map->columns, 5);
    // The ring marks the flagged tile with a value, at its centre (cells 320 across, 192 down).
    ASSERT_EQ(panel.series.size(), 1u);
    ASSERT_EQ(panel.series[0].data.size(), 1u);
    EXPECT_DOUBLE_EQ(panel.series[0].data[0].x, 160.0);
    EXPECT_DOUBLE_EQ(panel.series[0].data[0].y, -96.0);

    // The colour map's box is as wide for its height as the mapped area: 320 by 192 cells.
    const PlotScene scene = layoutFigure(figure);
    for (const SceneMark& mark : scene.marks)
        if (mark.kind == SceneMark::Kind::kImage && mark.imageWidth == 5) {
            const double wide = mark.points[1].x - mark.points[0].x;
            const double high = mark.points[1].y - mark.points[0].y;
            EXPECT_NEAR(wide / high, 320.0 / 192.0, 1e-9);
        }
}

TEST(MapFigure, AxesInCellsWithoutAPixelSize) {
    HurstMap map;
    map.layout = mapLayout(128, 128, 128, 64);
    map.hurst = {0.5};
    map.flags = {0};
    const PlotPanel panel = mapFigure({map}, MapScale{}).panels.at(0);
    EXPECT_EQ(panel.x.label, "column");
    EXPECT_EQ(panel.y.label, "row");
    EXPECT_DOUBLE_EQ(panel.x.from, 32.0);
    EXPECT_DOUBLE_EQ(panel.x.to, 96.0);
    EXPECT_TRUE(panel.series.empty());
}
