#include "cli_options.h"

#include <gtest/gtest.h>

#include "temp_folder.h"

namespace {

std::optional<CliRequest> parse(std::vector<std::string> args, std::string* error = nullptr) {
    std::string ignored;
    return parseRunArguments(args, error ? *error : ignored);
}

AnalysisSettings settingsOf(const CliRequest& request) {
    AnalysisSettings settings;
    EXPECT_TRUE(effectiveSettings(request, settings));
    return settings;
}

}  // namespace

TEST(CommandLine, OptionsOverrideTheConfigurationInTheOrderGiven) {
    TempFolder folder;
    AnalysisSettings saved;
    saved.inputFile = "saved.txt";
    saved.from = 9;
    saved.useProgressionFile = 1;
    saved.progressionFile = "areas.txt";
    ASSERT_TRUE(saved.writeConfig(folder.path("a.cfg")));

    auto request = parse({"run", "--log", "4", "64", "2", folder.path("a.cfg"), "--shift", "0.5",
                          "0.25", "--input", "other.txt"});
    ASSERT_TRUE(request);
    AnalysisSettings s = settingsOf(*request);
    EXPECT_EQ(s.inputFile, "other.txt");
    EXPECT_EQ(s.from, 4);
    EXPECT_EQ(s.to, 64);
    EXPECT_EQ(s.step, 2);
    EXPECT_EQ(s.progressionType, 1);
    EXPECT_EQ(s.useProgressionFile, 0);  // a rule clears the progression file
    EXPECT_EQ(s.progressionFile, "areas.txt");
    EXPECT_EQ(s.nShift, 0.5);
    EXPECT_EQ(s.mShift, 0.25);

    auto fileLast = parse({"run", "--linear", "1", "2", "1", "--progression-file", "p.txt"});
    AnalysisSettings f = settingsOf(*fileLast);
    EXPECT_EQ(f.progressionType, 0);
    EXPECT_EQ(f.useProgressionFile, 1);
    EXPECT_EQ(f.progressionFile, "p.txt");
}

TEST(CommandLine, WithoutAConfigurationSettingsStartFromTheirResetValues) {
    auto request = parse({"run"});
    ASSERT_TRUE(request);
    AnalysisSettings s = settingsOf(*request);
    EXPECT_EQ(s.progressionType, -1);
    EXPECT_EQ(s.inputFile, "");
    EXPECT_EQ(request->options.optimise, 1);
    EXPECT_EQ(request->options.outputPrecision, 5);

    TempFolder folder;
    auto missing = parse({"run", folder.path("missing.cfg")});
    AnalysisSettings unused;
    EXPECT_FALSE(effectiveSettings(*missing, unused));
}

TEST(CommandLine, RunOptionsAndSwitches) {
    auto request = parse({"run", "--generate-surfaces", "--no-optimise", "--precision", "-2",
                          "--normalise", "-y", "--quiet", "--save-config", "out.cfg"});
    ASSERT_TRUE(request);
    EXPECT_EQ(request->options.generateSurfaces, 1);
    EXPECT_EQ(request->options.optimise, 0);
    EXPECT_EQ(request->options.outputPrecision, -2);
    EXPECT_EQ(request->options.normalise, 1);
    EXPECT_TRUE(request->answerYes);
    EXPECT_TRUE(request->quiet);
    EXPECT_EQ(request->saveConfigFile, "out.cfg");
}

// The areas of analyse's odd sides, four per doubling: no even side and no repeat, which a
// --log rule of areas cannot promise.
TEST(CommandLine, SidesGiveTheAreasOfOddSidesInLogSteps) {
    const struct {
        const char* word;
        std::vector<int> areas;
    } cases[] = {
        {"5:15", {25, 49, 81, 121, 169, 225}},
        {"3:31", {9, 25, 49, 81, 121, 169, 225, 361, 441, 625, 961}},
        {"7:7", {49}},
    };
    for (const auto& c : cases) {
        auto request = parse({"run", "--sides", c.word});
        ASSERT_TRUE(request) << c.word;
        EXPECT_EQ(request->compute.areas, c.areas) << c.word;
    }
}

TEST(CommandLine, UsageErrorsAreNamed) {
    struct Case {
        std::vector<std::string> args;
        const char* error;
    };
    const Case cases[] = {
        {{"run", "--fast"}, "unknown option '--fast'"},
        {{"run", "--precision"}, "--precision needs a value"},
        {{"run", "--precision", "5x"}, "--precision: '5x' is not an integer"},
        {{"run", "--linear", "1", "2"}, "--linear needs a value"},
        {{"run", "--log", "1", "99999999999", "2"},
         "--log: '99999999999' is out of range (-2147483648 to 2147483647)"},
        {{"run", "--shift", "0,5", "0"}, "--shift: '0,5' is not a number"},
        {{"run", "a.cfg", "b.cfg"}, "unexpected argument 'b.cfg' (only one configuration file)"},
        {{"run", "--sides", "9:3"},
         "--sides: '9:3' is not A:B with 1 <= A <= B <= 46339 (the odd sides A to B)"},
        {{"run", "--sides", "4:4"}, "--sides: '4:4' holds no odd side"},
        {{"run", "--sides", "5,7"},
         "--sides: '5,7' is not A:B with 1 <= A <= B <= 46339 (the odd sides A to B)"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(parse(c.args, &error));
        EXPECT_EQ(error, c.error);
    }
    EXPECT_EQ(parse({"run", "--help"})->action, CliRequest::Action::kHelp);
}
