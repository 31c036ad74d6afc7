// The analysis of a results file: the settings a run wrote it with found from the data (or the
// given ones checked), and the file refused, named, when it does not belong to the data. The
// results files come from real runs over an exact fractional Brownian surface.

#include "results_analysis.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "fbm_surface.h"
#include "folder_run.h"
#include "window_geometry.h"

namespace {

struct Data {
    int rows, columns;
    std::vector<double> values;
    std::vector<const double*> table;
    Data(const Data&) = delete;
    Data(int R, int C, std::vector<double> v) : rows(R), columns(C), values(std::move(v)) {
        for (int i = 0; i < R; ++i)
            table.push_back(values.data() + static_cast<std::size_t>(i) * C);
    }
    std::string text() const {
        std::string out;
        char number[40];
        for (int i = 0; i < rows; ++i) {
            for (int j = 0; j < columns; ++j) {
                std::snprintf(number, sizeof number, "%.17g ", table[i][j]);
                out += number;
            }
            out += "\n";
        }
        return out;
    }
};

Data fbm(int size, double hurst, unsigned seed) {
    std::string error;
    return Data(size, size, makeFbmPair(size, size, hurst, seed, error).first);
}

// Runs over `data` as Calculate would (log areas 4 to 2048, step 2) and returns the results
// file's path, which lives as long as `run`.
std::string runOver(FolderRun& run, const Data& data, double nShift, double mShift,
                    bool normalise = false, int precision = 5) {
    run.settings.inputFile = run.folder.write("data.txt", data.text());
    run.settings.progressionType = 1;
    run.settings.from = 4;
    run.settings.to = 2048;
    run.settings.step = 2;
    run.settings.nShift = nShift;
    run.settings.mShift = mShift;
    run.options.normalise = normalise;
    run.options.outputPrecision = precision;
    run.go();
    return run.settings.inputFile + ".out.txt";
}

bool sameOffsets(double n1, double m1, double n2, double m2) {
    for (int area = 4; area <= 2048; area *= 2) {
        const WindowGeometry a = windowGeometry(area, n1, m1), b = windowGeometry(area, n2, m2);
        if (a.rowOffset != b.rowOffset || a.columnOffset != b.columnOffset) return false;
    }
    return true;
}

bool hasCode(const ScalingResult& result, const std::string& code) {
    for (const std::string& c : result.warningCodes)
        if (c == code) return true;
    return false;
}

}  // namespace

TEST(ResultsAnalysis, FindsTheSettingsTheRunWasWrittenWith) {
    const Data data = fbm(96, 0.5, 5);
    struct Case {
        double nShift, mShift;
        bool normalise;
        int precision;
    } cases[] = {
        {0.0, 0.0, false, 5}, {0.5, 0.5, false, 5}, {1.0, 1.0, false, 5}, {0.3, 0.7, false, 5},
        {0.0, 0.0, true, 5},  {0.5, 0.5, true, 8},  {0.5, 0.5, false, 0},
    };
    for (const Case& c : cases) {
        FolderRun run;
        const std::string results =
            runOver(run, data, c.nShift, c.mShift, c.normalise, c.precision);
        const ResultsAnalysis analysis =
            analyseResultsFile(results, data.table.data(), data.rows, data.columns, {});
        const std::string name = std::to_string(c.nShift) + " " + std::to_string(c.mShift) +
                                 (c.normalise ? " normalised" : "");
        ASSERT_TRUE(analysis.result) << name << ": " << analysis.error;
        const ResultsSettings& found = *analysis.result->resultsSettings;
        EXPECT_TRUE(sameOffsets(found.nShift, found.mShift, c.nShift, c.mShift))
            << name << ": found " << found.nShift << " " << found.mShift;
        EXPECT_EQ(found.normalised, c.normalise) << name;
        EXPECT_TRUE(found.found) << name;
        EXPECT_TRUE(analysis.result->defined) << name;
        // Windows off centre bias the exponent, and the reader is told.
        EXPECT_EQ(hasCode(*analysis.result, "not_centred"), c.nShift != 0.5 || c.mShift != 0.5)
            << name;
    }
}

