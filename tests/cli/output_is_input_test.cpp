// No command writes over a file it reads, whatever name leads to it: it says which output is
// which input, exits 1 and leaves every file as it was, before it reads the data.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "cli_runner.h"

namespace {

namespace fs = std::filesystem;

const char* const kGrid = "1 2 3 4 5\n6 7 8 9 10\n11 12 13 14 15\n";

std::map<std::string, std::string> folderContents(const TempFolder& folder) {
    std::map<std::string, std::string> contents;
    for (const auto& entry : fs::directory_iterator(folder.path("")))
        if (entry.is_regular_file() && entry.path().filename() != "stdout" &&
            entry.path().filename() != "stderr")
            contents[entry.path().filename().string()] = readFile(entry.path().string());
    return contents;
}

std::string clash(const std::string& output, const std::string& input) {
    return "The output file " + output + " is the same file as the input " + input +
           ": nothing was written\n";
}

}  // namespace

TEST(OutputIsInput, EveryOutputNamingAnInputIsRefusedAndNothingChanges) {
    struct Case {
        const char* what;
        std::vector<std::string> args;
        std::string err;
    };
    const std::vector<std::string> run = {"run", "--input", "grid.txt", "--linear",
                                          "4",   "4",       "1",        "-y"};
    auto with = [](std::vector<std::string> args, std::vector<std::string> more) {
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };
    const Case cases[] = {
        {"run --output naming the input", with(run, {"--output", "grid.txt"}),
         clash("grid.txt", "grid.txt")},
        {"run --output through a symbolic link", with(run, {"--output", "link.txt"}),
         clash("link.txt", "grid.txt")},
        {"run --output naming the progression file",
         {"run", "--input", "grid.txt", "--progression-file", "areas.txt", "-y", "--output",
          "./areas.txt"},
         clash("./areas.txt", "areas.txt")},
        {"the results file is the progression file",
         {"run", "--input", "grid.txt", "--progression-file", "grid.txt.out.txt", "-y"},
         clash("grid.txt.out.txt", "grid.txt.out.txt")},
        {"a surface file is the progression file",
         {"run", "--input", "grid.txt", "--progression-file", "grid.txt.4.out.txt", "-y",
          "--generate-surfaces"},
         clash("grid.txt.4.out.txt", "grid.txt.4.out.txt")},
        {"--save-config naming the input", with(run, {"--save-config", "grid.txt"}),
         clash("grid.txt", "grid.txt")},
        {"--output naming the configuration file read",
         {"run", "saved.cfg", "--output", "saved.cfg"},
         clash("saved.cfg", "saved.cfg")},
        {"analyse --table naming the surface",
         {"analyse", "grid.txt", "--table", "grid.txt"},
         "vantrel-cli: " + clash("grid.txt", "grid.txt")},
        {"analyse --plot through a symbolic link",
         {"analyse", "grid.txt", "--plot", "link.svg"},
         "vantrel-cli: " + clash("link.svg", "grid.txt")},
        {"fit --table naming the results file",
         {"fit", "grid.txt", "--table", "grid.txt.out.txt"},
         "vantrel-cli: " + clash("grid.txt.out.txt", "grid.txt.out.txt")},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        folder.write("grid.txt", kGrid);
        folder.write("areas.txt", "1\n4\n");
        folder.write("grid.txt.out.txt", "1\n4\n");
        folder.write("grid.txt.4.out.txt", "1\n4\n");
        folder.write("saved.cfg", "not read as settings here\n");
        std::error_code noLinks;
        fs::create_symlink("grid.txt", folder.path("link.txt"), noLinks);
        fs::create_symlink("grid.txt", folder.path("link.svg"), noLinks);
        if (noLinks && c.err.find("link.") != std::string::npos) continue;
        const auto before = folderContents(folder);
        const Outcome outcome = runCli(folder, c.args);
        EXPECT_EQ(outcome.status, 1) << c.what;
        EXPECT_EQ(outcome.err, c.err) << c.what;
        EXPECT_EQ(folderContents(folder), before) << c.what;
    }
}

TEST(OutputIsInput, AnotherFileOfTheSameNameElsewhereIsNoClash) {
    TempFolder folder;
    folder.write("grid.txt", kGrid);
    fs::create_directory(folder.path("out"));
    folder.write("out/grid.txt", "old");
    const Outcome outcome = runCli(folder, {"run", "--input", "grid.txt", "--linear", "4", "4", "1",
                                            "-y", "--output", "out/grid.txt"});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(readFile(folder.path("out/grid.txt")), "4\t27.00000\n");
}
