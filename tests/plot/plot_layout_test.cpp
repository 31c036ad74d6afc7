// The layout's decisions: points inside the axes drawn and the others left out, lines cut at the
// axes, the legend where it hides nothing, panels side by side, a colour map with its bar, and
// notes wrapped under the panels.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "plot_figure.h"

namespace {

using Kind = SceneMark::Kind;

std::vector<const SceneMark*> marksOf(const PlotScene& scene, Kind kind) {
    std::vector<const SceneMark*> found;
    for (const SceneMark& mark : scene.marks)
        if (mark.kind == kind) found.push_back(&mark);
    return found;
}

const SceneMark* textMark(const PlotScene& scene, const std::string& text) {
    for (const SceneMark* mark : marksOf(scene, Kind::kText))
        if (mark->text == text) return mark;
    return nullptr;
}

// The frame of the first panel: the first unfilled rectangle.
const SceneMark& frameOf(const PlotScene& scene) {
    for (const SceneMark* mark : marksOf(scene, Kind::kRectangle))
        if (!mark->filled && mark->stroked) return *mark;
    throw std::logic_error("no frame");
}

PlotPanel pointsPanel(std::vector<ScenePoint> data) {
    PlotPanel panel;
    PlotSeries series;
    series.data = std::move(data);
    series.legend = "points";
    panel.series.push_back(series);
    panel.legendLines = {"a second legend line", "and a third one"};
    return panel;
}

}  // namespace

TEST(PlotLayout, DrawsThePointsInsideTheAxesAndLeavesOutTheOthers) {
    PlotFigure figure;
    PlotPanel panel = pointsPanel({{1, 1}, {2, 2}, {3, 3}, {50, 3}, {2, -1}});
    panel.x.from = 0, panel.x.to = 4;
    panel.y.from = 0, panel.y.to = 4;
    figure.panels.push_back(panel);
    const PlotScene scene = layoutFigure(figure);
    // Three data points and the legend's sample.
    EXPECT_EQ(marksOf(scene, Kind::kCircle).size(), 4u);
    const SceneMark& frame = frameOf(scene);
    for (const SceneMark* circle : marksOf(scene, Kind::kCircle)) {
        EXPECT_GE(circle->points[0].x, frame.points[0].x);
        EXPECT_LE(circle->points[0].x, frame.points[1].x);
    }
}

TEST(PlotLayout, CutsLinesAtTheAxes) {
    PlotFigure figure;
    PlotPanel panel;
    PlotSeries line;
    line.style = PlotSeries::Style::kLine;
    line.data = {{-10, -10}, {10, 10}};
    panel.series.push_back(line);
    panel.x.from = panel.y.from = 0;
    panel.x.to = panel.y.to = 1;
    figure.panels.push_back(panel);
    const PlotScene scene = layoutFigure(figure);
    const SceneMark& frame = frameOf(scene);
    std::vector<const SceneMark*> lines;
    for (const SceneMark* mark : marksOf(scene, Kind::kLine))
        if (mark->points.size() == 2 && mark->points[0].x != mark->points[1].x &&
            mark->points[0].y != mark->points[1].y)
            lines.push_back(mark);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NEAR(lines[0]->points[0].x, frame.points[0].x, 1e-9);
    EXPECT_NEAR(lines[0]->points[0].y, frame.points[1].y, 1e-9);
    EXPECT_NEAR(lines[0]->points[1].x, frame.points[1].x, 1e-9);
    EXPECT_NEAR(lines[0]->points[1].y, frame.points[0].y, 1e-9);
}

TEST(PlotLayout, PutsTheLegendWhereItHidesNoPoint) {
    // Rising points leave the top left free, falling ones the bottom left or top right.
    for (const auto& data : {std::vector<ScenePoint>{{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}},
                             std::vector<ScenePoint>{{1, 5}, {2, 4}, {3, 3}, {4, 2}, {5, 1}},
                             std::vector<ScenePoint>{{1, 1}, {1.2, 1}, {1, 5}, {1.2, 5}}}) {
        PlotFigure figure;
        figure.panels.push_back(pointsPanel(data));
        const PlotScene scene = layoutFigure(figure);
        const SceneMark* legend = nullptr;
        for (const SceneMark* mark : marksOf(scene, Kind::kRectangle))
            if (mark->filled && mark->stroked) legend = mark;
        ASSERT_TRUE(legend);
        for (const SceneMark* circle : marksOf(scene, Kind::kCircle)) {
            const ScenePoint& p = circle->points[0];
            const bool insideLegend = p.x > legend->points[0].x && p.x < legend->points[1].x &&
                                      p.y > legend->points[0].y && p.y < legend->points[1].y;
            const bool isSample = p.x < legend->points[0].x + 30;
            EXPECT_TRUE(!insideLegend || isSample) << "a point under the legend at " << p.x;
        }
    }
}

TEST(PlotLayout, LaysPanelsSideBySideAndMapsWithTheirColourBar) {
    PlotFigure figure;
    figure.columns = 2;
    figure.title = "Two panels";
    PlotPanel points = pointsPanel({{1, 1}, {2, 2}});
    points.title = "left";
    PlotPanel map;
    map.title = "right";
    map.map = ColourMap{3, 2, {0, 1, 2, 3, 4, std::nan("")}, 0, 4, "height (m)"};
    figure.panels = {points, map};
    const PlotScene scene = layoutFigure(figure);
    const auto images = marksOf(scene, Kind::kImage);
    ASSERT_EQ(images.size(), 2u);  // the map and its bar
    EXPECT_EQ(images[0]->imageWidth, 3);
    EXPECT_EQ(images[0]->pixels.size(), 6u);
    EXPECT_NE(images[0]->pixels[0], images[0]->pixels[4]);  // low and high differ
    EXPECT_EQ(images[0]->pixels[5], 0xC8C8C8u);             // NaN is grey
    EXPECT_EQ(images[1]->imageWidth, 1);
    const SceneMark* left = textMark(scene, "left");
    const SceneMark* right = textMark(scene, "right");
    ASSERT_TRUE(left && right);
    EXPECT_LT(left->points[0].x, scene.width / 2);
    EXPECT_GT(right->points[0].x, scene.width / 2);
    ASSERT_TRUE(textMark(scene, "height (m)"));
    EXPECT_TRUE(textMark(scene, "height (m)")->vertical);
    EXPECT_TRUE(textMark(scene, "Two panels")->bold);
}

TEST(PlotLayout, WrapsNotesUnderThePanels) {
    PlotFigure figure;
    figure.width = 300;
    figure.panels.push_back(pointsPanel({{1, 1}}));
    figure.notes = {"a warning long enough to need two lines at this narrow width, or three"};
    const PlotScene scene = layoutFigure(figure);
    std::vector<const SceneMark*> noteLines;
    for (const SceneMark* mark : marksOf(scene, Kind::kText))
        if (mark->points[0].y > frameOf(scene).points[1].y + 40) noteLines.push_back(mark);
    ASSERT_GE(noteLines.size(), 2u);
    for (const SceneMark* line : noteLines)
        EXPECT_LE(estimatedTextWidth(line->text, line->size), 300 - 24) << line->text;
    EXPECT_LE(noteLines.back()->points[0].y, scene.height);
}
