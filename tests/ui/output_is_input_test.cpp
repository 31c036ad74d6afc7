// Calculate goes through the run's check that no output is an input: a progression file that is
// also the results file (or a link to the data) is named in a message and left as it was.

#include <filesystem>

#include "dialog_fixture.h"

TEST_F(MainDialogTest, CalculateRefusesAResultsFileThatIsAnInput) {
    const std::string input = writeFile("grid.txt", "1 2 3\n4 5 6\n7 8 9\n");
    const std::string areas = writeFile("grid.txt.out.txt", "1\n4\n");
    window.type(kIdcInputFile, input);
    window.tick(kIdcUseProgressionFile, true);
    window.type(kIdcProgressionFile, areas);

    window.click(kIdcCalculate);

    EXPECT_EQ(messages(), (std::vector<std::string>{"The output file " + areas +
                                                    " is the same file as the input " + areas +
                                                    ": nothing was written"}));
    EXPECT_EQ(readFile(areas), "1\n4\n");
    EXPECT_EQ(platform.waitCursorBegins(), 0);  // the data was not read
}
