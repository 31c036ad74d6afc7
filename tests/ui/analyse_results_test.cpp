// "Analyse results..." on the headless platform, which shows the summary where the desktop shows
// the plot above it.

#include <cmath>
#include <cstdio>

#include "dialog_fixture.h"

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
