// Progression files that are missing, short, malformed or hostile: the run takes the areas that
// read as 32-bit integers up to the count, refuses areas below 1, and never waits or allocates
// for areas that are not there.

#include <gtest/gtest.h>

#include <random>

#include "folder_run.h"

namespace {

using Messages = std::vector<std::string>;

// A run whose areas come from areas.txt (written when given).
struct ProgressionRun : FolderRun {
    explicit ProgressionRun(const std::optional<std::string>& areas) {
        settings.useProgressionFile = 1;
        settings.progressionFile = folder.path("areas.txt");
        if (areas) folder.write("areas.txt", *areas);
    }
};

// The folder before the run: the data and the progression file, nothing else.
Files unchanged(const ProgressionRun& run) {
    Files files{{"data.txt", FolderRun::kData}};
    if (fileExists(run.settings.progressionFile) &&
        !std::filesystem::is_directory(run.settings.progressionFile))
        files["areas.txt"] = readFile(run.settings.progressionFile);
    return files;
}

}  // namespace

TEST(BadProgressionFile, MissingFileOrFolderIsAnEmptyProgression) {
    ProgressionRun missing(std::nullopt);
    missing.go();
    EXPECT_EQ(missing.host.messages, Messages{"Progression is empty"});
    EXPECT_FALSE(missing.asked());
    EXPECT_EQ(missing.files(), unchanged(missing));

    ProgressionRun folder(std::nullopt);
    std::filesystem::create_directory(folder.settings.progressionFile);
    folder.go();
    EXPECT_EQ(folder.host.messages, Messages{"Progression is empty"});
    EXPECT_FALSE(folder.asked());
}

TEST(BadProgressionFile, ACountBeyondTheItemsTakesTheItemsThere) {
    ProgressionRun run("2147483647\n\n1\n4\n");
    run.go();
    EXPECT_TRUE(run.host.messages.empty());
    EXPECT_EQ(run.results(), FolderRun::kResults);
}

TEST(BadProgressionFile, ZeroNegativeOrMissingCountIsAnEmptyProgression) {
    for (std::string text : {"0\n\n1\n4\n", "-3\n\n1\n4\n", "-2147483648\n1\n", "", "\n\n",
                             "two\n\n1\n4\n", "99999999999\n\n1\n4\n"}) {
        ProgressionRun run(text);
        run.go();
        EXPECT_EQ(run.host.messages, Messages{"Progression is empty"}) << text;
        EXPECT_EQ(run.files(), unchanged(run)) << text;
    }
}

TEST(BadProgressionFile, TheFirstItemThatIsNotA32BitIntegerEndsTheList) {
    struct Case {
        std::string text;
        std::string results;
    };
    for (const Case& c :
         {Case{"3\n1\nfour\n4\n", "1\t0.00000\n"}, Case{"3\n1\n4abc\n9\n", FolderRun::kResults},
          Case{"3\n1\n4.5\n9\n", FolderRun::kResults},
          Case{"3\n1\n1,4\n", "1\t0.00000\n1\t0.00000\n"},
          Case{"3\n1\n99999999999\n4\n", "1\t0.00000\n"},
          Case{std::string("3 1 4 \0 9", 9), FolderRun::kResults},
          Case{"+2\n+1\n+4\n", FolderRun::kResults}}) {
        ProgressionRun run(c.text);
        run.go();
        EXPECT_TRUE(run.host.messages.empty()) << c.text;
        EXPECT_EQ(run.results(), c.results) << c.text;
    }
}

TEST(BadProgressionFile, AreasBelowOneAreRefusedBeforeTheData) {
    for (std::string area : {"0", "-4", "-2147483648"}) {
        ProgressionRun run("3\n1\n" + area + "\n4\n");
        run.go();
        EXPECT_EQ(run.host.messages,
                  Messages{"Area " + area + " is below 1: every window area must be at least 1"});
        EXPECT_FALSE(run.asked());
        EXPECT_EQ(run.files(), unchanged(run));
    }
}

TEST(BadProgressionFile, RepeatedAreasGiveOneLineEach) {
    ProgressionRun run("4\n4\n1\n4\n4\n");
    run.go();
    EXPECT_EQ(run.results(), "4\t4.00000\n1\t0.00000\n4\t4.00000\n4\t4.00000\n");
}

// Digits, signs, blanks and other bytes from a fixed generator: the reader always ends, and the
// run either writes its results or ends with a message before anything is written.
TEST(BadProgressionFile, RandomTextEndsInResultsOrAMessage) {
    const std::string alphabet("0123456789 \n\t-+x.\0\xff", 19);
    std::mt19937 generator(7);
    for (int k = 0; k < 40; ++k) {
        std::string text(generator() % 4096, '\0');
        for (char& byte : text) byte = alphabet[generator() % alphabet.size()];
        ProgressionRun run(text);
        run.go();
        if (run.host.messages.empty())
            EXPECT_TRUE(fileExists(run.settings.inputFile + ".out.txt")) << k;
        else
            EXPECT_EQ(run.files(), unchanged(run)) << k;
    }
}
