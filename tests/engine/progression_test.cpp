#include "progression.h"

#include <gtest/gtest.h>

#include <vector>

#include "temp_folder.h"

namespace {

std::vector<int> listOf(const AreaList& areas) { return {areas.begin(), areas.end()}; }

std::vector<int> rule(int type, int from, int to, int step) {
    ProgressionSpec request;
    request.type = type;
    request.from = from;
    request.to = to;
    request.step = step;
    return listOf(request.buildAreaList());
}

std::vector<int> fileList(const std::string& content) {
    return listOf(parseProgressionText(content.data(), content.data() + content.size()));
}

}  // namespace

TEST(Progression, LinearAndLogRulesIncludeTheUpperBound) {
    EXPECT_EQ(rule(kLinear, 10, 100, 10), (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
    EXPECT_EQ(rule(kLinear, 5, 12, 3), (std::vector<int>{5, 8, 11}));
    EXPECT_EQ(rule(kLog, 4, 1000, 2), (std::vector<int>{4, 8, 16, 32, 64, 128, 256, 512}));
    EXPECT_EQ(rule(kLog, 1, 100, 3), (std::vector<int>{1, 3, 9, 27, 81}));
}

TEST(Progression, FromEqualToGivesOneAreaForEveryType) {
    EXPECT_EQ(rule(kLinear, 7, 7, 1), std::vector<int>{7});
    EXPECT_EQ(rule(kLog, 7, 7, 2), std::vector<int>{7});
    EXPECT_EQ(rule(-1, 7, 7, 0), std::vector<int>{7});
    EXPECT_EQ(rule(5, 7, 7, 0), std::vector<int>{7});
}

TEST(Progression, NoTypeChosenGivesOnlyTheFirstArea) {
    EXPECT_EQ(rule(-1, 16, 100, 0), std::vector<int>{16});
    EXPECT_TRUE(rule(-1, 50, 40, 0).empty());
    EXPECT_TRUE(rule(kLinear, 50, 40, 0).empty());
}

TEST(Progression, ValuesPastThe32BitRangeEndTheList) {
    EXPECT_EQ(rule(kLinear, 2147483600, 2147483647, 100), std::vector<int>{2147483600});
    std::vector<int> powers = rule(kLog, 1, 2147483647, 2);
    ASSERT_EQ(powers.size(), 31u);
    EXPECT_EQ(powers.back(), 1 << 30);
    EXPECT_EQ(rule(kLinear, 2147483647, 2147483647, 2147483647), std::vector<int>{2147483647});
}

TEST(Progression, RulesThatNeverEndAreNamedAndGiveNoAreas) {
    struct Case {
        int type, from, to, step;
        const char* problem;
    };
    const Case cases[] = {
        {kLinear, 1, 10, 0, "Linear progression never ends: step 0 must be at least 1"},
        {kLinear, 1, 10, -3, "Linear progression never ends: step -3 must be at least 1"},
        {kLog, 0, 10, 2, "Logarithmic progression never ends: from 0 must be at least 1"},
        {kLog, -4, 10, 2, "Logarithmic progression never ends: from -4 must be at least 1"},
        {kLog, 1, 10, 1, "Logarithmic progression never ends: step 1 must be at least 2"},
        {kLog, 2, 10, -2, "Logarithmic progression never ends: step -2 must be at least 2"},
    };
    for (const Case& c : cases) {
        ProgressionSpec request;
        request.type = c.type;
        request.from = c.from;
        request.to = c.to;
        request.step = c.step;
        ASSERT_TRUE(request.neverEndingRuleProblem().has_value()) << c.problem;
        EXPECT_EQ(*request.neverEndingRuleProblem(), c.problem);
        EXPECT_EQ(request.buildAreaList().count, 0);
    }
    // The same rules with from > to end at once and are not refused.
    ProgressionSpec ended;
    ended.type = kLinear;
    ended.from = 10;
    ended.to = 1;
    EXPECT_FALSE(ended.neverEndingRuleProblem().has_value());
}

TEST(ProgressionFile, LayoutDoesNotMatterOnlyTheOrderOfNumbers) {
    const std::vector<int> expected{100, 400, 900};
    EXPECT_EQ(fileList("3\n\n100\n400\n900\n"), expected);
    EXPECT_EQ(fileList("3 100 400 900"), expected);
    EXPECT_EQ(fileList("  3\r\n\r\n100\t400\r\n900"), expected);
}

TEST(ProgressionFile, TheCountLimitsTheList) {
    EXPECT_EQ(fileList("2\n\n10\n20\n30\n40\n"), (std::vector<int>{10, 20}));
    EXPECT_EQ(fileList("3\n900\n100\n900\n"), (std::vector<int>{900, 100, 900}));
    EXPECT_EQ(fileList("1000000\n5\n6\n"), (std::vector<int>{5, 6}));
    EXPECT_TRUE(fileList("0\n5\n").empty());
    EXPECT_TRUE(fileList("-3\n5\n").empty());
    EXPECT_TRUE(fileList("").empty());
}

TEST(GrowArray, CapacityGrowsByTensAndCopiesRoundUp) {
    AreaList areas;
    EXPECT_EQ(areas.capacity, 0);
    EXPECT_EQ(areas.data, nullptr);
    for (int k = 0; k < 10; ++k) areas.add(k);
    EXPECT_EQ(areas.capacity, 10);
    areas.add(10);
    EXPECT_EQ(areas.capacity, 20);
    AreaList copy(areas);
    EXPECT_EQ(copy.count, 11);
    EXPECT_EQ(copy.capacity, 20);
    EXPECT_EQ(copy[10], 10);
    AreaList empty;
    AreaList emptyCopy(empty);
    EXPECT_EQ(emptyCopy.capacity, 0);
    EXPECT_EQ(emptyCopy.data, nullptr);
    copy.removeAll();
    EXPECT_EQ(copy.count, 0);
    EXPECT_EQ(copy.capacity, 0);
    EXPECT_EQ(copy.data, nullptr);
}

TEST(GrowArray, SetSizeZeroesEveryElement) {
    GrowArray<double> residuals;
    residuals.setSize(7);
    EXPECT_EQ(residuals.count, 7);
    EXPECT_EQ(residuals.capacity, 10);
    for (int k = 0; k < 7; ++k) EXPECT_EQ(residuals[k], 0.0);
    EXPECT_EQ(GrowArray<int>::roundedCapacity(10), 10);
    EXPECT_EQ(GrowArray<int>::roundedCapacity(11), 20);
    EXPECT_EQ(GrowArray<int>::roundedCapacity(0), 0);
}
