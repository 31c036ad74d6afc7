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

// Each file ends in results (the areas read, up to the count, until an item that is not a
// 32-bit integer) or in one message before anything is read or written.
TEST(BadProgressionFile, EachEndsInTheAreasReadOrOneMessage) {
    const std::string empty = "Progression is empty";
    const std::string belowOne = " is below 1: every window area must be at least 1";
    struct Case {
        std::optional<std::string> text;  // none: no file
        std::string message;              // none: results
        std::string results;
        Case(std::optional<std::string> t, std::string m, std::string r = "")
            : text(std::move(t)), message(std::move(m)), results(std::move(r)) {}
    };
    const Case cases[] = {
        {std::nullopt, empty},
        {"0\n\n1\n4\n", empty},
        {"-3\n\n1\n4\n", empty},
        {"-2147483648\n1\n", empty},
        {"", empty},
        {"\n\n", empty},
        {"two\n\n1\n4\n", empty},
        {"99999999999\n\n1\n4\n", empty},
        {"3\n1\n0\n4\n", "Area 0" + belowOne},
        {"3\n1\n-4\n4\n", "Area -4" + belowOne},
        {"3\n1\n-2147483648\n4\n", "Area -2147483648" + belowOne},
        {"2147483647\n\n1\n4\n", "", FolderRun::kResults},  // a count beyond the items
        {"3\n1\nfour\n4\n", "", "1\t0.00000\n"},
        {"3\n1\n4abc\n9\n", "", FolderRun::kResults},
        {"3\n1\n4.5\n9\n", "", FolderRun::kResults},
        {"3\n1\n1,4\n", "", "1\t0.00000\n1\t0.00000\n"},
        {"3\n1\n99999999999\n4\n", "", "1\t0.00000\n"},
        {std::string("3 1 4 \0 9", 9), "", FolderRun::kResults},
        {"+2\n+1\n+4\n", "", FolderRun::kResults},
    };
    for (const Case& c : cases) {
        ProgressionRun run(c.text);
        run.go();
        const std::string what = c.text.value_or("(no file)");
        if (c.message.empty()) {
            EXPECT_TRUE(run.host.messages.empty()) << what;
            EXPECT_EQ(run.results(), c.results) << what;
        } else {
            EXPECT_EQ(run.host.messages, Messages{c.message}) << what;
            EXPECT_FALSE(run.asked()) << what;
            EXPECT_EQ(run.files(), unchanged(run)) << what;
        }
    }
    ProgressionRun folder(std::nullopt);
    std::filesystem::create_directory(folder.settings.progressionFile);
    folder.go();
    EXPECT_EQ(folder.host.messages, Messages{empty});
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
