// Faults on the way out: a results or surface file that cannot be written ends the run with
// its name, what was finished stays on disk, and what the run was not asked to replace is left
// as it was.

#include <gtest/gtest.h>

#include "child_process.h"
#include "config_file.h"
#include "folder_run.h"

namespace {

using Messages = std::vector<std::string>;

}  // namespace

// The results or a surface file's name leads into a folder that does not exist (a link left
// behind by a moved folder) or onto a full disk (/dev/full): the run ends with its name, the
// lines of finished areas stay, and /dev/full stays a device.
TEST(OutputFaults, AnOutputFileThatCannotBeWrittenEndsTheRunWithItsName) {
    const bool full = std::filesystem::is_character_file("/dev/full");
    struct Case {
        std::string target;  // relative: in the run's folder
        std::string file;
        int surfaces;
        std::string results;  // "-": none left
    };
    const Case cases[] = {
        {"gone/results.txt", "data.txt.out.txt", 0, "-"},
        {"gone/surface.txt", "data.txt.4.out.txt", 1, "1\t0.00000\n"},
        {"/dev/full", "data.txt.out.txt", 0, "-"},
        {"/dev/full", "data.txt.1.out.txt", 1, ""},  // created empty before the first area
    };
    for (const Case& c : cases) {
        if (c.target == "/dev/full" && !full) continue;
        FolderRun run;
        const std::string target = c.target[0] == '/' ? c.target : run.folder.path(c.target);
        std::filesystem::create_symlink(target, run.folder.path(c.file));
        run.options.generateSurfaces = c.surfaces;
        run.go();
        EXPECT_EQ(run.host.messages, Messages{"Error writing to " + run.folder.path(c.file)});
        EXPECT_EQ(std::filesystem::read_symlink(run.folder.path(c.file)), target) << c.file;
        if (c.results != "-") {
            EXPECT_EQ(run.results(), c.results) << c.file;
        }
    }
    if (full) {
        EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
    }
}

// A disk that fills while the results are written (a file size limit in a child process): the
// lines of finished areas stay, the line being written may be cut where the disk filled.
TEST(OutputFaults, ADiskThatFillsDuringTheRunKeepsTheFinishedLines) {
    FolderRun run;
    ChildLimits limits;
    limits.fileSize = 15;
    int status = exitStatusInChild(limits, [&] {
        run.go();
        return run.host.messages ==
                       Messages{"Error writing to " + run.settings.inputFile + ".out.txt"}
                   ? 0
                   : 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(run.results(), "1\t0.00000\n4\t4.0");
}

TEST(OutputFaults, SavingAConfigurationOnAFullDiskLeavesTheOldFile) {
    TempFolder folder;
    AnalysisSettings old;
    old.inputFile = "data.txt";
    const std::string path = folder.write("saved.cfg", configText(old));
    AnalysisSettings changed = old;
    changed.inputFile = "other.txt";
    ChildLimits limits;
    limits.fileSize = 64;  // smaller than the file
    EXPECT_EQ(exitStatusInChild(limits, [&] { return changed.writeConfig(path) ? 1 : 0; }), 0);
    EXPECT_EQ(filesIn(folder.path("")), (Files{{"saved.cfg", configText(old)}}));

    // vantrel-cli says so and does not run.
    folder.write("data.txt", FolderRun::kData);
    ProgramRun run =
        runCli(folder.path(""),
               {"run", "saved.cfg", "--input", "other.txt", "--save-config", "saved.cfg"}, limits);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Error saving config file\n");
    EXPECT_EQ(filesIn(folder.path("")),
              (Files{{"saved.cfg", configText(old)}, {"data.txt", FolderRun::kData}}));

    EXPECT_EQ(runCli(folder.path(""), {"run", "--save-config", "gone/saved.cfg"}).err,
              "Error saving config file\n");
    EXPECT_EQ(filesIn(folder.path("")).size(), 2u);
}

// Every way a run can end before it creates the results file leaves the files of an earlier run
// as they were.
TEST(OutputFaults, ARunThatEndsBeforeTheResultsFileLeavesEarlierResults) {
    struct Case {
        std::string name;
        std::string data;
        bool answer;
        bool progressionFile;
    };
    for (const Case& c : {Case{"answer No", FolderRun::kData, false, false},
                          Case{"ragged row", "1 2\n3\n", true, false},
                          Case{"not a number", "1 2\n3 x\n", true, false},
                          Case{"empty progression", FolderRun::kData, true, true}}) {
        FolderRun run(c.data);
        run.host.answers.push_back(c.answer);
        if (c.progressionFile) {
            run.settings.useProgressionFile = 1;
            run.settings.progressionFile = run.folder.write("areas.txt", "0\n");
        }
        run.folder.write("data.txt.out.txt", "1\t0.12345\n");
        run.folder.write("data.txt.1.out.txt", "0.5\t\n\n");
        Files before = run.files();
        run.options.generateSurfaces = 1;
        run.go();
        EXPECT_FALSE(run.host.messages.empty()) << c.name;
        EXPECT_EQ(run.files(), before) << c.name;
    }
}
