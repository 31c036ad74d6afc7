#include "multifractal_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "plot_files.h"

namespace {

constexpr double kWidth = 1600, kHeight = 440;
constexpr SceneColour kExponent{26, 51, 204}, kInterval{128, 160, 235}, kTau{90, 90, 90},
    kSpectrum{26, 128, 51};

std::string number(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

// From blue at the lowest q to red at the highest.
SceneColour momentColour(std::size_t k, std::size_t n) {
    const double t = n > 1 ? static_cast<double>(k) / (n - 1) : 0.5;
    return {static_cast<std::uint8_t>(std::lround(255 * (0.1 + 0.8 * t))), 51,
            static_cast<std::uint8_t>(std::lround(255 * (0.9 - 0.8 * t)))};
}

PlotPanel titled(std::string title, std::string x, std::string y) {
    PlotPanel panel;
    panel.title = std::move(title);
    panel.x.label = std::move(x);
    panel.y.label = std::move(y);
    return panel;
}

PlotSeries series(PlotSeries::Style style, SceneColour colour) {
    PlotSeries s;
    s.style = style;
    s.colour = colour;
    s.width = style == PlotSeries::Style::kMarkers ? 1.2 : 1.0;
    return s;
}

// Markers where both values are finite.
void addPoints(PlotSeries& s, double x, double y) {
    if (std::isfinite(x) && std::isfinite(y)) s.data.push_back({x, y});
}

PlotPanel fluctuationPanel(const Spectrum& s) {
    PlotPanel panel = titled("ln F_q(n), fitted lines", "ln n", "ln F_q");
    const std::size_t n = s.q.size();
    for (std::size_t k = 0; k < n; ++k) {
        PlotSeries points = series(PlotSeries::Style::kMarkers, momentColour(k, n));
        for (const SideFluctuations& side : s.sides)
            addPoints(points, std::log(side.side), side.logF[k]);
        // The ends of the q range and q = 0 are named; the colours between follow them.
        if (k == 0 || k + 1 == n || s.q[k] == 0) points.legend = "q = " + number("%g", s.q[k]);
        panel.series.push_back(points);
        if (!std::isfinite(s.h[k]) || s.sides.empty()) continue;
        PlotSeries line = series(PlotSeries::Style::kLine, momentColour(k, n));
        for (double x : {std::log(s.sides.front().side), std::log(s.sides.back().side)})
            addPoints(line, x, s.intercept[k] + s.h[k] * x);
        panel.series.push_back(line);
    }
    return panel;
}

// Each interval a vertical bar at its q, named once; intervals that could not be computed are
// left out.
void addIntervalBars(PlotPanel& panel, const std::vector<double>& q, const std::vector<double>& low,
                     const std::vector<double>& high) {
    bool named = false;
    for (std::size_t k = 0; k < q.size() && k < low.size() && k < high.size(); ++k) {
        if (!std::isfinite(low[k]) || !std::isfinite(high[k])) continue;
        PlotSeries bar = series(PlotSeries::Style::kLine, kInterval);
        bar.width = 1.6;
        bar.data = {{q[k], low[k]}, {q[k], high[k]}};
        if (!named) bar.legend = "90% interval", named = true;
        panel.series.push_back(bar);
    }
}

PlotPanel exponentPanel(const MultifractalResult& r) {
    const Spectrum& s = r.spectrum;
    PlotPanel panel = titled("h(q) with 90% intervals", "q", "h(q)");
    PlotSeries h = series(PlotSeries::Style::kMarkers, kExponent);
    h.legend = "h(q)";
    for (std::size_t k = 0; k < s.q.size(); ++k) addPoints(h, s.q[k], s.h[k]);
    addIntervalBars(panel, s.q, r.hLow, r.hHigh);  // under the points
    panel.series.push_back(h);
    return panel;
}

// tau = q h - 2, so h's interval maps to tau's, its ends swapped where q < 0.
PlotPanel tauPanel(const MultifractalResult& r) {
    const Spectrum& s = r.spectrum;
    PlotPanel panel = titled("mass exponent tau(q)", "q", "tau(q)");
    std::vector<double> low, high;
    for (std::size_t k = 0; k < s.q.size() && k < r.hLow.size() && k < r.hHigh.size(); ++k) {
        const double a = s.q[k] * r.hLow[k] - 2.0, b = s.q[k] * r.hHigh[k] - 2.0;
        low.push_back(std::min(a, b));
        high.push_back(std::max(a, b));
    }
    addIntervalBars(panel, s.q, low, high);
    PlotSeries line = series(PlotSeries::Style::kLine, kTau);
    PlotSeries points = series(PlotSeries::Style::kMarkers, kTau);
    for (std::size_t k = 0; k < s.q.size(); ++k) {
        addPoints(line, s.q[k], s.tau[k]);
        addPoints(points, s.q[k], s.tau[k]);
    }
    panel.series.push_back(line);
    panel.series.push_back(points);
    return panel;
}

PlotPanel singularityPanel(const MultifractalResult& r) {
    const Spectrum& s = r.spectrum;
    PlotPanel panel = titled("singularity spectrum", "alpha", "f(alpha)");
    PlotSeries points = series(PlotSeries::Style::kMarkers, kSpectrum);
    for (std::size_t k = 0; k < s.q.size(); ++k) addPoints(points, s.alpha[k], s.fAlpha[k]);
    panel.series.push_back(points);
    panel.legendLines.push_back(r.verdict());
    if (r.test.done) panel.legendLines.push_back("p = " + number("%.3f", r.test.pValue));
    return panel;
}

}  // namespace

PlotFigure multifractalFigure(const MultifractalResult& result) {
    PlotFigure figure;
    figure.width = kWidth;
    figure.height = kHeight;
    figure.panels = {fluctuationPanel(result.spectrum), exponentPanel(result), tauPanel(result),
                     singularityPanel(result)};
    figure.columns = static_cast<int>(figure.panels.size());
    figure.notes = result.warnings;
    return figure;
}

bool writeMultifractalPlot(const MultifractalResult& result, const std::string& path,
                           std::string& error) {
    return writePlotFile(layoutFigure(multifractalFigure(result)), path, 72.0, error);
}
