// vantrel-bench: times the exact, fast, loading and writing paths against the literal analysis
// on generated inputs and prints one table (Markdown).
//
//   vantrel-bench --work DIR --generator PATH --cli PATH [--runs N]
//
// Inputs are made once in DIR by the surface generator and kept for later runs. Exits with 1
// when any output differs from the literal analysis's; missed speed targets are reported but do
// not fail the run (the machine may be busy).

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_support.h"
#include "map_workload.h"
#include "multifractal_workload.h"
#include "raster_inputs.h"
#include "simd_level.h"
#include "worker_pool.h"
#include "workloads.h"

namespace {

struct Paths {
    std::string work, generator, cli;
    int runs = 3;
};

bool parse(int argc, char** argv, Paths& paths) {
    for (int k = 1; k + 1 < argc; k += 2) {
        const std::string option = argv[k];
        if (option == "--work")
            paths.work = argv[k + 1];
        else if (option == "--generator")
            paths.generator = argv[k + 1];
        else if (option == "--cli")
            paths.cli = argv[k + 1];
        else if (option == "--runs")
            paths.runs = std::atoi(argv[k + 1]);
        else
            return false;
    }
    return !paths.work.empty() && !paths.generator.empty() && !paths.cli.empty() && paths.runs > 0;
}

// The input file ROWSxCOLUMNS (digits) in the work folder, made when missing.
std::string input(const Paths& paths, int rows, int columns, int digits) {
    const std::string name = paths.work + "/surface-" + std::to_string(rows) + "x" +
                             std::to_string(columns) + "-" + std::to_string(digits) + ".txt";
    struct stat info {};
    if (stat(name.c_str(), &info) == 0 && info.st_size > 0) return name;
    std::printf("making %s\n", name.c_str());
    std::fflush(stdout);
    const std::string command = "'" + paths.generator + "' " + std::to_string(rows) + " " +
                                std::to_string(columns) + " --digits " + std::to_string(digits) +
                                " > '" + name + "'";
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "vantrel-bench: could not make %s\n", name.c_str());
        std::exit(2);
    }
    return name;
}

LiteralMatrix loaded(const std::string& path) {
    LiteralMatrix matrix;
    if (!literalLoad(path.c_str(), &matrix)) {
        std::fprintf(stderr, "vantrel-bench: could not load %s\n", path.c_str());
        std::exit(2);
    }
    return matrix;
}

struct Row {
    std::string workload, baseline, vantrel, ratio, target, outcome;
};

std::string seconds(double s) {
    char text[32];
    std::snprintf(text, sizeof text, s < 1.0 ? "%.3f s" : "%.2f s", s);
    return text;
}

std::string times(double ratio) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1fx", ratio);
    return text;
}

