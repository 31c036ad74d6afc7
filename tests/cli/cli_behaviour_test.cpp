// What a person meets at the command line, one row per behaviour: the real vantrel-cli, run in a
// temporary folder, with standard input from /dev/null or on a terminal of its own.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "cli_runner.h"
#include "rough_surface.h"

namespace {

const char* const kGrid = "1 2 3 4\n5 6 7 8\n9 10 11 12\n13 14 15 16\n";
const char* const kHint = "Try 'vantrel-cli --help'";
const char* const kRunHint = "Try 'vantrel-cli run --help'";

// The times the progress line of area 4 showed, in order.
std::vector<double> progressTimes(const std::string& terminal) {
    std::vector<double> times;
    const std::string prefix = "Area 4 (1 of 1), ";
    for (std::size_t at = terminal.find(prefix); at != std::string::npos;
         at = terminal.find(prefix, at + 1))
        times.push_back(std::strtod(terminal.c_str() + at + prefix.size(), nullptr));
    return times;
}

#ifdef _WIN32
// Rows on a terminal are left out on Windows (no pseudo-terminal), and with them these.
void holdAreaFour(const TempFolder&) {}
void releaseAreaFourLater(const TempFolder&) {}
#else
// A surface file that is a pipe nobody reads for 1.5 s holds the area up that long.
void holdAreaFour(const TempFolder& folder) {
    mkfifo(folder.path("grid.txt.4.out.txt").c_str(), 0644);
}
void releaseAreaFourLater(const TempFolder& folder) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    // Opened without waiting, so that a program that never writes cannot hang the test.
    int pipe = open(folder.path("grid.txt.4.out.txt").c_str(), O_RDONLY | O_NONBLOCK);
    fcntl(pipe, F_SETFL, 0);
    char buffer[4096];
    while (read(pipe, buffer, sizeof buffer) > 0) {
    }
    close(pipe);
}
#endif

struct Row {
    const char* behaviour;
    std::vector<std::string> args;
    bool onTerminal;
    int status;
    std::vector<std::string> shows;  // in standard error or output (or on the terminal), in order
    std::vector<std::string> hides;
    std::string writes;  // a file the run leaves, when it must
    std::function<void(const TempFolder&)> setup = {};
    std::function<void(const TempFolder&)> during = {};
};

}  // namespace

