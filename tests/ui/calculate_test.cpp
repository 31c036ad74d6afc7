#include "dialog_fixture.h"
#include "matrix_loader.h"

namespace {

constexpr const char* kFourByFour = "1 2 3 4\n5 6 7 8\n9 10 11 12\n13 14 15 16\n";

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

}  // namespace

TEST_F(MainDialogTest, CalculateRunsTheAnalysisOnTheDialogsSettings) {
    std::string input = writeFile("grid.txt", kFourByFour);
    window.type(kIdcInputFile, input);
    window.type(kIdcNShift, "0.5");
    window.type(kIdcMShift, "0.5");
    window.type(kIdcFrom, "4");
    window.type(kIdcTo, "16");
    window.type(kIdcStep, "4");
    window.pick(kIdcProgressionType, 0);
    window.type(kIdcOutputPrecision, "2");
    window.tick(kIdcGenerateSurfaces, true);
    platform.queueMessageBoxAnswer(kAnswerYes);

    window.click(kIdcCalculate);

    const std::string size = dataSizeText(4, 4);
    ASSERT_EQ(platform.messageBoxes().size(), 1u);
    EXPECT_EQ(platform.messageBoxes()[0].text, size + "\nContinue?");
    EXPECT_EQ(platform.messageBoxes()[0].buttons, MessageBoxButtons::kYesNo);
    EXPECT_EQ(window.text(kIdcDataSize), size);
    EXPECT_EQ(platform.waitCursorBegins(), 1);
    EXPECT_EQ(platform.waitCursorBalance(), 0);

    std::vector<std::string> results = lines(readFile(input + ".out.txt"));
    ASSERT_EQ(results.size(), 4u);
    EXPECT_EQ(results[0].substr(0, 2), "4\t");
    EXPECT_EQ(results[3].substr(0, 3), "16\t");
    EXPECT_TRUE(std::filesystem::exists(input + ".4.out.txt"));
    EXPECT_FALSE(window.ended());
}

TEST_F(MainDialogTest, CalculateAnsweredNoWritesNothing) {
    std::string input = writeFile("grid.txt", kFourByFour);
    window.type(kIdcInputFile, input);
    window.type(kIdcFrom, "4");
    window.type(kIdcTo, "4");
    platform.queueMessageBoxAnswer(kAnswerNo);
    window.click(kIdcCalculate);
    ASSERT_EQ(platform.messageBoxes().size(), 2u);
    EXPECT_EQ(platform.messageBoxes()[1].text, "Error loading data");
    EXPECT_FALSE(std::filesystem::exists(input + ".out.txt"));
    EXPECT_EQ(platform.waitCursorBalance(), 0);
}

// The exchange's message comes first; the run then starts with what the partial exchange left.
TEST_F(MainDialogTest, CalculateGoesOnAfterAFieldThatDidNotConvert) {
    std::string input = writeFile("grid.txt", kFourByFour);
    window.type(kIdcInputFile, input);
    window.type(kIdcNShift, "abc");
    window.type(kIdcFrom, " 9");  // after the failing field: not read
    window.click(kIdcCalculate);
    std::vector<std::string> shown = messages();
    ASSERT_GE(shown.size(), 1u);
    EXPECT_EQ(shown[0], "Please enter a number.");
    EXPECT_EQ(dialog.settings().inputFile, input);
    EXPECT_EQ(dialog.settings().from, 0);
    // Nothing is exchanged back after the run.
    EXPECT_EQ(window.text(kIdcFrom), " 9");
    EXPECT_EQ(window.text(kIdcNShift), "abc");
}

TEST_F(MainDialogTest, CalculateWithAnEmptyProgressionSaysSo) {
    window.type(kIdcFrom, "50");
    window.type(kIdcTo, "40");
    window.pick(kIdcProgressionType, 0);
    window.type(kIdcStep, "1");
    window.click(kIdcCalculate);
    EXPECT_EQ(messages(), (std::vector<std::string>{"Progression is empty"}));
    EXPECT_EQ(platform.waitCursorBegins(), 0);
}