std::string mebibytes(long long bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.0f MiB", static_cast<double>(bytes) / (1 << 20));
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    Paths paths;
    if (!parse(argc, argv, paths)) {
        std::fprintf(stderr,
                     "usage: vantrel-bench --work DIR --generator PATH --cli PATH [--runs N]\n");
        return 2;
    }
    mkdir(paths.work.c_str(), 0755);
    const std::string w1 = input(paths, 1024, 1024, 10);
    const std::string w2 = input(paths, 2048, 2048, 10);
    const std::string plain = input(paths, 512, 512, 10);
    const std::string w3 = input(paths, 4096, 4096, 10);

    const double loadBefore = loadAverage();
    std::vector<Row> rows;
    bool allSame = true;
    std::vector<std::string> missed;
    // A row: Vantrel's median against a baseline (the literal analysis's median, or a figure
    // quoted, not measured here), the ratio and its target.
    auto add = [&](const std::string& workload, const Timing& t, const std::string& baselineName,
                   double baseline, double target) {
        const double ratio = baseline / t.vantrel;
        const bool met = ratio >= target;
        allSame = allSame && t.same;
        if (!met) missed.push_back(workload);
        rows.push_back({workload, baselineName + seconds(baseline), seconds(t.vantrel),
                        times(ratio), target > 0 ? ">= " + times(target) : "-",
                        std::string(target > 0 ? (met ? "met; " : "MISSED; ") : "") + t.check});
        std::printf("  %s: %s %s\n", workload.c_str(), rows.back().ratio.c_str(),
                    rows.back().outcome.c_str());
        std::fflush(stdout);
    };

    const RasterInputs inputs = makeRasterInputs(w3, paths.work, "surface-4096x4096-f32");
    std::vector<Row> memoryRows;
    // Peak memory of whole runs of the program on W3, against two matrices plus 64 MiB: measured
    // first, while this program is small, because a child's peak counts the pages it shares
    // with its parent until it starts the program.
    const long long limit = 2LL * 4096 * 4096 * 8 + (64LL << 20);
    for (const char* method : {"exact", "fast"}) {
        const long long peak =
            peakMemoryOfRun({paths.cli, "run", "--input", w3, "--log", "4", "1024", "2", "--shift",
                             "0.5", "0.5", "--method", method, "--yes", "--quiet"});
        const bool met = peak > 0 && peak <= limit;
        if (!met) missed.push_back(std::string("peak memory, ") + method);
        memoryRows.push_back({std::string("peak memory: vantrel-cli on W3, 9 areas, ") + method,
                              "2 matrices + 64 MiB = " + mebibytes(limit), mebibytes(peak), "-",
                              "<= " + mebibytes(limit), met ? "met" : "MISSED"});
    }
    // The readers hold one row of blocks of the file beside the matrices; GDAL's own code and
    // caches count in the 64 MiB too.
    for (const std::string& raster : {inputs.geoTiff, inputs.npy}) {
        const long long peak = peakMemoryOfRun(
            {paths.cli, "run", "--input", raster, "--linear", "4", "4", "1", "--yes", "--quiet"});
        const bool met = peak > 0 && peak <= limit;
        const std::string name = raster.substr(raster.rfind('.'));
        if (!met) missed.push_back("peak memory, " + name);
        memoryRows.push_back({"peak memory: vantrel-cli on W3 as float32 " + name + ", area 4",
                              "2 matrices + 64 MiB = " + mebibytes(limit), mebibytes(peak), "-",
                              "<= " + mebibytes(limit), met ? "met" : "MISSED"});
    }

    const int runs = paths.runs;
    std::printf("timing, medians of %d runs...\n", runs);
    std::fflush(stdout);
    {
        LiteralMatrix data = loaded(w1);
        const std::vector<int> areas = logAreas(262144);
        const Timing exact = timeExactCompute(data, areas, 1, 2 * runs + 1, runs);
        add("W1 compute: 1024 x 1024, areas 4 ... 262144, exact sliding", exact, "literal ",
            exact.literal, 30);
        add("W1 compute, fast method", timeFastCompute(data, areas, 2 * runs + 1),
            "numpy/scipy (quoted) ", 0.080, 0);
        std::vector<int> four{16, 256, 4096, 65536};
        const Timing writing = timeSurfaceWriting(data, four, paths.work, runs);
        add("surface files: 1024 x 1024, 4 areas", writing, "literal ", writing.literal, 3);
        literalFree(&data);
    }
    {
        LiteralMatrix data = loaded(w2);
        const std::vector<int> areas = logAreas(1048576);
        const Timing exact = timeExactCompute(data, areas, 1, 2 * runs + 1, runs);
        add("W2 compute: 2048 x 2048, areas 4 ... 1048576, exact sliding", exact, "literal ",
            exact.literal, 30);
        add("W2 compute, fast method", timeFastCompute(data, areas, 2 * runs + 1),
            "numpy/scipy (quoted) ", 0.32, 2);
        // The one row whose target is a ceiling: the analysis may cost at most 1.5 times the
        // fast run over its sides.
        const Timing scaling = timeScalingAnalysis(data, 2 * runs + 1);
        const double cost = scaling.vantrel / scaling.literal;
        const bool met = cost <= 1.5;
        allSame = allSame && scaling.same;
        if (!met) missed.push_back("analyse");
        rows.push_back(
            {"W2 analyse: 2048 x 2048, default sides, against run --method fast over "
             "the same sides",
             "fast run " + seconds(scaling.literal), seconds(scaling.vantrel), times(cost),
             "<= 1.5x", std::string(met ? "met; " : "MISSED; ") + scaling.check});
        std::printf("  analyse: %s %s\n", rows.back().ratio.c_str(), rows.back().outcome.c_str());
        // The multifractal analysis may cost at most twice a scaling analysis over its sides
        // (surrogates aside).
        const Timing multifractal = timeMultifractalAnalysis(data, 2 * runs + 1);
        const double ratio = multifractal.vantrel / multifractal.literal;
        if (ratio > 2.0) missed.push_back("multifractal");
        rows.push_back(
            {"W2 multifractal: 2048 x 2048, default sides and q, against analyse "
             "over the same sides",
             "analyse " + seconds(multifractal.literal), seconds(multifractal.vantrel),
             times(ratio), "<= 2x",
             std::string(ratio <= 2.0 ? "met; " : "MISSED; ") + multifractal.check});
        std::printf("  multifractal: %s %s\n", rows.back().ratio.c_str(),
                    rows.back().outcome.c_str());
        literalFree(&data);
    }
    {
        LiteralMatrix data = loaded(plain);
        const Timing exact = timeExactCompute(data, logAreas(4096), 0, 2 * runs + 1, runs);
        add("plain: 512 x 512, areas 4 ... 4096, exact plain", exact, "literal ", exact.literal,
            30);
        literalFree(&data);
    }
    {
        const auto [load, commented] = timeLoads(w3, runs);
        add("W3 load: 4096 x 4096 text, 10 digits (227 MB)", load, "literal ", load.literal, 8);
        add("W3 load with comments read (analyse, fit, map)", commented, "literal ",
            commented.literal, 8);
    }
    {
        // Whole runs of the program, one area, on the W3 values as float32 in three files.
        const Timing tiff = timeWholeRun(paths.cli, inputs.text, inputs.geoTiff, runs);
        add("run on W3 as float32 GeoTIFF (64 MiB), area 4", tiff, "same values as text ",
            tiff.literal, 10);
        const Timing npy = timeWholeRun(paths.cli, inputs.text, inputs.npy, runs);
        add("run on W3 as float32 .npy (64 MiB), area 4", npy, "same values as text ", npy.literal,
            10);
    }

    {
        // The map may cost at most 1.5 times analyse over the same sides, whole processes on the
        // same GeoTIFF, and hold no more than the run's memory.
        const Timing map = timeMapCommand(paths.cli, inputs.geoTiff, paths.work, runs);
        const double ratio = map.vantrel / map.literal;
        const bool met = map.same && ratio <= 1.5;
        if (!met) missed.push_back("map");
        rows.push_back(
            {"map on W3 as float32 GeoTIFF: tiles 128 every 64, sides 5 to 31, "
             "against analyse over the same sides",
             "analyse " + seconds(map.literal), seconds(map.vantrel), times(ratio), "<= 1.5x",
             std::string(met ? "met; " : "MISSED; ") + map.check});
        std::printf("  map: %s %s\n", rows.back().ratio.c_str(), rows.back().outcome.c_str());
        const long long peak = peakMemoryOfRun(
            {paths.cli, "map", inputs.geoTiff, "--output", paths.work + "/bench-map.tif"});
        const bool small = peak > 0 && peak <= limit;
        if (!small) missed.push_back("peak memory, map");
        memoryRows.push_back({"peak memory: vantrel-cli map on W3 as float32 .tif",
                              "2 matrices + 64 MiB = " + mebibytes(limit), mebibytes(peak), "-",
                              "<= " + mebibytes(limit), small ? "met" : "MISSED"});
    }

    rows.insert(rows.end(), memoryRows.begin(), memoryRows.end());
    const double loadAfter = loadAverage();

    std::printf("\nMachine: %s; %d threads; %s vectors; load average %.2f before, %.2f after\n\n",
                machineDescription().c_str(), WorkerPool::coreCount(),
                simdLevelName(supportedSimdLevel()), loadBefore, loadAfter);
    std::printf("| workload | baseline | vantrel | ratio | target | outcome |\n");
    std::printf("|---|---|---|---|---|---|\n");
    for (const Row& row : rows)
        std::printf("| %s | %s | %s | %s | %s | %s |\n", row.workload.c_str(), row.baseline.c_str(),
                    row.vantrel.c_str(), row.ratio.c_str(), row.target.c_str(),
                    row.outcome.c_str());
    std::printf(
        "\n%s\n",
        missed.empty()
            ? "Every target met."
            : ("Targets missed: " + std::to_string(missed.size()) + " (see MISSED above)").c_str());
    if (!allSame) std::printf("OUTPUT DIFFERS FROM THE LITERAL ANALYSIS\n");
    return allSame ? 0 : 1;
}
