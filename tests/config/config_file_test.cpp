#include "config_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>

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

// What comes back from a written text, or one edited by hand: shifts at four decimals, paths
// trimmed, blanks for tabs and CR LF line ends read the same, a type out of range as it stands.
TEST(ConfigFile, WrittenAndEditedTextsReadBack) {
    AnalysisSettings rounded = example();
    rounded.nShift = 0.33333;
    rounded.inputFile = "  \tgrid with blanks.txt \t";
    AnalysisSettings roundedBack = example();
    roundedBack.nShift = 0.3333;
    roundedBack.inputFile = "grid with blanks.txt";
    AnalysisSettings five = example();
    five.progressionType = 5;
    std::string blanks = configText(example()), crlf;
    for (char& c : blanks)
        if (c == '\t') c = ' ';
    for (char c : configText(example()))
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const std::pair<std::string, AnalysisSettings> cases[] = {
        {configText(rounded), roundedBack},
        {blanks, example()},
        {crlf, example()},
        {configText(five), five},
    };
    for (const auto& [text, expected] : cases) expectSameSettings(parsed(text), expected);
}

// Permissions, links and pipes are POSIX's; the Windows build has tests of its own seam.
#ifndef _WIN32
// A saved file replaces the old one whole (through a temporary file renamed into place) and keeps
// its permissions; a new one gets 0666 less the umask.
TEST(ConfigFile, SavingReplacesTheWholeFileKeepingItsPermissions) {
    namespace fs = std::filesystem;
    const mode_t mask = umask(027);
    for (mode_t mode : {0640, 0600, 0755, 0604}) {
        TempFolder folder;
        std::string path = folder.write("old.cfg", std::string(5000, 'x'));
        chmod(path.c_str(), mode);
        ASSERT_TRUE(example().writeConfig(path));
        EXPECT_EQ(readFile(path), configText(example()));
        EXPECT_EQ(static_cast<mode_t>(fs::status(path).permissions()), mode) << std::oct << mode;
        EXPECT_EQ(std::distance(fs::directory_iterator(folder.path("")), fs::directory_iterator()),
                  1);  // no temporary file left behind
        ASSERT_TRUE(example().writeConfig(folder.path("new.cfg")));
        EXPECT_EQ(static_cast<mode_t>(fs::status(folder.path("new.cfg")).permissions()), 0640);
        EXPECT_FALSE(example().writeConfig(folder.path("missing/folder/a.cfg")));
        EXPECT_FALSE(example().writeConfig(folder.path("")));
    }
    umask(mask);
}

// Through a symbolic link, to a file or to one that does not exist yet, the file the link names
// is written and the link stays.
TEST(ConfigFile, SavingThroughALinkWritesTheFileItNamesAndKeepsTheLink) {
    for (bool dangling : {false, true}) {
        TempFolder folder;
        std::string target = folder.path("real.cfg");
        if (!dangling) folder.write("real.cfg", "old");
        std::filesystem::create_symlink("real.cfg", folder.path("link.cfg"));
        ASSERT_TRUE(example().writeConfig(folder.path("link.cfg"))) << dangling;
        EXPECT_TRUE(std::filesystem::is_symlink(folder.path("link.cfg"))) << dangling;
        EXPECT_EQ(readFile(target), configText(example())) << dangling;
    }
}

// What is not a regular file is written into, never replaced: a pipe that a reader drains.
TEST(ConfigFile, SavingOntoAPipeWritesIntoIt) {
    TempFolder folder;
    const std::string pipe = folder.path("pipe.cfg");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    // A second name for the pipe, by which to free the reader should the pipe be replaced.
    ASSERT_EQ(link(pipe.c_str(), folder.path("spare").c_str()), 0);
    auto read = std::async(std::launch::async, [&] { return readFile(pipe); });
    EXPECT_TRUE(example().writeConfig(pipe));
    if (read.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        ADD_FAILURE() << "nothing was written into the pipe";
        close(open(folder.path("spare").c_str(), O_WRONLY | O_NONBLOCK));  // lets the reader go
    }
    EXPECT_EQ(read.get(), configText(example()));
    EXPECT_TRUE(std::filesystem::is_fifo(pipe));
}
#endif
