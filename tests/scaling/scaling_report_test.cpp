// What other programs read: the JSON of a result with and without an exponent, and the results
// file reader's refusals.

#include "scaling_report.h"

#include <gtest/gtest.h>

#include <fstream>

#include "results_reader.h"

TEST(ScalingJson, ExponentNotDefinedIsNullWithWarnings) {
    ScalingResult result;
    result.table.rows = 8;
    result.table.columns = 9;
    result.table.points.push_back({3, 9, 0.0, 0.0, true});
    result.warn({"flat", "The surface is \"flat\""});
    EXPECT_EQ(scalingJson(result, "a.txt"),
              "{\n  \"source\": \"a.txt\",\n  \"rows\": 8,\n  \"columns\": 9,\n"
              "  \"hurst\": null,\n  \"hurst_ci90\": null,\n  \"fractal_dimension\": null,\n"
              "  \"fit_sides\": null,\n  \"fit_points\": 0,\n"
              "  \"warnings\": [\"The surface is \\\"flat\\\"\"],\n"
              "  \"warning_codes\": [\"flat\"],\n  \"bias_corrected\": false,\n  \"table\": [\n"
              "    {\"side\": 3, \"area\": 9, \"residual\": 0, \"sigma2\": 0, \"fitted\": true}\n"
              "  ]\n}\n");
}

TEST(ResultsReader, ReadsRunOutputAndRefusesOtherLines) {
    struct Case {
        const char* text;
        const char* error;  // empty: read
    } cases[] = {
        {"9\t1.50000\n25\t3.25000\n", ""},
        {"9 1.5\n", "results.txt, line 1: not an area and a residual sum separated by a tab"},
        {"9\t1.5\n25\tx\n",
         "results.txt, line 2: not an area and a residual sum separated by a tab"},
    };
    for (const Case& c : cases) {
        const std::string path = testing::TempDir() + "results.txt";
        std::ofstream(path) << c.text;
        std::string error;
        const auto rows = readResultsFile(path, error);
        if (*c.error == '\0') {
            ASSERT_TRUE(rows) << error;
            EXPECT_EQ(*rows, (std::vector<std::pair<int, double>>{{9, 1.5}, {25, 3.25}}));
        } else {
            EXPECT_FALSE(rows);
            EXPECT_EQ(error, testing::TempDir() + c.error);
        }
    }
}
