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

TEST(BadDataFile, EmptyOrBlankFileIsAMatrixWithoutRows) {
    for (std::string data : {"", " \t\r\n\n\v\f \n"}) {
        FolderRun run(data);
        run.go();
        EXPECT_TRUE(run.host.messages.empty());
        EXPECT_EQ(run.host.calls[1], "size: Data rows: 0 Data colums:0");
        EXPECT_EQ(run.results(), "1\t0.00000\n4\t0.00000\n");
    }
}

TEST(BadDataFile, ARaggedRowIsNamedAndNothingIsWritten) {
    FolderRun run("1 2 3\n\n4 5 6\n7 8\n9 10 11\n");
    run.go();
    EXPECT_EQ(run.host.messages, (Messages{"The number of columns of row 3 is wrong (2 against 3)",
                                           "Error loading data"}));
    EXPECT_EQ(run.host.calls[2], "size: Data rows: 2 Data colums:3");
    EXPECT_EQ(run.files(), onlyData(run));
}

TEST(BadDataFile, ANulByteEndsTheDataAndItsLineIsNotCounted) {
    FolderRun run(std::string("1 2 3\n4 5 6\n7 8 9\n10 11") + '\0' + " garbage\n13 14 15\n");
    run.go();
    EXPECT_TRUE(run.host.messages.empty());
    EXPECT_EQ(run.host.calls[1], "size: Data rows: 3 Data colums:3");
    EXPECT_EQ(run.results(), FolderRun::kResults);
}

TEST(BadDataFile, ValuesThatDoNotReadWholeAreNamedWithTheirRowAndColumn) {
    struct Case {
        std::string value;
        std::string shown;
    };
    for (const Case& c :
         {Case{"abc", "abc"}, Case{"1,5", "1,5"}, Case{"1.2.3", "1.2.3"}, Case{"1e", "1e"},
          Case{"--1", "--1"}, Case{"0x", "0x"}, Case{"12abc", "12abc"}, Case{"%s%n", "%s%n"},
          Case{"\xff\x01\"", "\\xFF\\x01\""}}) {
        FolderRun run("1 2 3\n4 5 " + c.value + "\n7 8 9\n");
        run.go();
        EXPECT_EQ(run.host.messages,
                  (Messages{"The value \"" + c.shown + "\" in row 2, column 3 is not a number",
                            "Error loading data"}))
            << c.value;
        EXPECT_EQ(run.files(), onlyData(run)) << c.value;
    }
}

// strtod reads these whole, so they load; what they do to the sums shows in the results as
// printf prints it. An infinity minus itself is the processor's default not-a-number, which
// glibc prints as -nan.
TEST(BadDataFile, FormsStrtodReadsWholeLoadAndShowInTheResults) {
    struct Case {
        const char* value;
        const char* results;
    };
    for (Case c : {Case{"nan", "1\tnan\n4\tnan\n"}, Case{"NAN", "1\tnan\n4\tnan\n"},
                   Case{"inf", "1\t-nan\n4\t-nan\n"}, Case{"-Infinity", "1\t-nan\n4\t-nan\n"},
                   Case{"1e400", "1\t-nan\n4\t-nan\n"}, Case{"1e-400", "1\t0.00000\n4\t3.06250\n"},
                   Case{"0x1p3", "1\t0.00000\n4\t18.06250\n"}, Case{"+5", FolderRun::kResults},
                   Case{"5.", FolderRun::kResults}, Case{"5e0", FolderRun::kResults}}) {
        FolderRun run(std::string("1 2 3\n4 ") + c.value + " 6\n7 8 9\n");
        run.go();
        EXPECT_TRUE(run.host.messages.empty()) << c.value;
        EXPECT_EQ(run.results(), c.results) << c.value;
    }
}

TEST(BadDataFile, CarriageReturnLineFeedIsALineEndButALoneCarriageReturnIsNot) {
    FolderRun windows("1 2 3\r\n4 5 6\r\n7 8 9\r\n");
    windows.go();
    EXPECT_EQ(windows.host.calls[1], "size: Data rows: 3 Data colums:3");
    EXPECT_EQ(windows.results(), FolderRun::kResults);

    // Old Macintosh line ends: the whole file is one line of nine values.
    FolderRun mac("1 2 3\r4 5 6\r7 8 9\r");
    mac.go();
    EXPECT_TRUE(mac.host.messages.empty());
    EXPECT_EQ(mac.host.calls[1], "size: Data rows: 1 Data colums:9");
    EXPECT_EQ(mac.results(), "1\t0.00000\n4\t0.00000\n");
}

TEST(BadDataFile, ASingleLineOfTenMegabytes) {
    std::string values;
    while (values.size() < (10u << 20)) values += "0.25 -1.5e3 ";
    FolderRun numbers(values + "\n");
    numbers.go();
    EXPECT_TRUE(numbers.host.messages.empty());
    EXPECT_EQ(numbers.host.calls[1],
              "size: Data rows: 1 Data colums:" + std::to_string(values.size() / 6));
    EXPECT_EQ(numbers.results(), "1\t0.00000\n4\t0.00000\n");

    // One value of ten megabytes: named by its first 40 bytes.
    FolderRun word(std::string(10u << 20, 'x'));
    word.go();
    EXPECT_EQ(word.host.messages, (Messages{"The value \"" + std::string(40, 'x') +
                                                "...\" in row 1, column 1 is not a number",
                                            "Error loading data"}));
    EXPECT_EQ(word.files().size(), 1u);
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
