#include "progression.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Areas = std::vector<int>;

Areas listOf(const AreaList& areas) {
    return {areas.begin(), areas.end()};
}

ProgressionSpec rule(int type, int from, int to, int step) {
    ProgressionSpec request;
    request.type = type;
    request.from = from;
    request.to = to;
    request.step = step;
    return request;
}

}  // namespace

TEST(Progression, RulesGiveTheirAreasUpToAndIncludingTheBound) {
    struct Case {
        int type, from, to, step;
        Areas areas;
    };
    const Case cases[] = {
        {kLinear, 10, 100, 10, {10, 20, 30, 40, 50, 60, 70, 80, 90, 100}},
        {kLinear, 5, 12, 3, {5, 8, 11}},
        {kLog, 4, 1000, 2, {4, 8, 16, 32, 64, 128, 256, 512}},
        {kLog, 1, 100, 3, {1, 3, 9, 27, 81}},
        {kLinear, 7, 7, 1, {7}},
        {kLog, 7, 7, 2, {7}},
        {-1, 7, 7, 0, {7}},
        {5, 7, 7, 0, {7}},
        {-1, 16, 100, 0, {16}},  // no type chosen: only the first area
        {-1, 50, 40, 0, {}},
        {kLinear, 50, 40, 0, {}},  // from > to ends at once, whatever the step
        // A value past the 32-bit range ends the list.
        {kLinear, 2147483600, 2147483647, 100, {2147483600}},
        {kLinear, 2147483647, 2147483647, 2147483647, {2147483647}},
        {kLog, 1 << 29, 2147483647, 2, {1 << 29, 1 << 30}},
    };
    for (const Case& c : cases) {
        ProgressionSpec request = rule(c.type, c.from, c.to, c.step);
        EXPECT_FALSE(request.ruleProblem().has_value()) << c.from << " " << c.to << " " << c.step;
        EXPECT_EQ(listOf(request.buildAreaList()), c.areas)
            << c.from << " " << c.to << " " << c.step;
    }
    EXPECT_EQ(rule(kLog, 1, 2147483647, 2).buildAreaList().count, 31);
}

// A rule that never ends, or that has more areas than a run can take, is refused before any
// area is listed, so that it can neither loop nor take minutes to list.
TEST(Progression, RulesThatNeverEndOrHaveTooManyAreasAreRefusedWithTheReason) {
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
        {kLinear, 1, 2000000000, 1,
         "Linear progression has 2000000000 areas: at most 10000000 are allowed"},
        {kLinear, -2147483647, 2147483647, 1,
         "Linear progression has 4294967295 areas: at most 10000000 are allowed"},
        {kLinear, 1, 10000001, 1,
         "Linear progression has 10000001 areas: at most 10000000 are allowed"},
    };
    for (const Case& c : cases) {
        ProgressionSpec request = rule(c.type, c.from, c.to, c.step);
        ASSERT_TRUE(request.ruleProblem().has_value()) << c.problem;
        EXPECT_EQ(*request.ruleProblem(), c.problem);
        EXPECT_EQ(request.buildAreaList().count, 0);
    }
    EXPECT_FALSE(rule(kLinear, 1, 10000000, 1).ruleProblem().has_value());
    EXPECT_EQ(rule(kLinear, 1, 20000000, 2).buildAreaList().count, 10000000);
}

TEST(ProgressionFile, TheCountLimitsTheListWhateverTheLayout) {
    const std::pair<const char*, Areas> cases[] = {
        {"3\n\n100\n400\n900\n", {100, 400, 900}},
        {"3 100 400 900", {100, 400, 900}},
        {"  3\r\n\r\n100\t400\r\n900", {100, 400, 900}},
        {"2\n\n10\n20\n30\n40\n", {10, 20}},
        {"3\n900\n100\n900\n", {900, 100, 900}},
        {"1000000\n5\n6\n", {5, 6}},
        {"0\n5\n", {}},
        {"-3\n5\n", {}},
        {"", {}},
    };
    for (const auto& [text, areas] : cases) {
        const std::string content = text;
        EXPECT_EQ(listOf(parseProgressionText(content.data(), content.data() + content.size())),
                  areas)
            << text;
    }
}
