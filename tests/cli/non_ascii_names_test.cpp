// File names outside ASCII reach every file a command reads or writes whole, on every system:
// the surface, the results file fit reads, the table and the plot.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli_runner.h"
#include "rough_surface.h"

namespace {

namespace fs = std::filesystem;

fs::path named(const TempFolder& folder, const std::string& utf8Name) {
    return fs::path(folder.path("")) / fs::u8path(utf8Name);
}

std::string contentsOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(NonAsciiNames, RunAnalyseAndFitReadAndWriteThem) {
    TempFolder folder;
    const std::string surface = "superficie-\xC3\xA8.txt";  // "superficie-è.txt" in UTF-8
    std::ofstream(named(folder, surface), std::ios::binary)
        << surfaceText(randomWalkSurface(40, 56, 3, 0.0), 56);
    std::ofstream(named(folder, "aree-\xC3\xA8.txt"), std::ios::binary) << "4\n9 25 49 81\n";

    const Outcome run = runCli(folder, {"run", "--input", surface, "--progression-file",
                                        "aree-\xC3\xA8.txt", "--shift", "0.5", "0.5", "-y"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(contentsOf(named(folder, surface + ".out.txt")).empty());

    std::vector<std::string> fitArgs = {"fit", surface, "--table", "tabella-\xC3\xA8.tsv"};
#ifndef _WIN32  // the Windows build draws no plots
    fitArgs.insert(fitArgs.end(), {"--plot", "grafico-\xC3\xA8.svg"});
#endif
    const Outcome fit = runCli(folder, fitArgs);
    EXPECT_EQ(fit.status, 0) << fit.err;
    EXPECT_EQ(contentsOf(named(folder, "tabella-\xC3\xA8.tsv")).rfind("side\t", 0), 0u);
#ifndef _WIN32
    EXPECT_NE(contentsOf(named(folder, "grafico-\xC3\xA8.svg")).find("<svg"), std::string::npos);
#endif

    const Outcome analyse =
        runCli(folder, {"analyse", surface, "--table", "analisi-\xC3\xA8.tsv", "--json"});
    EXPECT_EQ(analyse.status, 0) << analyse.err;
    EXPECT_EQ(contentsOf(named(folder, "analisi-\xC3\xA8.tsv")).rfind("side\t", 0), 0u);
}
