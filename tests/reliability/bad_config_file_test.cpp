// Configuration files that are missing, cut short, hand-edited or not text at all: a file that
// opens always loads what converts, and the run that follows says what is wrong with the result.

#include <gtest/gtest.h>

#include <random>

#include "child_process.h"
#include "config_file.h"
#include "folder_run.h"

namespace {

AnalysisSettings saved() {
    AnalysisSettings s;
    s.inputFile = "/d/in.txt";
    s.nShift = 0.5;
    s.mShift = 0.25;
    s.progressionType = 1;
    s.from = 4;
    s.to = 1024;
    s.step = 2;
    s.useProgressionFile = 1;
    s.progressionFile = "/d/areas.txt";
    return s;
}

AnalysisSettings earlier() {
    AnalysisSettings s;
    s.inputFile = "old-in.txt";
    s.nShift = 0.75;
    s.mShift = 0.75;
    s.progressionType = 0;
    s.from = 7;
    s.to = 70;
    s.step = 7;
    s.useProgressionFile = 0;
    s.progressionFile = "old-areas.txt";
    return s;
}

// The first `lines` lines of a text.
std::string firstLines(const std::string& text, int lines) {
    std::size_t end = 0;
    for (int k = 0; k < lines; ++k) end = text.find('\n', end) + 1;
    return text.substr(0, end);
}

// A configuration for data.txt, linear areas 1 to 4 step 3, with one line replaced.
std::string configWithLine(int line, const std::string& text) {
    AnalysisSettings s;
    s.inputFile = "data.txt";
    s.progressionType = 0;
    s.from = 1;
    s.to = 4;
    s.step = 3;
    std::string config = configText(s);
    std::size_t start = firstLines(config, line - 1).size();
    return config.replace(start, config.find('\n', start) - start, text);
}

}  // namespace

// Cut after line k, a file loads the values of its first k lines; the numbers past the cut keep
// the values they had, the paths past the cut become empty.
TEST(BadConfigFile, CutAfterAnyLineLoadsTheLinesThere) {
    const std::string full = configText(saved());
    TempFolder folder;
    for (int lines = 0; lines <= 16; ++lines) {
        std::string path = folder.write("cut.cfg", firstLines(full, lines));
        AnalysisSettings s = earlier();
        ASSERT_TRUE(s.readConfig(path));
        AnalysisSettings expected = earlier();
        expected.inputFile = lines >= 2 ? saved().inputFile : "";
        if (lines >= 5) expected.nShift = saved().nShift, expected.mShift = saved().mShift;
        if (lines >= 8) expected.progressionType = saved().progressionType;
        if (lines >= 11)
            expected.from = saved().from, expected.to = saved().to, expected.step = saved().step;
        if (lines >= 14) expected.useProgressionFile = saved().useProgressionFile;
        expected.progressionFile = lines >= 15 ? saved().progressionFile : "";
        EXPECT_EQ(configText(s), configText(expected)) << lines << " lines";
    }
}

// Through vantrel-cli, which starts from the reset settings (linear type, 0 0 0) before the file:
// a file that does not open ends before the run; one that opens loads what converts (numbers out
// of range or in words keep their fields) and the run says what is wrong with the result. Bytes
// from a fixed generator, and a program file, end with a message before anything is written.
TEST(BadConfigFile, EachEndsBeforeTheRunOrInARunThatSaysWhy) {
    const std::string size = "Data rows: 3 Data colums:3\n";
    const std::string cannotOpen = "Error opening config file\n";
    const std::string anyMessage = "*";
    std::mt19937 generator(1983);
    std::string randomBytes(8192, '\0');
    for (char& byte : randomBytes) byte = static_cast<char>(generator());
    struct Case {
        std::optional<std::string> text;  // none: a folder of that name
        int status;
        std::string err;
    };
    const Case cases[] = {
        {std::nullopt, 1, cannotOpen},
        {"", 1, "Area 0 is below 1: every window area must be at least 1\n"},
        {configWithLine(11, "four\t1024\t2"), 1,
         "Linear progression never ends: step 0 must be at least 1\n"},
        {configWithLine(11, "1\t99999999999\t3"), 1, "Progression is empty\n"},
        {configWithLine(11, "1\t4\t-2147483649"), 1,
         "Linear progression never ends: step 0 must be at least 1\n"},
        {configWithLine(5, "1e999\t0"), 1, "The n shift inf must lie between 0 and 1\n"},
        {configWithLine(5, "0.5\thalf"), 0, size},
        {configWithLine(5, "0,5\t0,5"), 0, size},    // the n shift reads as 0, the m shift keeps 0
        {configWithLine(8, "2147483648"), 0, size},  // the type stays -1: the single area 1
        {configWithLine(14, "one"), 0, size},
        {randomBytes, 1, anyMessage},
        {readFile(VANTREL_CLI), 1, anyMessage},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        folder.write("data.txt", FolderRun::kData);
        if (c.text)
            folder.write("a.cfg", *c.text);
        else
            std::filesystem::create_directory(folder.path("a.cfg"));
        Files before = filesIn(folder.path(""));
        ProgramRun run = runCli(folder.path(""), {"run", "a.cfg", "--yes"});
        const std::string what = c.text ? c.text->substr(0, 80) : "(a folder)";
        EXPECT_EQ(run.status, c.status) << what;
        if (c.err == anyMessage)
            EXPECT_FALSE(run.err.empty()) << what;
        else
            EXPECT_EQ(run.err, c.err) << what;
        if (c.status != 0) {
            EXPECT_EQ(filesIn(folder.path("")), before) << what;
        }
    }
    TempFolder folder;
    ProgramRun missing = runCli(folder.path(""), {"run", "missing.cfg", "--yes"});
    EXPECT_EQ(missing.err, cannotOpen);
}

TEST(BadConfigFile, VeryLongPathLinesLoadWholeAndFailAsPaths) {
    TempFolder folder;
    AnalysisSettings s;
    s.inputFile = "/" + std::string(1u << 20, 'a');
    s.progressionFile = std::string(1u << 20, 'b') + " with blanks inside";
    std::string path = folder.path("long.cfg");
    ASSERT_TRUE(s.writeConfig(path));
    AnalysisSettings loaded;
    ASSERT_TRUE(loaded.readConfig(path));
    EXPECT_EQ(loaded.inputFile, s.inputFile);
    EXPECT_EQ(loaded.progressionFile, s.progressionFile);

    ScriptedHost host;
    loaded.progressionType = 0;
    loaded.from = loaded.to = loaded.step = 1;
    runAnalysis(loaded, RunOptions(), host);
    EXPECT_EQ(host.messages, std::vector<std::string>{"Error loading data"});
    loaded.useProgressionFile = 1;
    runAnalysis(loaded, RunOptions(), host);
    EXPECT_EQ(host.messages.back(), "Progression is empty");
}
