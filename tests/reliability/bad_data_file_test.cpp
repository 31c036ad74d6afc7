// Data files as instruments, spreadsheets and other programs write them, good and bad: every
// one ends in results or in a message, and a file that does not load leaves nothing written.

#include <gtest/gtest.h>

#include <random>

#include "folder_run.h"

namespace {

using Messages = std::vector<std::string>;

// The folder as it was before the run: only the data file.
Files onlyData(const FolderRun& run) {
    return Files{{"data.txt", readFile(run.settings.inputFile)}};
}

}  // namespace

TEST(BadDataFile, MissingFileOrFolderEndsWithoutAQuestion) {
    FolderRun missing;
    std::filesystem::remove(missing.settings.inputFile);
    missing.go();
    EXPECT_EQ(missing.host.messages, Messages{"Error loading data"});
    EXPECT_FALSE(missing.asked());
    EXPECT_EQ(missing.files(), Files{});

    FolderRun folder;
    std::filesystem::remove(folder.settings.inputFile);
    std::filesystem::create_directory(folder.settings.inputFile);
    folder.go();
    EXPECT_EQ(folder.host.messages, Messages{"Error loading data"});
    EXPECT_FALSE(folder.asked());
    EXPECT_EQ(folder.files(), (Files{{"data.txt/", ""}}));
}

// Each file ends in results (strtod's forms load, and what they do to the sums shows as printf
// prints it) or in messages with nothing written. An infinity minus itself is the processor's
// default not-a-number, which glibc prints as -nan. A NUL byte ends the data, its line not
// counted; a lone carriage return (old Macintosh line ends) is white space, not a line end.
TEST(BadDataFile, EachEndsInResultsOrMessagesWithNothingWritten) {
    const std::string notNumber = "\" in row 2, column 3 is not a number";
    std::string longLine;
    while (longLine.size() < (10u << 20)) longLine += "0.25 -1.5e3 ";
    struct Case {
        std::string data;
        std::string size;  // "" when not checked
        Messages messages;
        std::string results;  // when there are no messages
        Case(std::string d, std::string s, Messages m, std::string r = "")
            : data(std::move(d)),
              size(std::move(s)),
              messages(std::move(m)),
              results(std::move(r)) {}
    };
    const Case cases[] = {
        {"", "0 Data colums:0", {}, "1\t0.00000\n4\t0.00000\n"},
        {" \t\r\n\n\v\f \n", "0 Data colums:0", {}, "1\t0.00000\n4\t0.00000\n"},
        {"1 2 3\n\n4 5 6\n7 8\n9 10 11\n",
         "",
         {"The number of columns of row 3 is wrong (2 against 3)", "Error loading data"}},
        {std::string("1 2 3\n4 5 6\n7 8 9\n10 11") + '\0' + " garbage\n13 14 15\n",
         "3 Data colums:3",
         {},
         FolderRun::kResults},
        {"1 2 3\r\n4 5 6\r\n7 8 9\r\n", "3 Data colums:3", {}, FolderRun::kResults},
        {"1 2 3\r4 5 6\r7 8 9\r", "1 Data colums:9", {}, "1\t0.00000\n4\t0.00000\n"},
        {longLine + "\n",
         "1 Data colums:" + std::to_string(longLine.size() / 6),
         {},
         "1\t0.00000\n4\t0.00000\n"},
        {std::string(10u << 20, 'x'),
         "",  // named by its first 40 bytes
         {"The value \"" + std::string(40, 'x') + "...\" in row 1, column 1 is not a number",
          "Error loading data"}},
    };
    std::vector<Case> all(std::begin(cases), std::end(cases));
    for (const auto& [value, shown] :
         std::vector<std::pair<std::string, std::string>>{{"abc", "abc"},
                                                          {"1,5", "1,5"},
                                                          {"1.2.3", "1.2.3"},
                                                          {"1e", "1e"},
                                                          {"--1", "--1"},
                                                          {"0x", "0x"},
                                                          {"12abc", "12abc"},
                                                          {"%s%n", "%s%n"},
                                                          {"\xff\x01\"", "\\xFF\\x01\""}})
        all.push_back({"1 2 3\n4 5 " + value + "\n7 8 9\n",
                       "",
                       {"The value \"" + shown + notNumber, "Error loading data"}});
    for (const auto& [value, results] :
         std::vector<std::pair<std::string, std::string>>{{"nan", "1\tnan\n4\tnan\n"},
                                                          {"NAN", "1\tnan\n4\tnan\n"},
                                                          {"inf", "1\t-nan\n4\t-nan\n"},
                                                          {"-Infinity", "1\t-nan\n4\t-nan\n"},
                                                          {"1e400", "1\t-nan\n4\t-nan\n"},
                                                          {"1e-400", "1\t0.00000\n4\t3.06250\n"},
                                                          {"0x1p3", "1\t0.00000\n4\t18.06250\n"},
                                                          {"+5", FolderRun::kResults},
                                                          {"5.", FolderRun::kResults},
                                                          {"5e0", FolderRun::kResults}})
        all.push_back({"1 2 3\n4 " + value + " 6\n7 8 9\n", "", {}, results});
    for (const Case& c : all) {
        FolderRun run(c.data);
        run.go();
        const std::string what = c.data.substr(0, 40);
        EXPECT_EQ(run.host.messages, c.messages) << what;
        if (!c.size.empty()) {
            EXPECT_EQ(run.host.calls[1], "size: Data rows: " + c.size) << what;
        }
        if (c.messages.empty())
            EXPECT_EQ(run.results(), c.results) << what;
        else
            EXPECT_EQ(run.files(), onlyData(run)) << what;
    }
}

// Bytes from a fixed generator, of sizes up to 64 KiB: each file either loads (a NUL byte early
// enough makes an empty matrix) or ends with "Error loading data" and nothing written.
TEST(BadDataFile, RandomBytesEndInResultsOrAMessage) {
    std::mt19937 generator(20240611);
    for (int k = 0; k < 40; ++k) {
        std::string bytes(generator() % 65536, '\0');
        for (char& byte : bytes) byte = static_cast<char>(generator());
        FolderRun run(bytes);
        run.go();
        if (run.host.messages.empty()) {
            EXPECT_EQ(run.files().size(), 2u) << k;
        } else {
            EXPECT_EQ(run.host.messages.back(), "Error loading data") << k;
            EXPECT_EQ(run.files(), onlyData(run)) << k;
        }
    }
}
