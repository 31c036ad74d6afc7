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

TEST(RunAnalysis, ChecksComeInOrderAndNothingIsWrittenBeforeTheLoad) {
    struct Case {
        std::function<void(AnalysisSettings&)> change;
        const char* message;
    };
    const Case cases[] = {
        {[](AnalysisSettings& s) { s.step = 0; },
         "Linear progression never ends: step 0 must be at least 1"},
        {[](AnalysisSettings& s) { s.from = 20; }, "Progression is empty"},
        {[](AnalysisSettings& s) { s.reset(); },
         "Area 0 is below 1: every window area must be at least 1"},
        {[](AnalysisSettings& s) { s.from = -8; s.step = 6; },
         "Area -8 is below 1: every window area must be at least 1"},
        {[](AnalysisSettings& s) { s.nShift = 1.5; }, "The n shift 1.5 must lie between 0 and 1"},
        {[](AnalysisSettings& s) { s.mShift = -0.25; },
         "The m shift -0.25 must lie between 0 and 1"},
        {[](AnalysisSettings& s) { s.nShift = std::nan(""); },
         "The n shift nan must lie between 0 and 1"},
        {[](AnalysisSettings& s) {
             s.useProgressionFile = 1;
             s.progressionFile = "";
         },
         "Progression is empty"},
    };
    for (const Case& c : cases) {
        TestRun run;
        std::string input = run.settings.inputFile;
        c.change(run.settings);
        run.settings.inputFile = input;
        run.go();
        EXPECT_EQ(run.host.calls, std::vector<std::string>{"message: " + std::string(c.message)});
        EXPECT_FALSE(run.wroteResults()) << c.message;
    }
}

TEST(RunAnalysis, ALoadThatFailsLeavesAnExistingResultsFileUntouched) {
    TestRun run;
    run.folder.write("grid.txt.out.txt", "kept\n");
    run.host.answers = {false};
    run.go();
    EXPECT_EQ(run.host.messages, std::vector<std::string>{"Error loading data"});
    EXPECT_EQ(run.results(), "kept\n");

    TestRun missing;
    missing.settings.inputFile = missing.folder.path("absent.txt");
    missing.go();
    EXPECT_EQ(missing.host.messages, std::vector<std::string>{"Error loading data"});
}

TEST(RunAnalysis, OutputThatCannotBeWrittenEndsTheRunWithItsName) {
    TestRun results;
    std::filesystem::create_directory(results.settings.inputFile + ".out.txt");
    results.go();
    EXPECT_EQ(results.host.messages,
              std::vector<std::string>{"Error writing to " + results.settings.inputFile + ".out.txt"});

    TestRun surface;
    surface.linear(1, 4, 3);
    surface.options.generateSurfaces = 1;
    std::filesystem::create_directory(surface.settings.inputFile + ".4.out.txt");
    surface.go();
    EXPECT_EQ(surface.host.messages,
              std::vector<std::string>{"Error writing to " + surface.settings.inputFile + ".4.out.txt"});
    EXPECT_EQ(surface.results(), "1\t0.00000\n");  // the earlier area's line stays
}

TEST(RunAnalysis, AFullDiskIsAFailureNotASuccess) {
    if (!fileExists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    TestRun run;
    std::filesystem::create_symlink("/dev/full", run.settings.inputFile + ".out.txt");
    run.go();
    EXPECT_EQ(run.host.messages,
              std::vector<std::string>{"Error writing to " + run.settings.inputFile + ".out.txt"});
}