TEST(ResultsAnalysis, FitUsesTheFoundShiftsNotCentredOnes) {
    // A run with the run's own default shifts, 0 0: fitted as if centred, the exponent came out
    // far from the centred analysis with no word said.
    const Data data = fbm(128, 0.5, 6);
    FolderRun run;
    const std::string results = runOver(run, data, 0.0, 0.0);
    const ResultsAnalysis analysis =
        analyseResultsFile(results, data.table.data(), data.rows, data.columns, {});
    ASSERT_TRUE(analysis.result) << analysis.error;
    EXPECT_EQ(analysis.result->resultsSettings->nShift, 0.0);
    EXPECT_EQ(analysis.result->resultsSettings->mShift, 0.0);
    EXPECT_TRUE(hasCode(*analysis.result, "not_centred"));
}

TEST(ResultsAnalysis, RefusesResultsThatDoNotBelongToTheData) {
    const Data data = fbm(96, 0.5, 5);
    Data edited(96, 96, data.values);
    edited.values[48 * 96 + 48] += 1.0;
    const Data other = fbm(96, 0.5, 8);
    struct Case {
        const char* name;
        const Data& checked;
        ResultsAnalysisRequest request;
    } cases[] = {
        {"other data", other, {}},
        {"edited data", edited, {}},
        {"other shifts given", data, {0.5, 0.5, NormaliseSetting::kFind}},
        {"normalised said, not done", data, {std::nullopt, std::nullopt, NormaliseSetting::kOn}},
    };
    for (const Case& c : cases) {
        FolderRun run;
        const std::string results = runOver(run, data, 0.0, 0.0);
        const ResultsAnalysis analysis = analyseResultsFile(
            results, c.checked.table.data(), c.checked.rows, c.checked.columns, c.request);
        EXPECT_FALSE(analysis.result) << c.name;
        EXPECT_NE(analysis.error.find("The results file " + results + " does not match the data"),
                  std::string::npos)
            << c.name << ": " << analysis.error;
        EXPECT_NE(analysis.error.find(
                      "was it written from other data, other shifts, or with --normalise?"),
                  std::string::npos)
            << c.name;
    }
}

TEST(ResultsAnalysis, GivenSettingsThatMatchAreKept) {
    const Data data = fbm(96, 0.5, 5);
    FolderRun run;
    const std::string results = runOver(run, data, 0.25, 0.75, true);
    const ResultsAnalysis analysis = analyseResultsFile(
        results, data.table.data(), data.rows, data.columns, {0.25, 0.75, NormaliseSetting::kOn});
    ASSERT_TRUE(analysis.result) << analysis.error;
    EXPECT_EQ(analysis.result->resultsSettings->nShift, 0.25);
    EXPECT_EQ(analysis.result->resultsSettings->mShift, 0.75);
    EXPECT_FALSE(analysis.result->resultsSettings->found);
}

TEST(ResultsAnalysis, FilesThatCannotBeCheckedSaySo) {
    const Data data = fbm(64, 0.5, 5);
    TempFolder folder;
    // Side 1 has residual 0 under every shift; side 64 does not fit a 64 x 64 surface.
    const std::string results = folder.write("a.out.txt", "1\t0.00000\n4096\t0.00000\n");
    const ResultsAnalysis analysis = analyseResultsFile(results, data.table.data(), 64, 64, {});
    ASSERT_TRUE(analysis.result) << analysis.error;
    EXPECT_TRUE(hasCode(*analysis.result, "unchecked"));
}

TEST(ResultsAnalysis, EmptyOrMissingFilesAreNamed) {
    const Data data = fbm(64, 0.5, 5);
    TempFolder folder;
    const std::string empty = folder.write("empty.out.txt", "");
    EXPECT_EQ(analyseResultsFile(empty, data.table.data(), 64, 64, {}).error,
              "The results file " + empty + " holds no areas");
    EXPECT_EQ(analyseResultsFile(folder.path("none"), data.table.data(), 64, 64, {}).error,
              "Cannot open the results file " + folder.path("none"));
}
