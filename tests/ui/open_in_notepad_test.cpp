#include "open_in_notepad.h"

#include <gtest/gtest.h>

#include "dialog_fixture.h"

TEST(ViewCommand, WindowsLineIsNotepadThenThePathUnquoted) {
    EXPECT_EQ(notepadCommandLine("C:\\WINDOWS", "C:\\data\\grid.txt"),
              "C:\\WINDOWS\\Notepad.exe C:\\data\\grid.txt");
    // An empty path leaves the blank after Notepad.exe; blanks in a path stay unquoted.
    EXPECT_EQ(notepadCommandLine("C:\\WINDOWS", ""), "C:\\WINDOWS\\Notepad.exe ");
    EXPECT_EQ(notepadCommandLine("C:\\WINDOWS", "C:\\my data\\a b.txt"),
              "C:\\WINDOWS\\Notepad.exe C:\\my data\\a b.txt");
    // The directory is taken whole, however long.
    std::string longDirectory = "C:\\" + std::string(300, 'w');
    EXPECT_EQ(notepadCommandLine(longDirectory, "x"), longDirectory + "\\Notepad.exe x");
}

TEST(ViewCommand, DesktopCommandPassesThePathAsOneArgument) {
    const std::string hostile = "/tmp/a b;$(rm -rf x)'\".txt";
    ProgramCommand command = desktopOpenCommand(hostile);
    EXPECT_EQ(command.arguments, (std::vector<std::string>{"xdg-open", hostile}));
    EXPECT_TRUE(command.commandLine.empty());
    EXPECT_EQ(desktopOpenCommand("-h.txt").arguments,
              (std::vector<std::string>{"xdg-open", "./-h.txt"}));
}

#ifndef _WIN32
TEST(ViewCommand, ThisPlatformOpensWithTheDesktopApplication) {
    EXPECT_EQ(viewFileCommand("/d/grid.txt").arguments,
              (std::vector<std::string>{"xdg-open", "/d/grid.txt"}));
}
#endif

TEST(ViewCommand, DesktopOpenSaysWhyNoProgramOpenedTheFile) {
    const std::pair<int, std::string> cases[] = {
        {0, ""},
        {2, "No program could open /d/a.txt: the file does not exist or cannot be read"},
        {3, "No program could open /d/a.txt: no program on this system opens files of its kind"},
        {4, "No program could open /d/a.txt: the program meant to open it failed"},
        {1, "xdg-open could not open /d/a.txt (it ended with status 1)"},
    };
    for (const auto& [status, text] : cases)
        EXPECT_EQ(desktopOpenProblem("/d/a.txt", status), text);
}

#ifndef _WIN32
TEST_F(MainDialogTest, ViewSaysSoWhenNoProgramOpensTheFile) {
    window.type(kIdcInputFile, "/d/a.txt");
    platform.queueExitStatus(3);
    window.click(kIdcViewInput);
    EXPECT_EQ(messages(), (std::vector<std::string>{desktopOpenProblem("/d/a.txt", 3)}));
    platform.queueExitStatus(0);
    window.click(kIdcViewInput);
    EXPECT_EQ(messages().size(), 1u);
}
#endif
