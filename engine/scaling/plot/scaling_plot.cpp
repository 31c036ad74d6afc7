#include "scaling_plot.h"

#include <cctype>
#include <cmath>
#include <cstdio>

#include "plot_files.h"

namespace {

constexpr SceneColour kPoints{13, 51, 140}, kFitLine{204, 26, 26}, kBand{219, 234, 255},
    kLowerSlope{230, 120, 0}, kUpperSlope{0, 140, 70};

std::string fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// The window side is drawn in the file's unit where it names one, else in cells.
bool axisInUnits(const SideUnit& unit) {
    return unit.known() && !unit.name.empty();
}

bool curved(const ScalingResult& result) {
    for (const std::string& code : result.warningCodes)
        if (code == "curved") return true;
    return false;
}

// The line of slope `slope` in log sigma² against log s through the mean of the fitted points
// with sides from `first` to `last`, drawn over those sides.
PlotSeries localSlope(const ScalingResult& result, double slope, int first, int last,
                      double sideScale, SceneColour colour) {
    double sumX = 0, sumY = 0;
    int count = 0;
    for (const ScalingPoint& p : result.table.points)
        if (p.fitted && p.side >= first && p.side <= last && p.sigma2 > 0 &&
            std::isfinite(p.sigma2)) {
            sumX += std::log(p.side);
            sumY += std::log(p.sigma2);
            ++count;
        }
    PlotSeries series;
    series.style = PlotSeries::Style::kLine;
    series.dashed = true;
    series.colour = colour;
    series.width = 1.4;
    series.legend = "local slope 2H = " + fixed(slope, 2) + " over sides " + std::to_string(first) +
                    "-" + std::to_string(last);
    if (count == 0) return series;
    const double meanX = sumX / count, meanY = sumY / count;
    for (int side : {first, last})
        series.data.push_back(
            {side * sideScale, std::exp(meanY + slope * (std::log(side) - meanX))});
    return series;
}

}  // namespace

std::string squaredUnit(const std::string& unit) {
    bool plain = !unit.empty();
    for (unsigned char c : unit) plain = plain && (std::isalpha(c) || c >= 0x80);
    return (plain ? unit : "(" + unit + ")") + "\xC2\xB2";
}

PlotFigure scalingFigure(const ScalingResult& result, const ScalingPlotOptions& options) {
    PlotFigure figure;
    figure.width = options.width;
    figure.height = options.height;
    figure.title = options.title;
    PlotPanel panel;
    const bool inUnits = axisInUnits(result.sideUnit);
    const double sideScale = inUnits ? result.sideUnit.length : 1.0;
    panel.x.logarithmic = panel.y.logarithmic = true;
    panel.x.label = inUnits ? "window side s (" + result.sideUnit.name + ")" : "window side s";
    panel.y.label = "mean squared residual per cell \xCF\x83\xC2\xB2(s)";
    const std::string& valueUnit =
        options.valueUnit.empty() ? result.sideUnit.valueName : options.valueUnit;
    if (!valueUnit.empty()) panel.y.label += " (" + squaredUnit(valueUnit) + ")";

    const HurstFit& fit = result.fit;
    if (fit.valid) {
        PlotBand band;
        band.from = fit.firstSide * sideScale;
        band.to = fit.lastSide * sideScale;
        band.colour = kBand;
        band.legend = "fit range: sides " + std::to_string(fit.firstSide) + " to " +
                      std::to_string(fit.lastSide) + ", " + std::to_string(fit.points) + " points";
        panel.bands.push_back(band);
    }
    PlotSeries fitted, left;
    fitted.colour = left.colour = kPoints;
    left.hollow = true;
    for (const ScalingPoint& p : result.table.points)
        (p.fitted ? fitted : left).data.push_back({p.side * sideScale, p.sigma2});
    fitted.legend = "fitted points";
    left.legend = left.data.empty() ? "" : "points left out of the fit";
    if (fit.valid) {
        // The line is fitted in natural logarithms: ln sigma² = b + 2H ln s.
        PlotSeries line;
        line.style = PlotSeries::Style::kLine;
        line.colour = kFitLine;
        line.width = 1.6;
        for (int side : {fit.firstSide, fit.lastSide})
            line.data.push_back(
                {side * sideScale, std::exp(fit.intercept + 2.0 * fit.hurst * std::log(side))});
        line.legend = "fitted line, slope 2H = " + fixed(2.0 * fit.hurst, 3);
        panel.series.push_back(line);
        if (curved(result)) {
            panel.series.push_back(localSlope(result, fit.lowerSlope, fit.firstSide, fit.lowerLast,
                                              sideScale, kLowerSlope));
            panel.series.push_back(localSlope(result, fit.upperSlope, fit.upperFirst, fit.lastSide,
                                              sideScale, kUpperSlope));
        }
    }
    panel.series.push_back(fitted);
    panel.series.push_back(left);
    if (result.defined) {
        panel.legendLines.push_back("H = " + fixed(result.hurst, 3) + "  (90%: " +
                                    fixed(result.low, 3) + " to " + fixed(result.high, 3) + ")");
        panel.legendLines.push_back("D = 3 - H = " + fixed(result.fractalDimension(), 3));
    } else {
        panel.legendLines.push_back("H not defined: no line could be fitted");
    }
    figure.panels.push_back(panel);
    figure.notes = result.warnings;
    figure.notes.insert(figure.notes.end(), options.notes.begin(), options.notes.end());
    return figure;
}

bool writeScalingPlot(const ScalingResult& result, const ScalingPlotOptions& options,
                      const std::string& path, std::string& error) {
    return writePlotFile(layoutFigure(scalingFigure(result, options)), path, options.dpi, error);
}
