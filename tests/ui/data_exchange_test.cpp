#include "dialog_fixture.h"

// The exchange into the fields stops at the first text that does not convert.
TEST_F(MainDialogTest, LettersInNShiftStopTheExchangeThere) {
    window.tick(kIdcGenerateSurfaces, true);
    window.tick(kIdcOptimise, false);
    window.type(kIdcOutputPrecision, " 8 ");
    window.tick(kIdcNormalise, true);
    window.type(kIdcInputFile, "/d/grid.txt");
    window.type(kIdcNShift, "abc");
    window.type(kIdcMShift, "0.5");
    window.type(kIdcFrom, "4");
    window.pick(kIdcProgressionType, 1);
    window.tick(kIdcUseProgressionFile, true);
    window.type(kIdcProgressionFile, "/d/areas.txt");

    EXPECT_FALSE(dialog.updateData(true));

    EXPECT_EQ(messages(), (std::vector<std::string>{"Please enter a number."}));
    EXPECT_EQ(platform.messageBoxes()[0].buttons, MessageBoxButtons::kOk);
    EXPECT_EQ(window.focus(), kIdcNShift);
    // Before it: new values.
    EXPECT_EQ(dialog.options().generateSurfaces, 1);
    EXPECT_EQ(dialog.options().optimise, 0);
    EXPECT_EQ(dialog.options().outputPrecision, 8);
    EXPECT_EQ(dialog.options().normalise, 1);
    EXPECT_EQ(dialog.settings().inputFile, "/d/grid.txt");
    // It and after it: as they were.
    EXPECT_EQ(dialog.settings().nShift, 0.0);
    EXPECT_EQ(dialog.settings().mShift, 0.0);
    EXPECT_EQ(dialog.settings().from, 0);
    EXPECT_EQ(dialog.settings().progressionType, -1);
    EXPECT_EQ(dialog.settings().useProgressionFile, 0);
    EXPECT_EQ(dialog.settings().progressionFile, "");
}

TEST_F(MainDialogTest, AnIntegerFieldAsksForAnInteger) {
    window.type(kIdcNShift, "0.5");
    window.type(kIdcTo, "2147483648");  // one past 32 bits
    EXPECT_FALSE(dialog.updateData(true));
    EXPECT_EQ(messages(), (std::vector<std::string>{"Please enter an integer."}));
    EXPECT_EQ(window.focus(), kIdcTo);
    EXPECT_EQ(dialog.settings().nShift, 0.5);
    EXPECT_EQ(dialog.settings().to, 0);
}

TEST_F(MainDialogTest, ValidTextsReachEveryField) {
    window.type(kIdcNShift, " 0.25");
    window.type(kIdcMShift, "1e-1 ");
    window.type(kIdcFrom, "+16");
    window.type(kIdcTo, "-3");
    window.type(kIdcStep, "2");
    window.pick(kIdcProgressionType, 0);
    EXPECT_TRUE(dialog.updateData(true));
    EXPECT_TRUE(platform.messageBoxes().empty());
    EXPECT_EQ(dialog.settings().nShift, 0.25);
    EXPECT_EQ(dialog.settings().mShift, 0.1);
    EXPECT_EQ(dialog.settings().from, 16);
    EXPECT_EQ(dialog.settings().to, -3);
    EXPECT_EQ(dialog.settings().step, 2);
    EXPECT_EQ(dialog.settings().progressionType, 0);

    // Shown back in the shortest form that reads as the same value.
    EXPECT_TRUE(dialog.updateData(false));
    EXPECT_EQ(window.text(kIdcNShift), "0.25");
    EXPECT_EQ(window.text(kIdcMShift), "0.1");
    EXPECT_EQ(window.text(kIdcFrom), "16");
}

TEST_F(MainDialogTest, EnterClosesOnlyWhenEveryFieldConverts) {
    window.type(kIdcStep, "x");
    window.type(kIdcInputFile, "/d/grid.txt");
    window.pressEnter();
    EXPECT_FALSE(window.ended());
    EXPECT_EQ(window.focus(), kIdcStep);
    EXPECT_EQ(messages(), (std::vector<std::string>{"Please enter an integer."}));

    window.type(kIdcStep, "3");
    window.type(kIdcInputFile, "/d/grid.txt");
    window.pressEnter();
    EXPECT_TRUE(window.ended());
    EXPECT_EQ(window.result(), kIdOk);
    EXPECT_EQ(dialog.settings().step, 3);
}

TEST_F(MainDialogTest, EnterOnAButtonPressesThatButton) {
    window.click(kIdcViewInput);
    window.pressEnter();
    EXPECT_FALSE(window.ended());
    EXPECT_EQ(platform.startedPrograms().size(), 2u);
}

TEST_F(MainDialogTest, EscapeClosesAtOnceWhateverTheFieldsHold) {
    window.type(kIdcNShift, "abc");
    window.pressEscape();
    EXPECT_TRUE(window.ended());
    EXPECT_EQ(window.result(), kIdCancel);
    EXPECT_TRUE(platform.messageBoxes().empty());
}

// A configuration file may hold a type of 2, or a check value of 5.
TEST_F(MainDialogTest, LoadedOutOfRangeValuesShowAsTheControlsCan) {
    std::string config = writeFile("odd.txt",
                                   "[Input file]\n/d/grid.txt\n\n[Shift (n, m)]\n0.5000\t0.2500\n\n"
                                   "[Progression type (0=linear, 1=log)]\n2\n\n"
                                   "[Progression (from, to, step)]\n4\t64\t2\n\n"
                                   "[Use progression file, progression file]\n5\n/d/areas.txt\n\n");
    platform.queueFileDialogAnswer(config);
    window.click(kIdcLoadConfig);

    EXPECT_EQ(window.listSelection(kIdcProgressionType), -1);
    EXPECT_EQ(dialog.settings().progressionType, -1);
    EXPECT_TRUE(window.checked(kIdcUseProgressionFile));
    EXPECT_EQ(dialog.settings().useProgressionFile, 1);
    EXPECT_EQ(window.text(kIdcNShift), "0.5");
    EXPECT_EQ(window.text(kIdcMShift), "0.25");
    EXPECT_EQ(dialog.settings().to, 64);
}
