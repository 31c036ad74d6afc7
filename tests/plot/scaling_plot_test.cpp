// The log-log plot's description: what a reader of a scaling analysis sees in it.

#include "scaling_plot.h"

#include <gtest/gtest.h>

#include <cmath>

#include "shared_sides.h"

namespace {

// sigma² = s^(2H) over the sides, the middle ones fitted.
ScalingResult straightResult(double hurst) {
    ScalingResult result;
    for (int side : {3, 5, 7, 9, 11, 13, 15, 17, 19, 21, 23, 41}) {
        ScalingPoint p;
        p.side = side;
        p.area = side * side;
        p.sigma2 = std::pow(side, 2 * hurst);
        p.fitted = side >= 5 && side <= 23;
        result.table.points.push_back(p);
    }
    result.fit.valid = true;
    result.fit.hurst = hurst;
    result.fit.firstSide = 5;
    result.fit.lastSide = 23;
    result.fit.points = 10;
    result.fit.lowerSlope = 1.0, result.fit.upperSlope = 1.4;
    result.fit.lowerLast = 13, result.fit.upperFirst = 13;
    result.defined = true;
    result.hurst = hurst, result.low = hurst - 0.02, result.high = hurst + 0.02;
    return result;
}

std::vector<std::string> legendOf(const PlotFigure& figure) {
    std::vector<std::string> lines;
    const PlotPanel& panel = figure.panels.at(0);
    for (const PlotSeries& s : panel.series)
        if (!s.legend.empty()) lines.push_back(s.legend);
    for (const PlotBand& b : panel.bands) lines.push_back(b.legend);
    for (const std::string& line : panel.legendLines) lines.push_back(line);
    return lines;
}

}  // namespace

TEST(ScalingPlot, ShowsTheFitItsRangeAndTheExponent) {
    const PlotFigure figure = scalingFigure(straightResult(0.6), {});
    EXPECT_EQ(legendOf(figure),
              (std::vector<std::string>{"fitted line, slope 2H = 1.200", "fitted points",
                                        "points left out of the fit",
                                        "fit range: sides 5 to 23, 10 points",
                                        "H = 0.600  (90%: 0.580 to 0.620)", "D = 3 - H = 2.400"}));
    const PlotPanel& panel = figure.panels[0];
    EXPECT_TRUE(panel.x.logarithmic && panel.y.logarithmic);
    EXPECT_EQ(panel.x.label, "window side s");
    EXPECT_EQ(panel.y.label, "mean squared residual per cell \xCF\x83\xC2\xB2(s)");
    // The fitted line passes through the points it fits: sigma² = s^1.2.
    const PlotSeries& line = panel.series[0];
    EXPECT_NEAR(line.data[1].y, std::pow(23, 1.2), 1e-9 * std::pow(23, 1.2));
}

TEST(ScalingPlot, DrawsTheLocalSlopesWhereTheLineIsCurved) {
    ScalingResult result = straightResult(0.6);
    EXPECT_EQ(scalingFigure(result, {}).panels[0].series.size(), 3u);
    result.warn({"curved",
                 "The log-log line is curved: its local slope 2H is 1.00 over sides 5-13 and 1.40 "
                 "over sides 13-23"});
    const PlotFigure figure = scalingFigure(result, {});
    const PlotPanel& panel = figure.panels[0];
    ASSERT_EQ(panel.series.size(), 5u);
    EXPECT_EQ(panel.series[1].legend, "local slope 2H = 1.00 over sides 5-13");
    EXPECT_EQ(panel.series[2].legend, "local slope 2H = 1.40 over sides 13-23");
    EXPECT_TRUE(panel.series[1].dashed);
    // Each over its own sides, with its own slope.
    const auto& lower = panel.series[1].data;
    EXPECT_EQ(lower[0].x, 5);
    EXPECT_EQ(lower[1].x, 13);
    EXPECT_NEAR(std::log(lower[1].y / lower[0].y) / std::log(13.0 / 5), 1.0, 1e-12);
    EXPECT_EQ(figure.notes, result.warnings);
}

TEST(ScalingPlot, TellsUnitsTitleAndNotes) {
    ScalingResult result = straightResult(0.5);
    result.sideUnit.length = 30.0;
    result.sideUnit.name = "m";
    ScalingPlotOptions options;
    options.valueUnit = "m";
    options.title = "DEM";
    options.width = 300;
    options.notes = {"a note"};
    result.warnings = {"a warning"};
    const PlotFigure figure = scalingFigure(result, options);
    EXPECT_EQ(figure.title, "DEM");
    EXPECT_EQ(figure.width, 300);
    EXPECT_EQ(figure.panels[0].x.label, "window side s (m)");
    EXPECT_EQ(figure.panels[0].y.label,
              "mean squared residual per cell \xCF\x83\xC2\xB2(s) (m\xC2\xB2)");
    EXPECT_EQ(figure.panels[0].bands[0].from, 150);  // side 5 of 30 m cells
    EXPECT_EQ(figure.notes, (std::vector<std::string>{"a warning", "a note"}));
}

TEST(ScalingPlot, SquaresUnits) {
    const std::pair<const char*, const char*> cases[] = {{"m", "m\xC2\xB2"},
                                                         {"nm", "nm\xC2\xB2"},
                                                         {"\xC2\xB5m", "\xC2\xB5m\xC2\xB2"},
                                                         {"m/s", "(m/s)\xC2\xB2"},
                                                         {"deg C", "(deg C)\xC2\xB2"}};
    for (const auto& [unit, squared] : cases) EXPECT_EQ(squaredUnit(unit), squared) << unit;
}

TEST(SharedSides, NamesTheAreasThatGiveOneSide) {
    const std::pair<std::vector<int>, std::vector<std::string>> cases[] = {
        {{25, 49, 81}, {}},
        {{4, 8, 25}, {"Areas 4 and 8 both give side 2: the point of side 2 is area 4's"}},
        {{8, 4, 5, 9, 10, 11},
         {"Areas 8, 4 and 5 all give side 2: the point of side 2 is area 8's",
          "Areas 9, 10 and 11 all give side 3: the point of side 3 is area 9's"}},
    };
    for (const auto& [areas, notes] : cases) {
        std::vector<std::pair<int, double>> rows;
        for (int area : areas) rows.push_back({area, 1.0});
        EXPECT_EQ(sharedSideNotes(rows), notes) << areas.size();
    }
}
