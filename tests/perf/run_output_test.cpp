// Whole runs against the literal analysis: the same data file, written in random layouts, gives
// the same results file and surface files, byte for byte, with 1, 2 and 3 threads.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "analysis_run.h"
#include "folder_run.h"
#include "literal_analysis.h"
#include "random_matrix.h"

namespace {

struct RunCase {
    std::vector<int> areas;
    double nShift, mShift;
    int optimise, precision, normalise;
};

std::string progressionText(const std::vector<int>& areas) {
    std::string text = std::to_string(areas.size());
    for (int area : areas) {
        text += ' ';
        text += std::to_string(area);
    }
    text += '\n';
    return text;
}

void expectRunLikeLiteral(const std::string& dataText, const RunCase& c) {
    TempFolder literalFolder;
    const std::string literalInput = literalFolder.write("grid.txt", dataText);
    const LiteralRunSettings literal{c.areas.data(),
                                     static_cast<int>(c.areas.size()),
                                     c.nShift,
                                     c.mShift,
                                     1,
                                     c.optimise,
                                     c.precision,
                                     c.normalise};
    ASSERT_EQ(literalRun(literalInput.c_str(), &literal), 1);

    const std::pair<int, SimdLevel> setups[] = {
        {1, SimdLevel::kPortable}, {2, SimdLevel::kAvx2}, {3, SimdLevel::kAvx512}};
    for (auto [threads, level] : setups) {
        TempFolder folder;
        const std::string progression = folder.write("areas.prg", progressionText(c.areas));
        AnalysisSettings settings;
        settings.inputFile = folder.write("grid.txt", dataText);
        settings.nShift = c.nShift;
        settings.mShift = c.mShift;
        settings.useProgressionFile = 1;
        settings.progressionFile = progression;
        RunOptions options;
        options.generateSurfaces = 1;
        options.optimise = c.optimise;
        options.outputPrecision = c.precision;
        options.normalise = c.normalise;
        ScriptedHost host;
        runAnalysis(settings, options, host, {threads, SurfaceMethod::kExact, level});
        EXPECT_TRUE(host.messages.empty()) << host.messages.front();
        std::filesystem::remove(progression);
        EXPECT_TRUE(filesIn(folder.path("")) == filesIn(literalFolder.path("")))
            << threads << " threads, " << simdLevelName(level);
    }
}

}  // namespace

TEST(ExactRun, RandomFilesGiveTheLiteralResultsAndSurfaceFilesForOneTwoAndThreeThreads) {
    SKIP_WHERE_FSCANF_ROUNDS_WRONGLY();
    std::mt19937_64 random(11);
    std::uniform_int_distribution<int> size(1, 45), precision(-1, 25), coin(0, 1);
    std::uniform_real_distribution<double> shift(0.0, 1.0);
    for (int trial = 0; trial < 8; ++trial) {
        const int R = size(random);
        const int C = size(random) + 8;
        LiteralMatrix values = randomMatrix(random, R, C);
        std::uniform_int_distribution<int> area(1, (R + 2) * (C + 2));
        RunCase c{{area(random), area(random), 4, area(random), 1},
                  trial == 0 ? 0.5 : shift(random),
                  trial == 0 ? 0.5 : shift(random),
                  trial % 2,
                  precision(random),
                  coin(random)};
        SCOPED_TRACE("trial " + std::to_string(trial));
        expectRunLikeLiteral(randomDataText(random, values), c);
        literalFree(&values);
    }
}

TEST(ExactRun, LargeDefaultsSampleMatchesLiteral) {
    SKIP_WHERE_FSCANF_ROUNDS_WRONGLY();
    // A matrix wide and tall enough for several staggered groups per thread, at the dialog's
    // default options (sliding mode, precision 5) plus surfaces.
    std::mt19937_64 random(12);
    LiteralMatrix values = randomMatrix(random, 150, 170);
    expectRunLikeLiteral(randomDataText(random, values),
                         {{4, 64, 1024, 4096, 10000}, 0.5, 0.5, 1, 5, 0});
    literalFree(&values);
}
