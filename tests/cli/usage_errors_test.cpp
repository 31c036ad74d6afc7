// Usage faults of every command: the same option is refused with the same words whichever
// command it is given to, the message is one line and a hint naming the command's own help, and
// the status is 2 with nothing written.

#include <gtest/gtest.h>

#include "cli_runner.h"

namespace {

struct UsageCase {
    std::vector<std::string> args;
    std::string reason;  // the line after "vantrel-cli: "
};

std::string hintFor(const std::string& command) {
    return command.empty() ? "Try 'vantrel-cli --help'\n"
                           : "Try 'vantrel-cli " + command + " --help'\n";
}

}  // namespace

TEST(UsageErrors, SharedOptionsAreRefusedAlikeByEveryCommand) {
    // Each row is given to run, analyse and fit; the surface file is only there to be named.
    const UsageCase shared[] = {
        {{"--threads", "0"}, "--threads: '0' is out of range (1 to 1024)"},
        {{"--threads", "4x"}, "--threads: '4x' is not an integer"},
        {{"--threads", " 4"}, "--threads: ' 4' is not an integer"},
        {{"--threads"}, "--threads needs a value"},
        {{"--shift", " 0.5", "0.5"}, "--shift: ' 0.5' is not a number"},
        {{"--shift", "0.5 ", "0.5"}, "--shift: '0.5 ' is not a number"},
        {{"--shift", "0.5", "1.5"}, "--shift: '1.5' is out of range (0 to 1)"},
        {{"--shift", "-0.1", "0"}, "--shift: '-0.1' is out of range (0 to 1)"},
        {{"--shift", "nan", "0"}, "--shift: 'nan' is out of range (0 to 1)"},
        {{"--shift", "0.5"}, "--shift needs a value"},
        {{"--method", "quick"}, "--method: 'quick' is neither exact nor fast"},
        {{"--format", "tiff"},
         "--format: 'tiff' is not one of text, csv, npy, gsf, gwy, x3p, gdal"},
        {{"--band", "0"}, "--band: '0' is out of range (1 to 2147483647)"},
        {{"--band", "one"}, "--band: 'one' is not an integer"},
        {{"--bogus"}, "unknown option '--bogus'"},
    };
    TempFolder folder;
    folder.write("surface.txt", "1 2 3\n4 5 6\n");
    for (const std::string command : {"run", "analyse", "fit"}) {
        for (const UsageCase& row : shared) {
            std::vector<std::string> args = {command};
            if (command != "run") args.push_back("surface.txt");
            args.insert(args.end(), row.args.begin(), row.args.end());
            const Outcome outcome = runCli(folder, args);
            EXPECT_EQ(outcome.status, 2) << command << " " << row.reason;
            EXPECT_EQ(outcome.err, "vantrel-cli: " + row.reason + "\n" + hintFor(command));
            EXPECT_EQ(outcome.out, "");
        }
    }
    EXPECT_FALSE(fileExists(folder.path("surface.txt.out.txt")));
}

TEST(UsageErrors, EachCommandNamesItsOwnFaults) {
    const UsageCase cases[] = {
        {{}, "no command given"},
        {{"go"}, "unknown command 'go'"},
        {{"--version", "extra"}, "--version takes no arguments, but 'extra' follows"},
        {{"run", "a.cfg", "b.cfg"}, "unexpected argument 'b.cfg' (only one configuration file)"},
        {{"run", "--method", "fast", "--no-optimise"},
         "--no-optimise: the fast method has no plain mode (drop one of them)"},
        {{"analyse"}, "no surface file named"},
        {{"analyse", "a.txt", "b.txt"}, "unexpected argument 'b.txt' (only one surface file)"},
        {{"analyse", "a.txt", "--sides", "9:5"},
         "--sides: '9:5' is neither A:B nor a list of sides S1,S2,..."},
        {{"analyse", "a.txt", "--plot", "a.gif"},
         "--plot: 'a.gif' does not end in .svg, .png or .pdf"},
        // fit takes the sides of the results file: a --sides given to it is refused, not ignored.
        {{"fit", "a.txt", "--sides", "5,7"},
         "--sides does not apply to fit: the sides are those of the results file"},
        {{"fit"}, "no surface file named"},
    };
    TempFolder folder;
    for (const UsageCase& row : cases) {
        const Outcome outcome = runCli(folder, row.args);
        const std::string command =
            row.args.empty() || row.args[0].rfind("--", 0) == 0 || row.args[0] == "go"
                ? ""
                : row.args[0];
        EXPECT_EQ(outcome.status, 2) << row.reason;
        EXPECT_EQ(outcome.err, "vantrel-cli: " + row.reason + "\n" + hintFor(command));
    }
}

TEST(UsageErrors, HelpOfEachCommandExitsZero) {
    TempFolder folder;
    for (const std::string command : {"run", "analyse", "fit"}) {
        const Outcome outcome = runCli(folder, {command, "--help"});
        EXPECT_EQ(outcome.status, 0) << command;
        EXPECT_EQ(outcome.out.rfind("Usage: vantrel-cli ", 0), 0u) << command;
        EXPECT_EQ(outcome.err, "");
    }
}
