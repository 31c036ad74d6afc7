#include "analysis_run.h"

#include <gtest/gtest.h>

#include <functional>

#include "folder_run.h"

// What a run writes: one results line per area in list order, at the output precision, and
// surface files named by mode holding every cell at precision twenty.
TEST(RunAnalysis, ResultsLinesAndSurfaceFiles) {
    const std::string oneToSixteen = "1 2 3 4\n5 6 7 8\n9 10 11 12\n13 14 15 16\n";
    const std::string zero = "0.00000000000000000000\t";
    struct Case {
        const char* what;
        std::string data;
        std::function<void(FolderRun&)> change;
        std::string results;
        Files surfaces;  // surface files by name, checked when there are any
        Case(const char* w, std::string d, std::function<void(FolderRun&)> c, std::string r,
             Files s = {})
            : what(w),
              data(std::move(d)),
              change(std::move(c)),
              results(std::move(r)),
              surfaces(std::move(s)) {}
    };
    const Case cases[] = {
        // The residual block starts where the computed region starts.
        {"one area", oneToSixteen, [](FolderRun& r) { r.linear(4, 4, 1); }, "4\t25.00000\n"},
        {"sides 2, 2, 3, 4", oneToSixteen, [](FolderRun& r) { r.linear(4, 16, 4); },
         "4\t25.00000\n8\t25.00000\n12\t25.00000\n16\t0.00000\n"},
        {"precision 0", oneToSixteen,
         [](FolderRun& r) {
             r.linear(4, 4, 1);
             r.options.outputPrecision = 0;
         },
         "4\t25\n"},
        {"negative precision", oneToSixteen,
         [](FolderRun& r) {
             r.linear(4, 4, 1);
             r.options.outputPrecision = -3;
         },
         "4\t25.000000\n"},
        {"precision 12", oneToSixteen,
         [](FolderRun& r) {
             r.linear(4, 4, 1);
             r.options.outputPrecision = 12;
         },
         "4\t25.000000000000\n"},
        {"repeated areas", oneToSixteen,
         [](FolderRun& r) {
             r.settings.useProgressionFile = 1;
             r.settings.progressionFile = r.folder.write("areas.txt", "3\n\n4\n1\n4\n");
         },
         "4\t25.00000\n1\t0.00000\n4\t25.00000\n"},
        // The residual block is (R-s) x (C-s): empty here.
        {"sliding surface", "1 2\n3 4\n",
         [](FolderRun& r) {
             r.linear(4, 4, 1);
             r.options.generateSurfaces = 1;
         },
         "4\t0.00000\n",
         Files{{"data.txt.4.out.txt", zero + zero + "\n" + zero + "2.50000000000000000000\t\n\n"}}},
        {"plain surface", "1 2\n3 4\n",
         [](FolderRun& r) {
             r.linear(4, 4, 1);
             r.options.generateSurfaces = 1;
             r.options.optimise = 0;
         },
         "4\t0.00000\n",
         Files{{"data.txt.4.out.no_opt.txt",
                zero + zero + "\n" + zero + "2.50000000000000000000\t\n\n"}}},
        {"normalised", "0 10\n20 30\n",
         [](FolderRun& r) {
             r.linear(1, 1, 1);
             r.options.normalise = 1;
             r.options.generateSurfaces = 1;
         },
         "1\t0.00000\n",
         Files{{"data.txt.1.out.txt",
                "-1.00000000000000000000\t-0.33333333333333337034\t\n"
                "0.33333333333333325932\t1.00000000000000000000\t\n\n"}}},
        {"empty data", "",
         [](FolderRun& r) {
             r.linear(4, 4, 1);
             r.options.generateSurfaces = 1;
         },
         "4\t0.00000\n", Files{{"data.txt.4.out.txt", "\n"}}},
    };
    for (const Case& c : cases) {
        FolderRun run(c.data);
        c.change(run);
        run.go();
        EXPECT_EQ(run.host.messages, std::vector<std::string>{}) << c.what;
        EXPECT_EQ(run.results(), c.results) << c.what;
        for (const auto& [name, content] : c.surfaces)
            EXPECT_EQ(readFile(run.folder.path(name)), content) << c.what;
    }
}
