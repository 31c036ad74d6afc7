// "Analyse results..." on the headless platform, which records the plot window the desktop
// shows: its marks, its summary, what Copy copies and what Save plot... writes.

#include <cmath>
#include <cstdio>

#include "dialog_fixture.h"
#include "plot_files.h"
#include "plot_window.h"

TEST_F(MainDialogTest, AnalyseResultsSaysPlainlyWhenThereAreNone) {
    const std::string input = writeFile("grid.txt", "1 2\n3 4\n");
    window.type(kIdcInputFile, input);
    window.chooseSystemCommand(kIdmAnalyseResults);
    EXPECT_EQ(messages(),
              (std::vector<std::string>{"There are no results for " + input +
                                        " yet: Calculate writes them to " + input + ".out.txt"}));
}

// Residual sums of (R - s)(C - s) s: sigma2 = s, a line of slope 1, so H = 0.5 exactly. The
// table's areas are written for each side given.
class AnalyseResultsTest : public MainDialogTest {
  protected:
    std::string input;
    std::string results;

    void writeSurfaceAndResults(const std::vector<int>& areas) {
        std::string grid;
        for (int i = 0; i < 64; ++i) {
            for (int j = 0; j < 64; ++j)
                grid += std::to_string(std::sin(i * 0.7 + j * j * 0.3)) + " ";
            grid += "\n";
        }
        for (int area : areas) {
            const int side = static_cast<int>(std::lround(std::sqrt(area)));
            char line[64];
            std::snprintf(line, sizeof line, "%d\t%.5f\n", area,
                          (64.0 - side) * (64 - side) * side);
            results += line;
        }
        input = writeFile("grid.txt", grid);
        writeFile("grid.txt.out.txt", results);
        window.type(kIdcInputFile, input);
        window.chooseSystemCommand(kIdmAnalyseResults);
    }

    std::string texts() const {
        std::string all;
        for (const SceneMark& mark : platform.plots().back().scene.marks)
            if (mark.kind == SceneMark::Kind::kText) all += mark.text + "\n";
        return all;
    }
};

TEST_F(AnalyseResultsTest, ShowsThePlotWindowWithTheSummary) {
    writeSurfaceAndResults({25, 49, 81, 121, 169, 225});
    EXPECT_TRUE(messages().empty());
    ASSERT_EQ(platform.plots().size(), 1u);
    const PlotWindowRequest& plot = platform.plots()[0];
    EXPECT_EQ(plot.title, "Analyse results");
    EXPECT_EQ(
        plot.summary.rfind(input + ".out.txt: 64 x 64\nHurst exponent H = 0.500, 90% interval", 0),
        0u)
        << plot.summary;
    EXPECT_NE(texts().find("H = 0.500"), std::string::npos) << texts();
    EXPECT_NE(texts().find("\xCF\x83\xC2\xB2(s)"), std::string::npos);  // sigma squared
    EXPECT_EQ(readFile(input + ".out.txt"), results);                   // nothing written
}

TEST_F(AnalyseResultsTest, CopyGivesTheSummaryAndTheTable) {
    writeSurfaceAndResults({25, 49, 81, 121, 169, 225});
    const PlotWindowRequest& plot = platform.plots().at(0);
    EXPECT_EQ(plot.copyText.rfind(plot.summary + "\nside\t", 0), 0u) << plot.copyText;
    EXPECT_NE(plot.copyText.find("\n15\t225\t"), std::string::npos) << plot.copyText;
}

TEST_F(AnalyseResultsTest, SavePlotWritesTheFileTheUserNames) {
    writeSurfaceAndResults({25, 49, 81, 121, 169, 225});
    const PlotWindowRequest& plot = platform.plots().at(0);
    const std::string svg = (folder() / "plot.svg").string();
    platform.queueFileDialogAnswer(svg);
    savePlotAs(platform, plot);
    EXPECT_NE(readFile(svg).find(">H = 0.500"), std::string::npos);
    EXPECT_FALSE(platform.fileDialogs().back().open);
    // PNG and PDF where the build has cairo (the headless platform draws no pixels of its own).
    if (plotFormatAvailable(PlotFormat::kPdf)) {
        EXPECT_EQ(plot.saveFilter,
                  "SVG image (*.svg)|*.svg|PNG image (*.png)|*.png|PDF document (*.pdf)|*.pdf||");
        const std::string pdf = (folder() / "plot.pdf").string();
        const std::string png = (folder() / "plot.png").string();
        for (const std::string& path : {pdf, png}) {
            platform.queueFileDialogAnswer(path);
            savePlotAs(platform, plot);
        }
        EXPECT_EQ(readFile(pdf).rfind("%PDF", 0), 0u);
        EXPECT_EQ(readFile(png).substr(1, 3), "PNG");
    } else {
        EXPECT_EQ(plot.saveFilter, "SVG image (*.svg)|*.svg||");
    }
    EXPECT_TRUE(messages().empty()) << messages()[0];

    platform.queueFileDialogAnswer((folder() / "plot.gif").string());
    savePlotAs(platform, plot);
    EXPECT_EQ(messages(), (std::vector<std::string>{"Cannot save the plot as " +
                                                    (folder() / "plot.gif").string() +
                                                    ": the name must end in .svg, .png or .pdf"}));
}

TEST_F(AnalyseResultsTest, SaysWhichAreasShareASide) {
    // Areas 4 and 8 both give side 2 with centred windows.
    writeSurfaceAndResults({4, 8, 25, 49, 81, 121, 169, 225});
    const PlotWindowRequest& plot = platform.plots().at(0);
    const std::string note = "Areas 4 and 8 both give side 2: the point of side 2 is area 4's";
    EXPECT_NE(plot.summary.find("Note: " + note + "\n"), std::string::npos) << plot.summary;
    EXPECT_NE(texts().find(note), std::string::npos) << texts();
}
