// "Analyse results..." on the headless platform, which shows the summary where the desktop shows
// the plot above it.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "dialog_fixture.h"
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
        EXPECT_EQ(messages().back(), expected);
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
