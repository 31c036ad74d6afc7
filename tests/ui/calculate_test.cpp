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
    EXPECT_EQ(
        platform.messageBoxes()[1].text,
        "Error loading data\n\n" + input + " was not read: the answer to \"Continue?\" was No.");
    EXPECT_FALSE(std::filesystem::exists(input + ".out.txt"));
    EXPECT_EQ(platform.waitCursorBalance(), 0);
}

// A field that does not convert stops Calculate and Save after the exchange's message, with the
// focus on that field: no run with the previous values, no file written. Browse, View and Load
// go on with what the partial exchange left.
TEST(MainDialogCommands, StopOrGoOnAfterAFieldThatDidNotConvert) {
    struct Case {
        int button;
        bool goesOn;
    };
    const Case cases[] = {{kIdcCalculate, false},       {kIdcSaveConfig, false},
                          {kIdcLoadConfig, true},       {kIdcBrowseInput, true},
                          {kIdcViewInput, true},        {kIdcViewProgression, true},
                          {kIdcBrowseProgression, true}};
    TempFolder temp;
    const std::string input = temp.write("grid.txt", kFourByFour);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        HeadlessPlatform platform;
        MainDialog dialog(platform);
        HeadlessWindow& window = platform.open(dialog);
        window.type(kIdcInputFile, input);
        window.type(kIdcFrom, "1o0");
        window.type(kIdcTo, "16");  // after the failing field: not read
        platform.queueMessageBoxAnswer(kAnswerYes);
        window.click(c.button);
        ASSERT_GE(platform.messageBoxes().size(), 1u);
        EXPECT_EQ(platform.messageBoxes()[0].text, "Please enter an integer.");
        EXPECT_EQ(dialog.settings().inputFile, input);
        EXPECT_EQ(dialog.settings().to, 0);
        const bool wentOn = platform.messageBoxes().size() > 1 || !platform.fileDialogs().empty() ||
                            !platform.startedPrograms().empty();
        EXPECT_EQ(wentOn, c.goesOn);
        if (!c.goesOn) {
            EXPECT_EQ(window.focus(), kIdcFrom);
        }
        EXPECT_FALSE(std::filesystem::exists(input + ".out.txt"));
        // Nothing is exchanged back.
        EXPECT_EQ(window.text(kIdcFrom), "1o0");
    }
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

// "Error loading data" stays first; below it, in the same box, the file and why it was not read.
TEST_F(MainDialogTest, ErrorLoadingDataNamesTheFileAndTheReason) {
    const std::string ragged = writeFile("ragged.txt", "1 2\n3 4 5\n");
    const std::string missing = (folder() / "missing.txt").string();
    struct Case {
        std::string input;
        std::string added;
    };
    const Case cases[] = {
        {missing, missing + "\nNo such file or directory"},
        {folder().string(), folder().string() + "\nIs a directory"},
        {"",
         "No input file is named: type its name in Input file, or choose it with the \"...\" "
         "button beside it."},
        // The reader has said what is wrong inside the file; the box names the file.
        {ragged, ragged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        const std::size_t before = platform.messageBoxes().size();
        window.type(kIdcInputFile, c.input);
        window.type(kIdcFrom, "4");
        window.type(kIdcTo, "4");
        // OK to the reader's own message where there is one, Yes to the size.
        platform.queueMessageBoxAnswer(c.input == ragged ? kAnswerOk : kAnswerYes);
        platform.queueMessageBoxAnswer(kAnswerYes);
        window.click(kIdcCalculate);
        ASSERT_GT(platform.messageBoxes().size(), before);
        EXPECT_EQ(platform.messageBoxes().back().text, "Error loading data\n\n" + c.added);
        while (platform.unusedAnswers() > 0) platform.messageBox("", MessageBoxButtons::kOk);
    }
}

// While the run is on, its area shows in the title bar, every command but Escape is ignored (a
// second Calculate queues no second run), and Escape asks; Yes stops the run between areas and
// closes the dialog, leaving the results file as a failed run leaves it.
TEST_F(MainDialogTest, ARunInProgressShowsItsAreaIgnoresCommandsAndStopsOnRequest) {
    const std::string input = writeFile("grid.txt", kFourByFour);
    window.type(kIdcInputFile, input);
    window.type(kIdcFrom, "1");
    window.type(kIdcTo, "9");
    window.type(kIdcStep, "1");
    window.pick(kIdcProgressionType, 0);
    struct Case {
        int answerToStop;  // 0: Escape is not pressed
        bool closes;
    };
    for (const Case c : {Case{0, false}, Case{kAnswerNo, false}, Case{kAnswerYes, true}}) {
        SCOPED_TRACE(c.answerToStop);
        HeadlessPlatform freshPlatform;
        MainDialog freshDialog(freshPlatform);
        HeadlessWindow& freshWindow = freshPlatform.open(freshDialog);
        for (int id : {kIdcInputFile, kIdcFrom, kIdcTo, kIdcStep})
            freshWindow.type(id, window.text(id));
        freshWindow.pick(kIdcProgressionType, 0);
        freshPlatform.queueMessageBoxAnswer(kAnswerYes);  // Continue?
        freshPlatform.queueWhileRunning([&] {
            EXPECT_TRUE(freshDialog.running());
            freshWindow.click(kIdcCalculate);
            freshWindow.click(kIdcSaveConfig);
            freshWindow.pressEnter();
            EXPECT_FALSE(freshWindow.ended());
            if (c.answerToStop != 0) {
                freshPlatform.queueMessageBoxAnswer(c.answerToStop);
                freshWindow.pressEscape();
            }
        });
        freshWindow.click(kIdcCalculate);

        std::vector<std::string> shown;
        for (const auto& box : freshPlatform.messageBoxes()) shown.push_back(box.text);
        std::vector<std::string> expected{dataSizeText(4, 4) + "\nContinue?"};
        if (c.answerToStop != 0) expected.push_back(kStopRunQuestion);
        EXPECT_EQ(shown, expected);
        EXPECT_EQ(freshWindow.ended(), c.closes);
        EXPECT_FALSE(freshDialog.running());
        const std::size_t written = lines(readFile(input + ".out.txt")).size();
        EXPECT_EQ(written < 9u, c.closes) << written;
        // The title shows each area under way, and the caption again when the run is over.
        ASSERT_FALSE(freshWindow.titles().empty());
        EXPECT_EQ(freshWindow.titles().back(), "Vantrel");
        if (!c.closes) {
            EXPECT_NE(std::find(freshWindow.titles().begin(), freshWindow.titles().end(),
                                "Vantrel - area 9 of 9"),
                      freshWindow.titles().end());
        }
        EXPECT_EQ(freshPlatform.waitCursorBalance(), 0);
    }
}
