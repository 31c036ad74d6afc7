// What the program writes and how it reads, through the real vantrel-cli: a second run starts
// its results afresh, a plot file holds the bytes of its format, a file goes by its content
// whatever its name, and a message about missing values names the first.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "cli_runner.h"
#include "npy_bytes.h"
#include "rough_surface.h"

namespace {

// A float64 .npy file of R x C values 1, 2, 3, ... in C order.
std::string npyOfCounts(int R, int C) {
    std::vector<double> counts(static_cast<std::size_t>(R) * C);
    for (std::size_t k = 0; k < counts.size(); ++k) counts[k] = static_cast<double>(k + 1);
    return npyOfDoubles(counts, R, C);
}

std::string countsText(int R, int C) {
    std::string text;
    for (int i = 0; i < R; ++i) {
        for (int j = 0; j < C; ++j) text += std::to_string(i * C + j + 1) + " ";
        text += "\n";
    }
    return text;
}

}  // namespace

TEST(RunOutputs, ASecondRunEmptiesTheResultsFileFirst) {
    TempFolder folder;
    folder.write("grid.txt", countsText(5, 7));
    ASSERT_EQ(
        runCli(folder, {"run", "--input", "grid.txt", "--linear", "4", "9", "5", "-y"}).status, 0);
    const Outcome again =
        runCli(folder, {"run", "--input", "grid.txt", "--linear", "4", "4", "1", "-y"});
    ASSERT_EQ(again.status, 0) << again.err;
    const std::string results = readFile(folder.path("grid.txt.out.txt"));
    EXPECT_EQ(results.rfind("4\t", 0), 0u) << results;
    EXPECT_EQ(results.find('\n'), results.size() - 1) << results;  // one line, not three
}

TEST(RunInputs, ANpyFileNamedTxtGoesByItsContent) {
    TempFolder folder;
    folder.write("counts.txt", countsText(5, 7));
    folder.write("array.txt", npyOfCounts(5, 7));
    for (const char* name : {"counts.txt", "array.txt"})
        ASSERT_EQ(runCli(folder, {"run", "--input", name, "--linear", "4", "9", "5", "-y"}).status,
                  0)
            << name;
    EXPECT_EQ(readFile(folder.path("array.txt.out.txt")),
              readFile(folder.path("counts.txt.out.txt")));
}

TEST(RunInputs, SeveralMissingCellsAreCountedAndTheFirstNamed) {
    TempFolder folder;
    folder.write("gaps.csv", "1,2,3,4\n5,6,,8\n,10,11,\n");
    const Outcome outcome =
        runCli(folder, {"run", "--input", "gaps.csv", "--linear", "1", "1", "1", "-y"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find("gaps.csv: 3 of 12 cells hold no value; the first is in row 2, "
                               "column 3"),
              std::string::npos)
        << outcome.err;
}

// An .x3p file goes to the X3P reader by its name; the Windows build, made without libzip and
// expat, names what it lacks.
TEST(AnalyseInputs, AnX3pFileGoesToItsReaderByItsName) {
    TempFolder folder;
    folder.write("s.x3p", "1 2\n3 4\n");
    const Outcome outcome = runCli(folder, {"analyse", "s.x3p"});
    EXPECT_EQ(outcome.status, 1);
#ifdef _WIN32
    const std::string reason =
        "is an X3P file, and this build of Vantrel reads X3P through libzip and expat, which it "
        "was built without; save it as .npy, GSF, CSV or a text matrix";
#else
    const std::string reason = "is not a zip archive, as an .x3p file is";
#endif
    EXPECT_NE(outcome.err.find("s.x3p: " + reason), std::string::npos) << outcome.err;
}

#ifndef _WIN32  // the Windows build draws no plots
TEST(AnalyseOutputs, EachPlotFileHoldsTheBytesOfItsFormat) {
    TempFolder folder;
    folder.write("surface.txt", surfaceText(randomWalkSurface(48, 40, 5, 0.0), 40));
    const struct {
        const char* file;
        std::string magic;
    } plots[] = {
        {"p.png", std::string("\x89PNG\r\n\x1a\n", 8)}, {"p.pdf", "%PDF-"}, {"p.svg", "<?xml"}};
    for (const auto& plot : plots) {
        const Outcome outcome = runCli(folder, {"analyse", "surface.txt", "--plot", plot.file});
        ASSERT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_EQ(readFile(folder.path(plot.file)).substr(0, plot.magic.size()), plot.magic)
            << plot.file;
    }
}
#endif
