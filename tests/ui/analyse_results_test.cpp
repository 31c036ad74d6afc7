// "Analyse results..." on the headless platform, which shows the summary where the desktop shows
// the plot above it.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "dialog_fixture.h"
#include "scaling_analysis.h"
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

// A results file over sides 3 to 13 whose residual sums follow (R - s)(C - s) s.
std::string resultsText() {
    std::string results;
    for (int side = 3; side <= 13; side += 2) {
        char line[64];
        std::snprintf(line, sizeof line, "%d\t%.5f\n", side * side,
                      (kSide - side) * (kSide - side) * (side + 0.1 * (side % 3)));
        results += line;
    }
    return results;
}

// The summary the engine gives for the grid with these shifts.
std::string expectedSummary(const std::string& resultsFile, double nShift, double mShift) {
    std::vector<std::vector<double>> rows(kSide, std::vector<double>(kSide));
    std::vector<const double*> pointers;
    for (int i = 0; i < kSide; ++i) {
        for (int j = 0; j < kSide; ++j) rows[i][j] = cell(i, j);
        pointers.push_back(rows[i].data());
    }
    std::vector<std::pair<int, double>> table;
    std::istringstream in(resultsText());
    for (int area; in >> area;) {
        double residual = 0;
        in >> residual;
        table.emplace_back(area, residual);
    }
    ScalingRequest request;
    request.compute.nShift = nShift;
    request.compute.mShift = mShift;
    return scalingSummary(fitResultsTable(pointers.data(), kSide, kSide, table, request),
                          resultsFile);
}

}  // namespace

// Every format Calculate reads, at the dialog's own shifts: the same summary as the engine's.
TEST_F(MainDialogTest, AnalyseResultsReadsWhatCalculateReadsWithTheDialogsShifts) {
    // The shifts matter to the summary, so that the test sees which ones were used.
    ASSERT_NE(expectedSummary("r", 0.25, 0.75), expectedSummary("r", 0.5, 0.5));
    const std::pair<const char*, std::string> files[] = {
        {"grid.txt", textGrid()}, {"grid.csv", csvGrid()}, {"grid.npy", npyGrid()}};
    for (const auto& [name, content] : files) {
        SCOPED_TRACE(name);
        const std::string input = writeFile(name, content);
        writeFile(std::string(name) + ".out.txt", resultsText());
        window.type(kIdcInputFile, input);
        window.type(kIdcNShift, "0.25");
        window.type(kIdcMShift, "0.75");
        const std::size_t before = messages().size();
        window.chooseSystemCommand(kIdmAnalyseResults);
        ASSERT_EQ(messages().size(), before + 1);
        EXPECT_EQ(messages().back(), expectedSummary(input + ".out.txt", 0.25, 0.75));
    }
    EXPECT_EQ(platform.waitCursorBalance(), 0);
}

TEST_F(MainDialogTest, AnalyseResultsRefusesShiftsOutsideTheData) {
    const std::string input = writeFile("grid.txt", textGrid());
    writeFile("grid.txt.out.txt", resultsText());
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
    writeFile("gone.txt.out.txt", resultsText());
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

// Residual sums of (R - s)(C - s) s: sigma2 = s, a line of slope 1, so H = 0.5 exactly.
TEST_F(MainDialogTest, AnalyseResultsFitsTheResultsFile) {
    std::string grid, results;
    for (int i = 0; i < 64; ++i) {
        for (int j = 0; j < 64; ++j) grid += std::to_string(std::sin(i * 0.7 + j * j * 0.3)) + " ";
        grid += "\n";
    }
    for (int side : {5, 7, 9, 11, 13, 15}) {
        char line[64];
        std::snprintf(line, sizeof line, "%d\t%.5f\n", side * side,
                      (64.0 - side) * (64 - side) * side);
        results += line;
    }
    const std::string input = writeFile("grid.txt", grid);
    writeFile("grid.txt.out.txt", results);
    window.type(kIdcInputFile, input);
    window.chooseSystemCommand(kIdmAnalyseResults);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(
        messages()[0].rfind(input + ".out.txt: 64 x 64\nHurst exponent H = 0.500, 90% interval", 0),
        0u)
        << messages()[0];
    EXPECT_EQ(readFile(input + ".out.txt"), results);  // nothing written
}