TEST(CommandLineBehaviour, EachRowHolds) {
    // Absolute on every system (under Wine, a Unix path names a folder on the current drive).
    const std::string sample =
        std::filesystem::absolute(std::string(VANTREL_SOURCE_DIR) + "/examples/rough_surface.txt")
            .string();
    const std::string log4to65536[] = {"--log", "4", "65536", "2", "--shift", "0.5", "0.5"};
    auto surfaceWithOffset = [](double offset) {
        return [offset](const TempFolder& folder) {
            folder.write("offset.txt", surfaceText(randomWalkSurface(512, 512, 15, offset), 512));
        };
    };
    const Row rows[] = {
        {"a data file that cannot be opened is named with the reason",
         {"run", "--input", "nope.txt", "--linear", "4", "4", "1", "-y"},
         false,
         1,
         {"cannot open 'nope.txt': No such file or directory\nError loading data\n"},
         {},
         ""},
        {"a folder as the data file likewise",
         {"run", "--input", ".", "--linear", "4", "4", "1", "-y"},
         false,
         1,
         {"cannot open '.': Is a directory\nError loading data\n"},
         {},
         ""},
        {"data without values: the run goes on after a warning",
         {"run", "--input", "empty.txt", "--linear", "4", "4", "1", "-y"},
         false,
         0,
         {"Data rows: 0 Data colums:0\n",
          "Warning: the data holds no values: every residual sum will be 0\n"},
         {},
         "empty.txt.out.txt",
         [](const TempFolder& f) { f.write("empty.txt", ""); }},
        {"--crop-valid keeps the largest rectangle without missing values, and the run completes",
         {"run", "--input", "gaps.csv", "--linear", "1", "1", "1", "-y", "--crop-valid"},
         false,
         0,
         {"Data rows: 3 Data colums:3\n",
          "gaps.csv: 1 of 9 cells hold no value; kept rows 2 to 3 and columns 1 to 3, the largest "
          "rectangle without them (2 x 3)\n"},
         {"Error loading data"},
         "gaps.csv.out.txt",
         [](const TempFolder& f) { f.write("gaps.csv", "1,,3\n4,5,6\n7,8,9\n"); }},
        {"a format that is not known is a usage error",
         {"run", "--format", "tiff"},
         false,
         2,
         {"--format: 'tiff' is not one of text, csv, npy, gsf, gwy, x3p, gdal", kRunHint},
         {},
         ""},
        {"areas whose side reaches the rows or columns are named once",
         {"run", "--input", "grid.txt", "--linear", "4", "25", "21", "-y"},
         false,
         0,
         {"Warning: area 25 has a window side of at least the data's 4 rows or 4 columns: its "
          "residual sum is 0\n"},
         {},
         "grid.txt.out.txt"},
        {"a usage error is its reason and a hint, not the whole help",
         {"run", "--bogus"},
         false,
         2,
         {"vantrel-cli: unknown option '--bogus'\n", kRunHint},
         {"Usage:"},
         ""},
        {"--version takes nothing after it",
         {"--version", "extra"},
         false,
         2,
         {"--version takes no arguments, but 'extra' follows", kHint},
         {},
         ""},
        {"--help takes nothing after it",
         {"--help", "extra"},
         false,
         2,
         {"--help takes no arguments, but 'extra' follows", kHint},
         {},
         ""},
        {"a number beyond 32 bits is out of range, not a non-integer",
         {"run", "--precision", "99999999999"},
         false,
         2,
         {"--precision: '99999999999' is out of range (-2147483648 to 2147483647)"},
         {},
         ""},
        {"--help states the range of --threads and every default, and names analyse and fit",
         {"--help"},
         false,
         0,
         {"vantrel-cli analyse FILE", "(vantrel-cli analyse --help)", "vantrel-cli fit FILE",
          "(vantrel-cli analyse --help)", "(default 0 0)", "(default 5)", "exact (default)",
          "1 to 1024 (default: one per core)", "(default INPUT.out.txt)"},
         {},
         ""},
        {"--threads outside its range says the range",
         {"run", "--threads", "0"},
         false,
         2,
         {"--threads: '0' is out of range (1 to 1024)"},
         {},
         ""},
        {"the fast method has no plain mode",
         {"run", "--method", "fast", "--no-optimise"},
         false,
         2,
         {"the fast method has no plain mode", kRunHint},
         {},
         ""},
        {"--output sends the results elsewhere; nothing lands beside the input",
         {"run", "--input", "grid.txt", "--linear", "4", "4", "1", "-y", "--output", "mine.txt"},
         false,
         0,
         {},
         {"Results in"},
         "mine.txt"},
        {"on a terminal the run ends naming the results file",
         {"run", "--input", "grid.txt", "--linear", "4", "4", "1", "-y"},
         true,
         0,
         {"Results in grid.txt.out.txt"},
         {},
         "grid.txt.out.txt"},
        {"--quiet keeps the terminal free of progress and of the closing line",
         {"run", "--input", "grid.txt", "--linear", "4", "4", "1", "-y", "--quiet"},
         true,
         0,
         {"Data rows: 4"},
         {"Results in", "Area 4"},
         "grid.txt.out.txt"},
        {"the progress line moves within a long area",
         {"run", "--input", "grid.txt", "--linear", "4", "4", "1", "-y", "--generate-surfaces"},
         true,
         0,
         {"Results in grid.txt.out.txt"},
         {},
         "grid.txt.out.txt",
         holdAreaFour,
         releaseAreaFourLater},
        {"sums that lose digits to a mean of 1e8 warn",
         {"run", "--input", "offset.txt", "-y"},
         false,
         0,
         {"the exact sums lose about 8 digits", "--method fast (centred sums) or --normalise"},
         {},
         "",
         surfaceWithOffset(1e8)},
        {"a mean of 1e12 likewise",
         {"run", "--input", "offset.txt", "-y"},
         false,
         0,
         {"lose about 12 digits (the sums may be wrong in their first digit)"},
         {},
         "",
         surfaceWithOffset(1e12)},
        {"the fast method sums centred data and does not warn",
         {"run", "--input", "offset.txt", "-y", "--method", "fast"},
         false,
         0,
         {},
         {"Warning"},
         "",
         surfaceWithOffset(1e12)},
        {"the bundled sample does not warn",
         {"run", "--input", sample, "--log", "4", "16384", "2", "--shift", "0.5", "0.5", "-y",
          "--output", "sample.out"},
         false,
         0,
         {},
         {"Warning"},
         "sample.out"},
    };
    for (const Row& row : rows) {
#ifdef _WIN32
        if (row.onTerminal) continue;  // no pseudo-terminal to run the program on
#endif
        SCOPED_TRACE(row.behaviour);
        TempFolder folder;
        folder.write("grid.txt", kGrid);
        if (row.setup) row.setup(folder);
        std::vector<std::string> args = row.args;
        if (std::find(args.begin(), args.end(), "offset.txt") != args.end())
            args.insert(args.end(), std::begin(log4to65536), std::end(log4to65536));
        Outcome outcome = row.onTerminal ? runCliOnTerminal(folder, args,
                                                            row.during ? [&] { row.during(folder); }
                                                                       : std::function<void()>{})
                                         : runCli(folder, args);
        EXPECT_EQ(outcome.status, row.status) << outcome.err;
        const std::string shown = outcome.err + outcome.out;
        std::size_t from = 0;
        for (const std::string& text : row.shows) {
            std::size_t at = shown.find(text, from);
            EXPECT_NE(at, std::string::npos) << "missing: " << text << "\nin: " << shown;
            if (at != std::string::npos) from = at + text.size();
        }
        for (const std::string& text : row.hides)
            EXPECT_EQ(outcome.err.find(text), std::string::npos) << outcome.err;
        if (!row.writes.empty()) {
            EXPECT_TRUE(fileExists(folder.path(row.writes)));
        }
        if (row.writes == "mine.txt") {
            EXPECT_FALSE(fileExists(folder.path("grid.txt.out.txt")));
        }
        if (row.during) {
            // Drawn at the start, then again while the area waits 1.5 s. How often is left to
            // the clock (twice a second): a loaded machine may delay a redraw, never skip all.
            std::vector<double> times = progressTimes(outcome.err);
            ASSERT_GE(times.size(), 3u) << outcome.err;
            EXPECT_GE(times.back(), 1.0);
        }
    }
}
