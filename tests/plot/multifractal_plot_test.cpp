// The multifractal figure's description: its panels, what each shows, and the SVG every build
// writes from it.

#include "multifractal_plot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "plot_files.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Three moments over two sides; the middle interval could not be computed.
MultifractalResult smallResult() {
    MultifractalResult r;
    Spectrum& s = r.spectrum;
    s.q = {-2, 0, 2};
    s.h = {0.9, 0.7, 0.5};
    s.intercept = {0.1, 0.2, 0.3};
    s.tau = {-3.8, -2.0, -1.0};
    s.alpha = {0.9, 0.7, 0.5};
    s.fAlpha = {1.4, 2.0, 1.3};
    for (int side : {9, 17}) {
        SideFluctuations f;
        f.side = side;
        for (std::size_t k = 0; k < s.q.size(); ++k)
            f.logF.push_back(s.intercept[k] + s.h[k] * std::log(side));
        s.sides.push_back(f);
    }
    s.valid = true;
    r.hLow = {0.8, kNaN, 0.4};
    r.hHigh = {1.0, kNaN, 0.6};
    r.warnings = {"few boxes at the largest side"};
    return r;
}

TEST(MultifractalPlot, FourPanelsInOneRowWithTheWarningsUnder) {
    const PlotFigure figure = multifractalFigure(smallResult());
    ASSERT_EQ(figure.panels.size(), 4u);
    EXPECT_EQ(figure.columns, 4);
    EXPECT_EQ(figure.notes, std::vector<std::string>{"few boxes at the largest side"});
}

// h's intervals in the second panel, tau's (q h - 2, ends swapped at q < 0) in the third.
TEST(MultifractalPlot, EachIntervalIsABarAtItsMomentAndMissingOnesAreLeftOut) {
    const PlotFigure figure = multifractalFigure(smallResult());
    const struct {
        std::size_t panel;
        double expected[2][3];
    } cases[] = {{1, {{-2, 0.8, 1.0}, {2, 0.4, 0.6}}}, {2, {{-2, -4.0, -3.6}, {2, -1.2, -0.8}}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.panel);
        std::vector<std::vector<ScenePoint>> bars;
        for (const PlotSeries& s : figure.panels.at(c.panel).series)
            if (s.style == PlotSeries::Style::kLine && s.data.size() == 2 &&
                s.data[0].x == s.data[1].x)
                bars.push_back(s.data);
        ASSERT_EQ(bars.size(), 2u);
        for (std::size_t k = 0; k < bars.size(); ++k) {
            EXPECT_EQ(bars[k][0].x, c.expected[k][0]);
            EXPECT_DOUBLE_EQ(bars[k][0].y, c.expected[k][1]);
            EXPECT_DOUBLE_EQ(bars[k][1].y, c.expected[k][2]);
        }
    }
}

TEST(MultifractalPlot, FittedLinesSpanTheSidesAndTheEndsAndZeroAreNamed) {
    const PlotFigure figure = multifractalFigure(smallResult());
    const PlotPanel& panel = figure.panels.at(0);
    std::vector<std::string> legends;
    for (const PlotSeries& s : panel.series) {
        if (!s.legend.empty()) legends.push_back(s.legend);
        if (s.style != PlotSeries::Style::kLine) continue;
        ASSERT_EQ(s.data.size(), 2u);
        EXPECT_DOUBLE_EQ(s.data[0].x, std::log(9.0));
        EXPECT_DOUBLE_EQ(s.data[1].x, std::log(17.0));
    }
    EXPECT_EQ(legends, (std::vector<std::string>{"q = -2", "q = 0", "q = 2"}));
}

TEST(MultifractalPlot, TheSvgHoldsThePanelsTitlesAsTexts) {
    const auto svg =
        renderPlot(layoutFigure(multifractalFigure(smallResult())), PlotFormat::kSvg, 72.0);
    ASSERT_TRUE(svg);
    for (const char* title : {"ln F_q(n), fitted lines", "h(q) with 90% intervals",
                              "mass exponent tau(q)", "singularity spectrum"})
        EXPECT_NE(svg->find(std::string(">") + title + "</text>"), std::string::npos) << title;
}

}  // namespace
