#include "config_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "analysis_settings.h"
#include "temp_folder.h"

namespace {

const char* const kResetText =
    "[Input file]\n\n\n"
    "[Shift (n, m)]\n0.0000\t0.0000\n\n"
    "[Progression type (0=linear, 1=log)]\n-1\n\n"
    "[Progression (from, to, step)]\n0\t0\t0\n\n"
    "[Use progression file, progression file]\n0\n\n\n";

AnalysisSettings parsed(const std::string& text, AnalysisSettings settings = {}) {
    parseConfigText(text.data(), text.data() + text.size(), settings);
    return settings;
}

AnalysisSettings example() {
    AnalysisSettings s;
    s.inputFile = "/data/my grid.txt";
    s.nShift = 0.5;
    s.mShift = -0.25;
    s.progressionType = 1;
    s.from = 4;
    s.to = 1024;
    s.step = 2;
    s.useProgressionFile = 1;
    s.progressionFile = "/data/areas.txt";
    return s;
}

void expectSameSettings(const AnalysisSettings& a, const AnalysisSettings& b) {
    EXPECT_EQ(a.inputFile, b.inputFile);
    EXPECT_EQ(a.nShift, b.nShift);
    EXPECT_EQ(a.mShift, b.mShift);
    EXPECT_EQ(a.from, b.from);
    EXPECT_EQ(a.to, b.to);
    EXPECT_EQ(a.step, b.step);
    EXPECT_EQ(a.progressionType, b.progressionType);
    EXPECT_EQ(a.useProgressionFile, b.useProgressionFile);
    EXPECT_EQ(a.progressionFile, b.progressionFile);
}

}  // namespace

TEST(ConfigFile, ResetSettingsAreWrittenExactlyAndReadBack) {
    AnalysisSettings reset;
    EXPECT_EQ(configText(reset), kResetText);
    expectSameSettings(parsed(kResetText, example()), reset);
}

TEST(ConfigFile, WriteAndReadRestoresEveryField) {
    TempFolder folder;
    AnalysisSettings written = example();
    ASSERT_TRUE(written.writeConfig(folder.path("a.cfg")));
    EXPECT_EQ(readFile(folder.path("a.cfg")),
              "[Input file]\n/data/my grid.txt\n\n[Shift (n, m)]\n0.5000\t-0.2500\n\n"
              "[Progression type (0=linear, 1=log)]\n1\n\n[Progression (from, to, step)]\n"
              "4\t1024\t2\n\n[Use progression file, progression file]\n1\n/data/areas.txt\n\n");
    AnalysisSettings read;
    ASSERT_TRUE(read.readConfig(folder.path("a.cfg")));
    expectSameSettings(read, written);
}

TEST(ConfigFile, ShiftsComeBackAtFourDecimalsAndPathsTrimmed) {
    AnalysisSettings s;
    s.nShift = 0.33333;
    s.mShift = -1;
    s.inputFile = "  \tgrid with blanks.txt \t";
    AnalysisSettings back = parsed(configText(s));
    EXPECT_EQ(back.nShift, 0.3333);
    EXPECT_EQ(back.mShift, -1.0);
    EXPECT_EQ(back.inputFile, "grid with blanks.txt");
}

TEST(ConfigFile, BlanksForTabsAndCarriageReturnsReadTheSame) {
    std::string text = configText(example());
    std::string blanks = text;
    for (char& c : blanks)
        if (c == '\t') c = ' ';
    std::string crlf;
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    expectSameSettings(parsed(blanks), example());
    expectSameSettings(parsed(crlf), example());
}

TEST(ConfigFile, ATypeOutOfRangeLoadsAsItStands) {
    AnalysisSettings five = example();
    five.progressionType = 5;
    EXPECT_EQ(parsed(configText(five)).progressionType, 5);
}

TEST(ConfigFile, SavingReplacesTheWholeFileOrFails) {
    TempFolder folder;
    std::string path = folder.write("old.cfg", std::string(5000, 'x'));
    std::filesystem::permissions(
        path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    ASSERT_TRUE(example().writeConfig(path));
    EXPECT_EQ(readFile(path), configText(example()));
#ifndef _WIN32  // Windows keeps a read-only flag, not permission bits
    EXPECT_EQ(std::filesystem::status(path).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
#endif
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path("")),
                            std::filesystem::directory_iterator()),
              1);  // no temporary file left behind

    EXPECT_FALSE(example().writeConfig(folder.path("missing/folder/a.cfg")));
    EXPECT_FALSE(example().writeConfig(folder.path("")));
}

TEST(ConfigFile, SavingThroughALinkReplacesTheFileItNames) {
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need a privilege on Windows that a test cannot count on";
#endif
    TempFolder folder;
    std::string target = folder.write("real.cfg", "old");
    std::filesystem::create_symlink(target, folder.path("link.cfg"));
    ASSERT_TRUE(example().writeConfig(folder.path("link.cfg")));
    EXPECT_TRUE(std::filesystem::is_symlink(folder.path("link.cfg")));
    EXPECT_EQ(readFile(target), configText(example()));
}

TEST(ReadTrimmedLine, TrimsBothEndsAndConsumesTheLineFeed) {
    std::string text = " \t a b \r\nnext";
    TextCursor cursor{text.data(), text.data() + text.size()};
    std::string line;
    EXPECT_TRUE(readTrimmedLine(cursor, line));
    EXPECT_EQ(line, "a b");
    EXPECT_FALSE(readTrimmedLine(cursor, line) && line != "next");
    EXPECT_EQ(line, "next");
    EXPECT_FALSE(readTrimmedLine(cursor, line));
    EXPECT_EQ(line, "");
}
