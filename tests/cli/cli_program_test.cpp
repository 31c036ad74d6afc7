// Runs the real vantrel-cli in a temporary folder, without a shell, and checks what it prints,
// its exit status and the files it leaves.

#include <gtest/gtest.h>

#include "cli_runner.h"

TEST(VantrelCli, CompletedRunWritesResultsAndExitsZero) {
    TempFolder folder;
    folder.write("grid.txt", "1 2 3 4\n5 6 7 8\n9 10 11 12\n13 14 15 16\n");
    Outcome outcome = runCli(folder, {"run", "--input", "grid.txt", "--linear", "4", "8", "4",
                                      "--yes", "--save-config", "saved.cfg"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.err, "Data rows: 4 Data colums:4\n");
    EXPECT_EQ(readFile(folder.path("grid.txt.out.txt")), "4\t25.00000\n8\t25.00000\n");

    // The saved configuration runs the same analysis again.
    std::remove(folder.path("grid.txt.out.txt").c_str());
    Outcome again = runCli(folder, {"run", "saved.cfg", "-y", "--precision", "1"});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(readFile(folder.path("grid.txt.out.txt")), "4\t25.0\n8\t25.0\n");
}

TEST(VantrelCli, WithoutYesAndNoTerminalTheAnswerIsNo) {
    TempFolder folder;
    folder.write("grid.txt", "1 2\n3 4\n");
    Outcome outcome = runCli(folder, {"run", "--input", "grid.txt", "--linear", "1", "1", "1"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err,
              "Data rows: 2 Data colums:2\n"
              "Continue? No: standard input is not a terminal; pass --yes to answer Yes\n"
              "Error loading data\n");
    EXPECT_FALSE(fileExists(folder.path("grid.txt.out.txt")));
}

TEST(VantrelCli, MessagesEndTheRunWithStatusOne) {
    TempFolder folder;
    Outcome fresh = runCli(folder, {"run", "-y"});
    EXPECT_EQ(fresh.status, 1);
    EXPECT_EQ(fresh.err, "Area 0 is below 1: every window area must be at least 1\n");

    Outcome missingConfig = runCli(folder, {"run", "absent.cfg"});
    EXPECT_EQ(missingConfig.status, 1);
    EXPECT_EQ(missingConfig.err, "Error opening config file\n");

    Outcome badSave = runCli(folder, {"run", "--save-config", "no/such/folder.cfg"});
    EXPECT_EQ(badSave.status, 1);
    EXPECT_EQ(badSave.err, "Error saving config file\n");
}

TEST(VantrelCli, UsageErrorsExitTwoAndHelpAndVersionZero) {
    TempFolder folder;
    Outcome unknown = runCli(folder, {"run", "--bogus"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err, "vantrel-cli: unknown option '--bogus'\nTry 'vantrel-cli run --help'\n");
    Outcome version = runCli(folder, {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "vantrel-cli 1.0.0.1\n");
    Outcome help = runCli(folder, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--progression-file FILE"), std::string::npos);
}
