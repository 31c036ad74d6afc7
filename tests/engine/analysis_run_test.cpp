#include "analysis_run.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>

#include "scripted_host.h"
#include "temp_folder.h"

namespace {

const char* const kOneToSixteen = "1 2 3 4\n5 6 7 8\n9 10 11 12\n13 14 15 16\n";

// A run over a data file in a fresh folder.
struct TestRun {
    TempFolder folder;
    AnalysisSettings settings;
    RunOptions options;
    ScriptedHost host;

    explicit TestRun(const std::string& data = kOneToSixteen, const std::string& name = "grid.txt") {
        settings.inputFile = folder.write(name, data);
        linear(4, 4, 1);
    }
    void linear(int from, int to, int step) {
        settings.progressionType = 0;
        settings.from = from;
        settings.to = to;
        settings.step = step;
    }
    void go() { runAnalysis(settings, options, host); }
    std::string results() const { return readFile(settings.inputFile + ".out.txt"); }
    bool wroteResults() const { return fileExists(settings.inputFile + ".out.txt"); }
};

}  // namespace

TEST(RunAnalysis, ResidualBlockStartsWhereTheComputedRegionStarts) {
    TestRun run;
    run.go();
    EXPECT_TRUE(run.host.messages.empty());
    EXPECT_EQ(run.results(), "4\t25.00000\n");
}

TEST(RunAnalysis, OneResultsLinePerAreaInListOrder) {
    TestRun run;
    run.linear(4, 16, 4);  // sides 2, 2, 3, 4
    run.go();
    EXPECT_EQ(run.results(), "4\t25.00000\n8\t25.00000\n12\t25.00000\n16\t0.00000\n");
}

TEST(RunAnalysis, PrecisionFollowsPrintfIncludingZeroAndNegative) {
    TestRun run;
    run.options.outputPrecision = 0;
    run.go();
    EXPECT_EQ(run.results(), "4\t25\n");
    run.options.outputPrecision = -3;
    run.go();
    EXPECT_EQ(run.results(), "4\t25.000000\n");
    run.options.outputPrecision = 12;
    run.go();
    EXPECT_EQ(run.results(), "4\t25.000000000000\n");
}

TEST(RunAnalysis, SurfaceFilesAreNamedByModeAndHoldEveryCellAtPrecisionTwenty) {
    TestRun run("1 2\n3 4\n", "grid");
    run.options.generateSurfaces = 1;
    run.go();
    const std::string zero = "0.00000000000000000000\t";
    EXPECT_EQ(readFile(run.folder.path("grid.4.out.txt")),
              zero + zero + "\n" + zero + "2.50000000000000000000\t\n\n");
    EXPECT_EQ(run.results(), "4\t0.00000\n");  // the block is (R-s) x (C-s): empty here
    EXPECT_TRUE(fileExists(run.folder.path("grid.out.txt")));

    run.options.optimise = 0;
    run.go();
    EXPECT_TRUE(fileExists(run.folder.path("grid.4.out.no_opt.txt")));
}

TEST(RunAnalysis, RepeatedAreasFromAProgressionFileGiveRepeatedLines) {
    TestRun run;
    run.settings.useProgressionFile = 1;
    run.settings.progressionFile = run.folder.write("areas.txt", "3\n\n4\n1\n4\n");
    run.go();
    EXPECT_EQ(run.results(), "4\t25.00000\n1\t0.00000\n4\t25.00000\n");
}

TEST(RunAnalysis, NormaliseRescalesTheDataFirst) {
    TestRun run("0 10\n20 30\n");
    run.linear(1, 1, 1);
    run.options.normalise = 1;
    run.options.generateSurfaces = 1;
    run.go();
    EXPECT_EQ(readFile(run.settings.inputFile + ".1.out.txt"),
              "-1.00000000000000000000\t-0.33333333333333337034\t\n"
              "0.33333333333333325932\t1.00000000000000000000\t\n\n");
}

TEST(RunAnalysis, EmptyDataAnsweredYesGivesEmptySurfacesAndZeroSums) {
    TestRun run("");
    run.options.generateSurfaces = 1;
    run.go();
    EXPECT_EQ(run.results(), "4\t0.00000\n");
    EXPECT_EQ(readFile(run.settings.inputFile + ".4.out.txt"), "\n");
}

