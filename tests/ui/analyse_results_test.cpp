// "Analyse results..." on the headless platform, which records the plot window the desktop
// shows: its marks, its summary, what Copy copies and what Save plot... writes.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "dialog_fixture.h"
#include "plot_files.h"
#include "plot_window.h"
#include "results_analysis.h"
#include "scaling_report.h"

namespace {

constexpr int kSide = 40;

double cell(int i, int j) {
    return std::sin(i * 0.7 + j * j * 0.3) + 0.01 * i * j;
}

std::string textGrid() {
    std::string grid;
    char value[32];
    for (int i = 0; i < kSide; ++i) {
        for (int j = 0; j < kSide; ++j) {
            std::snprintf(value, sizeof value, "%.17g ", cell(i, j));
            grid += value;
        }
        grid += "\n";
    }
    return grid;
}

std::string csvGrid() {
    std::string grid;
    char value[32];
    for (int i = 0; i < kSide; ++i) {
        for (int j = 0; j < kSide; ++j) {
            std::snprintf(value, sizeof value, "%s%.17g", j > 0 ? "," : "", cell(i, j));
            grid += value;
        }
        grid += "\n";
    }
    return grid;
}

// Version 1.0 of the format: magic, header length, a dictionary padded to 64 bytes, the doubles.
std::string npyGrid() {
    std::string header = "{'descr': '<f8', 'fortran_order': False, 'shape': (" +
                         std::to_string(kSide) + ", " + std::to_string(kSide) + "), }";
    while ((10 + header.size() + 1) % 64 != 0) header += ' ';
    header += '\n';
    std::string bytes = std::string("\x93NUMPY\x01\x00", 8);
    bytes += static_cast<char>(header.size() & 0xFF);
    bytes += static_cast<char>(header.size() >> 8);
    bytes += header;
    for (int i = 0; i < kSide; ++i)
        for (int j = 0; j < kSide; ++j) {
            const double v = cell(i, j);
            char raw[8];
            std::memcpy(raw, &v, 8);  // little-endian hosts only, as the tests run
            bytes.append(raw, 8);
        }
    return bytes;
}

// The summary the engine gives for the text grid's results file under these settings.
std::string expectedSummary(const std::string& resultsFile, double nShift, double mShift) {
    std::vector<std::vector<double>> rows(kSide, std::vector<double>(kSide));
    std::vector<const double*> pointers;
    for (int i = 0; i < kSide; ++i) {
        for (int j = 0; j < kSide; ++j) rows[i][j] = cell(i, j);
        pointers.push_back(rows[i].data());
    }
    ResultsAnalysisRequest request;
    request.nShift = nShift;
    request.mShift = mShift;
    request.normalise = NormaliseSetting::kOff;
    ResultsAnalysis analysis =
        analyseResultsFile(resultsFile, pointers.data(), kSide, kSide, request);
    return analysis.result ? scalingSummary(*analysis.result, resultsFile) : analysis.error;
}

}  // namespace

// Every format Calculate reads, at the dialog's own shifts: the same summary as the engine's
// for the results Calculate wrote; under other shifts, or normalised, the file is refused.
TEST_F(MainDialogTest, AnalyseResultsReadsWhatCalculateReadsWithTheDialogsSettings) {
    const std::pair<const char*, std::string> files[] = {
        {"grid.txt", textGrid()}, {"grid.csv", csvGrid()}, {"grid.npy", npyGrid()}};
    window.type(kIdcFrom, "9");
    window.type(kIdcTo, "225");
    window.type(kIdcStep, "24");
    window.pick(kIdcProgressionType, 0);
    for (const auto& [name, content] : files) {
        SCOPED_TRACE(name);
        const std::string input = writeFile(name, content);
        window.type(kIdcInputFile, input);
        window.type(kIdcNShift, "0.25");
        window.type(kIdcMShift, "0.75");
        window.tick(kIdcNormalise, false);
        platform.queueMessageBoxAnswer(kAnswerYes);
        window.click(kIdcCalculate);
        const std::string results = input + ".out.txt";
        const std::string expected = expectedSummary(results, 0.25, 0.75);
        ASSERT_NE(expected.find("Hurst exponent"), std::string::npos) << expected;

        window.chooseSystemCommand(kIdmAnalyseResults);
        ASSERT_FALSE(platform.plots().empty());
        EXPECT_EQ(platform.plots().back().summary, expected);
        // The dialog's settings are the ones checked: others do not fit this file.
        window.type(kIdcMShift, "0");
        window.chooseSystemCommand(kIdmAnalyseResults);
        EXPECT_EQ(messages().back().find("Hurst exponent"), std::string::npos) << messages().back();
        EXPECT_NE(messages().back().find(results), std::string::npos) << messages().back();
        window.type(kIdcMShift, "0.75");
        window.tick(kIdcNormalise, true);
        window.chooseSystemCommand(kIdmAnalyseResults);
        EXPECT_EQ(messages().back().find("Hurst exponent"), std::string::npos) << messages().back();
    }
    EXPECT_EQ(platform.waitCursorBalance(), 0);
}

