// Paths and values are data, never code: no path passes through a shell, no text of the user's
// becomes a format string, and the only files written are those named from the input path.

#include <gtest/gtest.h>

#include "child_process.h"
#include "folder_run.h"

TEST(CliSafety, OutputNamesAreTheInputPathWithTheirEndingsWhateverItHolds) {
    const std::string input = "100%s%d%n $(touch shell1);`touch shell2`|touch shell3 'x\"*?.txt";
    TempFolder folder;
    folder.write(input, FolderRun::kData);
    ProgramRun run = runCli(folder.path(""), {"run", "--input", input, "--linear", "1", "4", "3",
                                              "--generate-surfaces", "--no-optimise", "--yes"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "Data rows: 3 Data colums:3\n");
    Files files = filesIn(folder.path(""));
    EXPECT_EQ(files.size(), 4u);
    EXPECT_EQ(files[input + ".out.txt"], FolderRun::kResults);
    EXPECT_EQ(files.count(input + ".1.out.no_opt.txt"), 1u);
    EXPECT_EQ(files.count(input + ".4.out.no_opt.txt"), 1u);
}

TEST(CliSafety, MessagesShowTheUsersTextAsItIs) {
    TempFolder folder;
    folder.write("data.txt", "1 %n%s%s%s%x\n");
    ProgramRun run =
        runCli(folder.path(""), {"run", "--input", "data.txt", "--linear", "1", "1", "1", "--yes"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              "Data rows: 1 Data colums:2\n"
              "The value \"%n%s%s%s%x\" in row 1, column 2 is not a number\n"
              "Error loading data\n");

    ProgramRun option = runCli(folder.path(""), {"run", "--precision", "%n%s"});
    EXPECT_EQ(option.status, 2);
    EXPECT_EQ(option.err.substr(0, option.err.find('\n')),
              "vantrel-cli: --precision: '%n%s' is not an integer");
}
