// Settings the run refuses before it reads anything: a rule that would never end or has too many
// areas, areas below 1, shifts outside [0, 1]. Each is named in one message, no question is
// asked, and files from an earlier run stay as they were. Every rule the run refuses is in the
// progression tests; here one of each kind goes through the run.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "folder_run.h"

namespace {

struct Refusal {
    std::function<void(AnalysisSettings&)> change;
    std::string message;
};

void rule(AnalysisSettings& s, int type, int from, int to, int step) {
    s.progressionType = type;
    s.from = from;
    s.to = to;
    s.step = step;
}

}  // namespace

TEST(RefusedSettings, EachIsNamedAndNothingIsReadOrWritten) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::string belowOne = " is below 1: every window area must be at least 1";
    const std::vector<Refusal> refusals = {
        {[](auto& s) { rule(s, 0, 1, 4, 0); },
         "Linear progression never ends: step 0 must be at least 1"},
        {[](auto& s) { rule(s, 1, 0, 64, 2); },
         "Logarithmic progression never ends: from 0 must be at least 1"},
        {[](auto& s) { rule(s, 0, 1, 2000000000, 1); },
         "Linear progression has 2000000000 areas: at most 10000000 are allowed"},
        {[](auto& s) { rule(s, 0, 9, 4, 0); }, "Progression is empty"},
        {[](auto& s) { rule(s, 1, 9, 4, 1); }, "Progression is empty"},
        {[](auto& s) { rule(s, 0, 0, 8, 4); }, "Area 0" + belowOne},
        {[](auto& s) { rule(s, 0, -8, 8, 4); }, "Area -8" + belowOne},
        {[](auto& s) { rule(s, -1, 0, 0, 0); }, "Area 0" + belowOne},  // the reset settings
        {[](auto& s) { rule(s, 7, -2, 5, 0); }, "Area -2" + belowOne},
        {[](auto& s) { s.nShift = -0.25; }, "The n shift -0.25 must lie between 0 and 1"},
        {[](auto& s) { s.nShift = 1.5; }, "The n shift 1.5 must lie between 0 and 1"},
        {[&](auto& s) { s.nShift = nan; }, "The n shift nan must lie between 0 and 1"},
        {[&](auto& s) { s.mShift = inf; }, "The m shift inf must lie between 0 and 1"},
        {[](auto& s) { s.mShift = 1.0000001; }, "The m shift 1.0000001 must lie between 0 and 1"},
        // The rule is checked first, then the areas, then the shifts.
        {[](auto& s) {
             rule(s, 0, 0, 4, 0);
             s.nShift = 2;
         },
         "Linear progression never ends: step 0 must be at least 1"},
        {[](auto& s) {
             rule(s, 0, 0, 4, 4);
             s.nShift = 2;
         },
         "Area 0" + belowOne},
    };
    for (const Refusal& refusal : refusals) {
        FolderRun run;
        run.folder.write("data.txt.out.txt", "results of an earlier run\n");
        run.folder.write("data.txt.4.out.txt", "surface of an earlier run\n");
        Files before = run.files();
        run.options.generateSurfaces = 1;
        refusal.change(run.settings);
        run.go();
        EXPECT_EQ(run.host.messages, std::vector<std::string>{refusal.message});
        EXPECT_FALSE(run.asked()) << refusal.message;
        EXPECT_EQ(run.files(), before) << refusal.message;
    }
}

TEST(RefusedSettings, ShiftsAtTheirBoundsAndMinusZeroAreAccepted) {
    for (double shift : {0.0, -0.0, 1.0}) {
        FolderRun run;
        run.settings.nShift = shift;
        run.settings.mShift = shift;
        run.go();
        EXPECT_TRUE(run.host.messages.empty()) << shift;
    }
}