TEST_F(MainDialogTest, AnalyseResultsRefusesShiftsOutsideTheData) {
    const std::string input = writeFile("grid.txt", textGrid());
    writeFile("grid.txt.out.txt", "9\t1.0\n");
    window.type(kIdcInputFile, input);
    window.type(kIdcNShift, "1.5");
    window.chooseSystemCommand(kIdmAnalyseResults);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].find("Hurst"), std::string::npos) << messages()[0];
}

TEST_F(MainDialogTest, AnalyseResultsNamesWhatIsMissing) {
    window.chooseSystemCommand(kIdmAnalyseResults);
    EXPECT_EQ(messages(), (std::vector<std::string>{
                              "Analyse results needs the input file whose results Calculate "
                              "wrote: type its name in Input file, or choose it with the \"...\" "
                              "button beside it."}));
    // Results without their data: the data file and the system's reason.
    const std::string missing = (folder() / "gone.txt").string();
    writeFile("gone.txt.out.txt", "9\t1.0\n");
    window.type(kIdcInputFile, missing);
    window.chooseSystemCommand(kIdmAnalyseResults);
    EXPECT_EQ(messages().back(),
              "Error loading data\n\n" + missing + "\nNo such file or directory");
}

TEST_F(MainDialogTest, AnalyseResultsSaysPlainlyWhenThereAreNone) {
    const std::string input = writeFile("grid.txt", "1 2\n3 4\n");
    window.type(kIdcInputFile, input);
    window.chooseSystemCommand(kIdmAnalyseResults);
    EXPECT_EQ(messages(),
              (std::vector<std::string>{"There are no results for " + input +
                                        " yet: Calculate writes them to " + input + ".out.txt"}));
}

// Results of a Calculate over the areas given by a progression file, then Analyse results.
class AnalyseResultsTest : public MainDialogTest {
  protected:
    std::string input;

    void calculateAndAnalyse(const std::string& areas) {
        input = writeFile("grid.txt", textGrid());
        window.type(kIdcInputFile, input);
        window.type(kIdcNShift, "0.5");
        window.type(kIdcMShift, "0.5");
        window.tick(kIdcUseProgressionFile, true);
        window.type(kIdcProgressionFile, writeFile("areas.txt", areas));
        platform.queueMessageBoxAnswer(kAnswerYes);
        window.click(kIdcCalculate);
        window.chooseSystemCommand(kIdmAnalyseResults);
        ASSERT_EQ(platform.plots().size(), 1u) << (messages().empty() ? "" : messages().back());
    }

    std::string texts() const {
        std::string all;
        for (const SceneMark& mark : platform.plots().back().scene.marks)
            if (mark.kind == SceneMark::Kind::kText) all += mark.text + "\n";
        return all;
    }
};

TEST_F(AnalyseResultsTest, ShowsThePlotWindowWithTheSummary) {
    calculateAndAnalyse("6\n9 25 49 81 121 169\n");
    const PlotWindowRequest& plot = platform.plots()[0];
    EXPECT_EQ(plot.title, "Analyse results");
    EXPECT_EQ(plot.summary.rfind(input + ".out.txt: 40 x 40\nHurst exponent H = ", 0), 0u)
        << plot.summary;
    EXPECT_NE(texts().find("H = "), std::string::npos) << texts();
    EXPECT_NE(texts().find("\xCF\x83\xC2\xB2(s)"), std::string::npos);  // sigma squared
}

TEST_F(AnalyseResultsTest, CopyGivesTheSummaryAndTheTable) {
    calculateAndAnalyse("6\n9 25 49 81 121 169\n");
    const PlotWindowRequest& plot = platform.plots().at(0);
    EXPECT_EQ(plot.copyText.rfind(plot.summary + "\nside\t", 0), 0u) << plot.copyText;
    EXPECT_NE(plot.copyText.find("\n13\t169\t"), std::string::npos) << plot.copyText;
}

TEST_F(AnalyseResultsTest, SavePlotWritesTheFileTheUserNames) {
    calculateAndAnalyse("6\n9 25 49 81 121 169\n");
    const std::string results = readFile(input + ".out.txt");
    const PlotWindowRequest& plot = platform.plots().at(0);
    const std::string svg = (folder() / "plot.svg").string();
    platform.queueFileDialogAnswer(svg);
    savePlotAs(platform, plot);
    EXPECT_NE(readFile(svg).find(">H = "), std::string::npos);
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
    const std::size_t before = messages().size();
    platform.queueFileDialogAnswer((folder() / "plot.gif").string());
    savePlotAs(platform, plot);
    ASSERT_EQ(messages().size(), before + 1);
    EXPECT_EQ(messages().back(), "Cannot save the plot as " + (folder() / "plot.gif").string() +
                                     ": the name must end in .svg, .png or .pdf");
    EXPECT_EQ(readFile(input + ".out.txt"), results);  // the results are as they were
}

TEST_F(AnalyseResultsTest, SaysWhichAreasShareASide) {
    // Areas 4 and 8 both give side 2 with centred windows.
    calculateAndAnalyse("8\n4 8 9 25 49 81 121 169\n");
    const PlotWindowRequest& plot = platform.plots().at(0);
    const std::string note = "Areas 4 and 8 both give side 2: the point of side 2 is area 4's";
    EXPECT_NE(plot.summary.find("Note: " + note + "\n"), std::string::npos) << plot.summary;
    EXPECT_NE(texts().find(note), std::string::npos) << texts();
}
