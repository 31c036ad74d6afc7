#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "multifractal_report.h"

namespace {

// A result with two q, two sides, one side's F_q missing and a warning with a quote in it.
MultifractalResult sample(bool tested) {
    MultifractalResult r;
    r.rows = 64;
    r.columns = 48;
    r.kind = ResidualKind::kMeasure;
    r.spectrum.q = {-1.0, 2.0};
    r.spectrum.h = {1.5, 1.25};
    r.spectrum.tau = {-3.5, 0.5};
    r.spectrum.alpha = {1.0 / 0.75, 1.0 / 0.75};
    r.spectrum.fAlpha = {-1.0 / 0.75 + 3.5, 2.0 / 0.75 - 0.5};
    r.spectrum.intercept = {0.0, 0.0};
    r.spectrum.valid = true;
    SideFluctuations a, b;
    a.side = 9;
    a.boxes = 30;
    a.zeroBoxes = 2;
    a.logF = {0.5, 0.25};
    b.side = 11;
    b.boxes = 12;
    b.logF = {NAN, 1.0};
    r.spectrum.sides = {a, b};
    r.hLow = {1.4, 1.2};
    r.hHigh = {1.6, 1.3};
    r.width = 0.25;
    r.alphaWidth = 0.0;
    r.test.done = tested;
    r.test.count = tested ? 19 : 0;
    r.test.pValue = 0.05;
    r.warnings = {"say \"why\""};
    return r;
}

TEST(MultifractalReport, JsonHoldsEveryKeyAndNullForMissingNumbers) {
    const std::string json = multifractalJson(sample(true), "a\\b.txt");
    const struct {
        const char* text;
    } expected[] = {
        {"\"file\": \"a\\\\b.txt\""},
        {"\"kind\": \"measure\""},
        {"\"q\": [-1, 2]"},
        {"\"h\": [1.5, 1.25]"},
        {"\"h_ci90\": [[1.3999999999999999, 1.6000000000000001], [1.2, 1.3]]"},
        {"\"tau\": [-3.5, 0.5]"},
        {"\"alpha\": ["},
        {"\"f_alpha\": ["},
        {"\"sides\": [9, 11]"},
        {"\"zero_boxes\": [2, 0]"},
        {"\"log_F\": [[0.5, 0.25], [null, 1]]"},
        {"\"p_value\": 0.050000000000000003"},
        {"\"verdict\": \"multifractal\""},
        {"\"warnings\": [\"say \\\"why\\\"\"]"},
    };
    for (const auto& e : expected) EXPECT_NE(json.find(e.text), std::string::npos) << e.text;
    const std::string untested = multifractalJson(sample(false), "x");
    EXPECT_NE(untested.find("\"p_value\": null"), std::string::npos);
    EXPECT_NE(untested.find("\"verdict\": \"not tested\""), std::string::npos);
}

TEST(MultifractalReport, SummaryAndTable) {
    const std::string summary = multifractalSummary(sample(true), "m.txt");
    for (const char* line :
         {"m.txt: 64 x 48, a measure, shifts 0 0\n", "h(2) = 1.250, 90% interval 1.200 to 1.300\n",
          "Width h(-1) - h(2) = 0.250\n", "p = 0.050, multifractal\n", "Warning: say \"why\"\n"})
        EXPECT_NE(summary.find(line), std::string::npos) << line;
    const std::string table = multifractalTsv(sample(true));
    EXPECT_EQ(
        table.rfind("q\th\th_low90\th_high90\ttau\talpha\tf_alpha\n-1\t1.5\t1.4\t1.6\t-3.5\t", 0),
        0u);
    // A missing ln F_q is an empty field, never "nan".
    EXPECT_NE(table.find("\n11\t12\t0\t\t1\n"), std::string::npos) << table;
    EXPECT_EQ(table.find("nan"), std::string::npos);
}

}  // namespace
