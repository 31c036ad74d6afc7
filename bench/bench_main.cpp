// vantrel-bench: times the exact, fast, loading and writing paths against the literal analysis
// on generated inputs and prints one table (Markdown).
//
//   vantrel-bench --work DIR --generator PATH --cli PATH [--runs N] [--only WORD]
//
// --only runs the groups of rows whose key holds WORD: "memory", "W1", "W2", "plain", "load",
// "raster", "map" (the map on W3 and the 8192 x 8192 map), "map8192" (that one alone).
// Inputs are made once in DIR by the surface generator and kept for later runs. Exits with 1
// when any output differs from the literal analysis's; missed speed targets are reported but do
// not fail the run (the machine may be busy).

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_support.h"
#include "hurst_map.h"
#include "map_workload.h"
#include "multifractal_workload.h"
#include "raster_inputs.h"
#include "simd_level.h"
#include "worker_pool.h"
#include "workloads.h"

namespace {

struct Paths {
    std::string work, generator, cli, only;
    int runs = 3;
    // Whether the group of rows with this key is to run.
    bool wanted(const std::string& key) const {
        return only.empty() || key.find(only) != std::string::npos;
    }
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
        else if (option == "--only")
            paths.only = argv[k + 1];
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
                     "usage: vantrel-bench --work DIR --generator PATH --cli PATH [--runs N] "
                     "[--only WORD]\n");
        return 2;
    }
    mkdir(paths.work.c_str(), 0755);
    // Only the inputs of the rows that run are made.
    const bool onW3 = paths.wanted("memory raster load map W3");
    const std::string w1 = paths.wanted("W1") ? input(paths, 1024, 1024, 10) : "";
    const std::string w2 = paths.wanted("W2") ? input(paths, 2048, 2048, 10) : "";
    const std::string plain = paths.wanted("plain") ? input(paths, 512, 512, 10) : "";
    const std::string w3 = onW3 ? input(paths, 4096, 4096, 10) : "";

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

    const RasterInputs inputs = paths.wanted("memory raster map W3")
                                    ? makeRasterInputs(w3, paths.work, "surface-4096x4096-f32")
                                    : RasterInputs{};
    std::vector<Row> memoryRows;
    // Peak memory of whole runs of the program on W3, against two matrices plus 64 MiB: measured
    // first, while this program is small, because a child's peak counts the pages it shares
    // with its parent until it starts the program.
    const long long limit = 2LL * 4096 * 4096 * 8 + (64LL << 20);
    for (const char* method : {"exact", "fast"}) {
        if (!paths.wanted("memory")) break;
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
        if (!paths.wanted("memory raster")) break;
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
    if (paths.wanted("W1")) {
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
    if (paths.wanted("W2")) {
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
        // (surrogates aside), of a surface and of a measure.
        for (const ResidualKind kind : {ResidualKind::kSurface, ResidualKind::kMeasure}) {
            const bool measure = kind == ResidualKind::kMeasure;
            const Timing multifractal = timeMultifractalAnalysis(data, kind, 2 * runs + 1);
            const double ratio = multifractal.vantrel / multifractal.literal;
            if (ratio > 2.0) missed.push_back(measure ? "multifractal --measure" : "multifractal");
            rows.push_back({std::string("W2 multifractal") + (measure ? " --measure" : "") +
                                ": 2048 x 2048, default sides and q, against analyse over the "
                                "same sides",
                            "analyse " + seconds(multifractal.literal),
                            seconds(multifractal.vantrel), times(ratio), "<= 2x",
                            std::string(ratio <= 2.0 ? "met; " : "MISSED; ") + multifractal.check});
            std::printf("  multifractal%s: %s %s\n", measure ? " --measure" : "",
                        rows.back().ratio.c_str(), rows.back().outcome.c_str());
        }
        literalFree(&data);
    }
    if (paths.wanted("plain")) {
        LiteralMatrix data = loaded(plain);
        const Timing exact = timeExactCompute(data, logAreas(4096), 0, 2 * runs + 1, runs);
        add("plain: 512 x 512, areas 4 ... 4096, exact plain", exact, "literal ", exact.literal,
            30);
        literalFree(&data);
    }
    if (paths.wanted("load")) {
        const auto [load, commented] = timeLoads(w3, runs);
        add("W3 load: 4096 x 4096 text, 10 digits (227 MB)", load, "literal ", load.literal, 8);
        add("W3 load with comments read (analyse, fit, map)", commented, "literal ",
            commented.literal, 8);
    }
    if (paths.wanted("raster")) {
        // Whole runs of the program, one area, on the W3 values as float32 in three files.
        const Timing tiff = timeWholeRun(paths.cli, inputs.text, inputs.geoTiff, runs);
        add("run on W3 as float32 GeoTIFF (64 MiB), area 4", tiff, "same values as text ",
            tiff.literal, 10);
        const Timing npy = timeWholeRun(paths.cli, inputs.text, inputs.npy, runs);
        add("run on W3 as float32 .npy (64 MiB), area 4", npy, "same values as text ", npy.literal,
            10);
    }

    if (paths.wanted("map W3")) {
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
        // Flushed before the next child starts, which would write what is buffered again.
        std::fflush(stdout);
        const long long peak = peakMemoryOfRun(
            {paths.cli, "map", inputs.geoTiff, "--output", paths.work + "/bench-map.tif"});
        const bool small = peak > 0 && peak <= limit;
        if (!small) missed.push_back("peak memory, map");
        memoryRows.push_back({"peak memory: vantrel-cli map on W3 as float32 .tif",
                              "2 matrices + 64 MiB = " + mebibytes(limit), mebibytes(peak), "-",
                              "<= " + mebibytes(limit), small ? "met" : "MISSED"});
    }

    if (paths.wanted("map8192")) {
        // A raster of 8192 x 8192 float32 cells (256 MiB; 512 MiB as doubles, one matrix): the
        // map in memory and the map read in bands of about 256 MiB, the same bytes, each within
        // two matrices plus one band (with its halo) per thread.
        const int side = 8192;
        const std::string big = makeLargeGeoTiff(paths.work, side, side);
        const char* const budgetMiB = "256";
        MapRequest request;
        request.bandRows = mapBandRowsWithin(256.0 * (1 << 20), side, request);
        const double band = mapBandBytes(side, side, request);
        const int threads = WorkerPool::coreCount();
        const long long bound = 2LL * side * side * 8 + static_cast<long long>(threads * band);
        const std::string budget = "2 matrices + " + std::to_string(threads) + " bands of " +
                                   mebibytes(static_cast<long long>(band)) + " = " +
                                   mebibytes(bound);
        const Timing banded = timeBandedMap(paths.cli, big, paths.work, budgetMiB, runs);
        const double ratio = banded.vantrel / banded.literal;
        allSame = allSame && banded.same;
        rows.push_back(
            {"map on 8192 x 8192 float32 GeoTIFF read in bands (--memory 256), "
             "against the map in memory",
             "in memory " + seconds(banded.literal), seconds(banded.vantrel), times(ratio), "-",
             banded.check});
        std::printf("  map in bands: %s %s\n", rows.back().ratio.c_str(),
                    rows.back().outcome.c_str());
        std::fflush(stdout);
        for (const bool inBands : {false, true}) {
            std::vector<std::string> command = {paths.cli, "map", big, "--output",
                                                paths.work + "/bench-map-8192.npy"};
            if (inBands) command.insert(command.end(), {"--memory", budgetMiB});
            const long long peak = peakMemoryOfRun(command);
            const bool met = peak > 0 && peak <= bound;
            if (!met) missed.push_back(inBands ? "peak memory, map in bands" : "peak memory, map");
            memoryRows.push_back({std::string("peak memory: vantrel-cli map on 8192 x 8192 "
                                              "float32 .tif, ") +
                                      (inBands ? "in bands (--memory 256)" : "in memory"),
                                  budget, mebibytes(peak), "-", "<= " + mebibytes(bound),
                                  met ? "met" : "MISSED"});
        }
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
